#include "frontends/qt/qt_message_box.h"

#include <QString>

#include "platform/system/system.h"

namespace veltrix::qt {

QMessageBox::Icon IconForStyle(int style) {
  switch (style & 0x70) {
    case platform::vbCritical:
      return QMessageBox::Critical;
    case platform::vbQuestion:
      return QMessageBox::Question;
    case platform::vbExclamation:
      return QMessageBox::Warning;
    case platform::vbInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons ButtonsForStyle(int style) {
  switch (style & 0x0F) {
    case platform::vbOKCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case platform::vbYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    default:
      return QMessageBox::Ok;
  }
}

int ResultForButton(int style, QMessageBox::StandardButton pressed) {
  switch (pressed) {
    case QMessageBox::Ok:
      return platform::vbOK;
    case QMessageBox::Cancel:
      return platform::vbCancel;
    case QMessageBox::Yes:
      return platform::vbYes;
    case QMessageBox::No:
      return platform::vbNo;
    default:
      return platform::SafeDefaultButton(style);
  }
}

platform::MessageBoxSink QtMessageBoxSink(
    std::function<QMessageBox::StandardButton(QMessageBox&)> beforeExec) {
  return [beforeExec](const std::string& text, int style, const std::string& title) {
    QMessageBox box(IconForStyle(style), QString::fromStdString(title), QString::fromStdString(text),
                    ButtonsForStyle(style));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const QMessageBox::StandardButtons buttons = ButtonsForStyle(style);
    // Escape means the negative button where there is one.
    if (buttons & QMessageBox::Cancel) box.setEscapeButton(QMessageBox::Cancel);
    if (buttons & QMessageBox::No) box.setEscapeButton(QMessageBox::No);
    QMessageBox::StandardButton pressed = QMessageBox::NoButton;
    if (beforeExec) {
      pressed = beforeExec(box);
    } else {
      box.exec();
      pressed = box.standardButton(box.clickedButton());
    }
    if (!(buttons & pressed)) pressed = QMessageBox::NoButton;
    return ResultForButton(style, pressed);
  };
}

}  // namespace veltrix::qt
