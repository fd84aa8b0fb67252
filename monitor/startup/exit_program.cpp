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

  // Winbond temperature offsets back to 0, on every board.
  for (const winbond::BankedRegister reg :
       {winbond::kTemp1Offset, winbond::kTemp2Offset, winbond::kTemp3Offset}) {
    SelectBank(program, reg.bank);
    WriteMonitorRegister(program, reg.reg, 0);
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
    // Beep control 2: beep enables of fan 3, the case and the global enable.
    SelectBank(program, winbond::kBeepControl2.bank);
    WriteMonitorRegister(program, winbond::kBeepControl2.reg, 0);
  }
  if (program.StartupActivatedMonitor()) WriteConfigRegister(program, superio::kActivate, 0);
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
