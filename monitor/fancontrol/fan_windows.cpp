// The fan-control dialogs' home in the main window.
#include "monitor/fancontrol/fan_windows.h"

#include <memory>

#include "monitor/fancontrol/fixed_fan_dialog.h"
#include "monitor/fancontrol/multi_fan_dialog.h"
#include "monitor/fancontrol/smart_fan_dialog.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

struct frmdoctor::FanWindows {
  std::unique_ptr<frmSmartFAN> smart;
  std::unique_ptr<frmMultiFAN> multi;
  std::unique_ptr<frmManualFAN> manual;
};

namespace {

frmdoctor::FanWindows& Windows(Program& program) {
  frmdoctor& main = program.frmdoctor();
  if (!main.fanWindows) main.fanWindows = std::make_shared<frmdoctor::FanWindows>();
  return *main.fanWindows;
}

template <typename F>
F* IfLoaded(const std::unique_ptr<F>& slot) {
  return slot && slot->IsLoaded() ? slot.get() : nullptr;
}

}  // namespace

frmSmartFAN& SmartFanDialog(Program& program) {
  return program.FormSlot(Windows(program).smart);
}

frmMultiFAN& MultiFanDialog(Program& program) {
  return program.FormSlot(Windows(program).multi);
}

frmManualFAN& ManualFanDialog(Program& program) {
  return program.FormSlot(Windows(program).manual);
}

frmSmartFAN* LoadedSmartFanDialog(Program& program) {
  return IfLoaded(Windows(program).smart);
}

frmMultiFAN* LoadedMultiFanDialog(Program& program) {
  return IfLoaded(Windows(program).multi);
}

frmManualFAN* LoadedManualFanDialog(Program& program) {
  return IfLoaded(Windows(program).manual);
}

}  // namespace veltrix::monitor
