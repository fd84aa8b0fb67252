#include "frontends/qt/form_window.h"

#include <QCloseEvent>

namespace veltrix::qt {

void FormWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (onCloseRequest) onCloseRequest();
}

}  // namespace veltrix::qt
