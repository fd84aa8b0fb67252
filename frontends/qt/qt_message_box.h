#pragma once
// Message boxes on the desktop: a modal QMessageBox with the buttons (OK, OK/Cancel,
// Yes/No), the icon (critical, question, exclamation, information) and the title the
// program asked for. Plug into SimSystem/LinuxSystem with SetMessageBoxSink(QtMessageBoxSink()).
#include <QMessageBox>
#include <functional>

#include "platform/system/message_box.h"

namespace veltrix::qt {

// The QMessageBox parts of a style.
QMessageBox::Icon IconForStyle(int style);
QMessageBox::StandardButtons ButtonsForStyle(int style);
// The MsgBoxResult of a pressed button (Escape or closing the box: the safe default).
int ResultForButton(int style, QMessageBox::StandardButton pressed);

// The sink. `beforeExec`, when set, receives the built box instead of running it modally and
// returns the button to press (tests; --answer on the desktop).
platform::MessageBoxSink QtMessageBoxSink(
    std::function<QMessageBox::StandardButton(QMessageBox&)> beforeExec = {});

}  // namespace veltrix::qt
