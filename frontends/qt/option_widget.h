#pragma once
// An option button. On the dark skin the style's own mark of a chosen option is a faint dot;
// here it is a solid accent disc that fills the ring, so an option used as an indicator lamp
// (the chassis row: on = opened) reads at a glance.
#include <QRadioButton>

namespace veltrix::qt {

class OptionWidget : public QRadioButton {
 public:
  explicit OptionWidget(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace veltrix::qt
