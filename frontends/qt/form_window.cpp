#include "frontends/qt/form_window.h"

#include <QCloseEvent>

namespace veltrix::qt {

void FormWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (onCloseRequest) onCloseRequest();
}

void FormWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && onStateChange) onStateChange();
}

}  // namespace veltrix::qt
