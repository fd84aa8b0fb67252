// Warning dispatch of the main window: counts each item's out-of-range samples and shows or
// closes the item's alarm dialog.
#include "monitor/alarms/alarm_dialog.h"
#include "monitor/alarms/alarm_windows.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

void frmdoctor::ShowWarning(std::int16_t index) {
  if (index < 0 || index >= kItemCount) return;
  if (WEnable[index] == 0) return;
  // Whether a slow fan under fan control is an alarm is the fan channel's decision; every
  // call that reaches here is counted.
  ++WarnCount[index];
  if (WErr1[index] == 1) {
    WarnCount[index] = 0;
  } else if (WarnCount[index] < 3) {
    return;
  } else {
    WarnCount[index] = 0;  // the third sample in a row shows it; counting starts again
  }
  AlarmDialog& dialog = WarningDialog(program_, index);
  if (dialog.IsLoaded() && dialog.Visible) return;  // nothing is re-shown or re-loaded
  dialog.Show();
}

void frmdoctor::CloseWarning(std::int16_t index) {
  if (index < 0 || index >= kItemCount) return;
  WarnCount[index] = 0;
  if (AlarmDialog* dialog = WarningDialogIfCreated(program_, index)) dialog->Unload();
}

}  // namespace veltrix::monitor
