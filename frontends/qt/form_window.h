#pragma once
// The top-level window of a form. Closing it from the desktop asks the model (the title-bar
// close unloads the form, which may refuse); the window itself never closes on its own.
#include <QWidget>
#include <functional>

namespace veltrix::qt {

class FormWindow : public QWidget {
 public:
  explicit FormWindow(QWidget* parent = nullptr) : QWidget(parent) {}
  std::function<void()> onCloseRequest;

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace veltrix::qt
