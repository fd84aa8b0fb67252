#pragma once
// Where the alarm dialogs live: each is created on first use and kept for the whole run
// (an unloaded window keeps its object, as every form does). The main window owns them.
#include <memory>

#include "monitor/alarms/alarm_dialog.h"

namespace veltrix::monitor {

class frmCaseOpen;

// The dialog of item 0..15 (15 = frmCaseOpen), created when needed.
AlarmDialog& WarningDialog(Program& program, int item);
// The dialog if it was ever created, else nullptr (closing must never create a window).
AlarmDialog* WarningDialogIfCreated(Program& program, int item);
frmCaseOpen& CaseOpenDialog(Program& program);
// Unloads every alarm dialog that is loaded: the chassis dialog, then the fan, temperature
// and voltage dialogs ("Load Default" starts without any).
void UnloadAlarmDialogs(Program& program);

// Whether the current run of failed log writes has been reported to the user already.
bool& LogFailureReported(Program& program);

}  // namespace veltrix::monitor
