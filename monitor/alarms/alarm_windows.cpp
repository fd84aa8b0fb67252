// The alarm dialogs' home in the main window, and the wiring of the alarm, chassis and log
// steps into the main window and the program.
#include "monitor/alarms/alarm_windows.h"

#include <array>
#include <tuple>
#include <utility>

#include "monitor/alarms/case_open_dialog.h"
#include "monitor/alarms/chassis.h"
#include "monitor/alarms/data_log.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

template <std::size_t... I>
auto MakeSlots(std::index_sequence<I...>) -> std::tuple<std::unique_ptr<AlarmForm<static_cast<int>(I)>>...>;
using SensorSlots = decltype(MakeSlots(std::make_index_sequence<kChassisItem>{}));

}  // namespace

struct frmdoctor::AlarmWindows {
  SensorSlots sensors;
  std::unique_ptr<frmCaseOpen> caseOpen;
  bool logFailureReported = false;
};

namespace {

frmdoctor::AlarmWindows& Windows(Program& program) {
  frmdoctor& main = program.frmdoctor();
  if (!main.alarmWindows) main.alarmWindows = std::make_shared<frmdoctor::AlarmWindows>();
  return *main.alarmWindows;
}

template <std::size_t... I>
AlarmDialog* PickSensor(Program& program, SensorSlots& slots, int item, bool create,
                        std::index_sequence<I...>) {
  AlarmDialog* found = nullptr;
  const auto visit = [&](auto& slot) -> AlarmDialog* {
    if (create) return &program.FormSlot(slot);
    return slot.get();
  };
  ((static_cast<int>(I) == item ? (found = visit(std::get<I>(slots)), 0) : 0), ...);
  return found;
}

}  // namespace

AlarmDialog& WarningDialog(Program& program, int item) {
  if (item == kChassisItem) return CaseOpenDialog(program);
  AlarmDialog* dialog =
      PickSensor(program, Windows(program).sensors, item, true, std::make_index_sequence<kChassisItem>{});
  if (dialog == nullptr) return CaseOpenDialog(program);  // never reached for 0..14
  return *dialog;
}

AlarmDialog* WarningDialogIfCreated(Program& program, int item) {
  frmdoctor::AlarmWindows& windows = Windows(program);
  if (item == kChassisItem) return windows.caseOpen.get();
  return PickSensor(program, windows.sensors, item, false, std::make_index_sequence<kChassisItem>{});
}

frmCaseOpen& CaseOpenDialog(Program& program) {
  return program.FormSlot(Windows(program).caseOpen);
}

void UnloadAlarmDialogs(Program& program) {
  constexpr std::array<int, kItemCount> kOrder{15, 9, 10, 11, 12, 13, 14, 0, 1, 2, 3, 4, 5, 6, 7, 8};
  for (int item : kOrder) {
    if (AlarmDialog* dialog = WarningDialogIfCreated(program, item)) dialog->Unload();
  }
}

bool& LogFailureReported(Program& program) {
  return Windows(program).logFailureReported;
}

void frmdoctor::WireAlarmEvents() {
  Program& program = program_;
  cmdDeleteLog.OnClick = [&program] { ClearLog(program); };
}

}  // namespace veltrix::monitor
