#include "monitor/startup/exit_program.h"

#include <string>

#include "monitor/alarms/data_log.h"
#include "monitor/channels/fan_output.h"
#include "monitor/chip/superio.h"
#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/program.h"
#include "monitor/startup/last_resort_restore.h"
#include "monitor/startup/tray_window.h"

namespace veltrix::monitor {

void ExitProgram(Program& program) {
  auto& g = program.G();

  // Bank-4 temperature offsets back to 0, on every board.
  for (std::uint8_t reg : {std::uint8_t{0x54}, std::uint8_t{0x55}, std::uint8_t{0x56}}) {
    SelectBank(program, 4);
    WriteMonitorRegister(program, reg, 0);
  }
  // Full output for both fans, then the same once more.
  for (int round = 0; round < 2; ++round) {
    SetFanSpeed(program, 0, 100);
    SetFanSpeed(program, 1, 100);
  }
  // A third fan output only the ITE chips have is put back too when this run changed it.
  if ((program.FanOutputsChanged() & 0x04) != 0) SetFanSpeed(program, 2, 100);
  SetCdromSpeed(program, kCdromSpeedReleased);
  if (g.ChipFamily == kChipFamilyWinbond) {
    SpeakerOff(program);
    SelectBank(program, 0);
    WriteMonitorRegister(program, 0x57, 0);  // beep enables of the fans, case and master bit
  }
  if (program.StartupActivatedMonitor()) WriteConfigRegister(program, 0x30, 0);
  TouchLogFile(program);
  RemoveTrayIcon(program);
  UnloadAllForms(program);
  DisarmLastResort(program);
}

void UnloadAllForms(Program& program) {
  for (std::string_view name : kSecondaryForms) {
    if (forms::Form* form = program.App().FindForm(std::string(name))) form->Unload();
  }
}

void ExitAndEndProcess(Program& program, int exitStatus) {
  ExitProgram(program);
  if (forms::Form* main = program.MainWindowIfCreated()) main->Unload();
  EndProgram(exitStatus);
}

}  // namespace veltrix::monitor
