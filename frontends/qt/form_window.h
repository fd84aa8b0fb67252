#pragma once
// The top-level window of a form. Closing it from the desktop asks the model (the title-bar
// close unloads the form, which may refuse); the window itself never closes on its own. A
// minimise or restore done on the desktop is reported back, so the form knows its state.
#include <QWidget>
#include <functional>

namespace veltrix::qt {

class FormWindow : public QWidget {
 public:
  explicit FormWindow(QWidget* parent = nullptr) : QWidget(parent) {}
  std::function<void()> onCloseRequest;
  // The window was minimised or restored from the desktop (the task bar, the window manager).
  std::function<void()> onStateChange;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
};

}  // namespace veltrix::qt
