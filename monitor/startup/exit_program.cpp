#include "monitor/startup/exit_program.h"

#include <string>

#include "monitor/chip/superio.h"
#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/program.h"

namespace veltrix::monitor {

void ExitProgram(Program& program) {
  auto& g = program.G();
  auto& hooks = program.Hooks();

  // Bank-4 temperature offsets back to 0, on every board.
  for (std::uint8_t reg : {std::uint8_t{0x54}, std::uint8_t{0x55}, std::uint8_t{0x56}}) {
    SelectBank(program, 4);
    WriteMonitorRegister(program, reg, 0);
  }
  if (hooks.SetFanSpeed) {
    // Full output for both fans, then the same once more.
    for (int round = 0; round < 2; ++round) {
      hooks.SetFanSpeed(0, 100);
      hooks.SetFanSpeed(1, 100);
    }
  }
  SetCdromSpeed(program, kCdromSpeedReleased);
  if (g.ChipFamily == kChipFamilyWinbond) {
    SpeakerOff(program);
    SelectBank(program, 0);
    WriteMonitorRegister(program, 0x57, 0);  // beep enables of the fans, case and master bit
  }
  if (program.StartupActivatedMonitor()) WriteConfigRegister(program, 0x30, 0);
  if (hooks.TouchLogFile) hooks.TouchLogFile();
  if (hooks.RemoveTrayIcon) hooks.RemoveTrayIcon();
  UnloadAllForms(program);
}

void UnloadAllForms(Program& program) {
  for (std::string_view name : kSecondaryForms) {
    if (forms::Form* form = program.App().FindForm(std::string(name))) form->Unload();
  }
}

void ExitAndEndProcess(Program& program) {
  ExitProgram(program);
  if (forms::Form* main = program.MainWindowIfCreated()) main->Unload();
  EndProgram(0);
}

}  // namespace veltrix::monitor
