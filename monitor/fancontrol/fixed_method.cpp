// The fixed method: fan 0 and fan 1 at constant outputs chosen with frmManualFAN, kept in the
// FANControl key. The main fan timer writes them every second (FanControlCentral).
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/fancontrol/fan_store.h"
#include "monitor/fancontrol/fan_windows.h"
#include "monitor/fancontrol/fixed_fan_dialog.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {
constexpr int kPercentPerPosition = 5;
constexpr const char* kCpuName = "FixCPUFanSpeed";
constexpr const char* kSystemName = "FixSystemFanSpeed";
}  // namespace

bool FixFanShownOff(Program& program, int fan, bool trimmed) {
  std::string shown = program.frmdoctor().lblFanSpeed[fan].Caption;
  if (trimmed) {
    while (!shown.empty() && shown.back() == ' ') shown.pop_back();
    while (!shown.empty() && shown.front() == ' ') shown.erase(0, 1);
  }
  for (char& ch : shown) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return shown == "FAN OFF" || shown == "FAN STOP";
}

void DefaultFixControl(Program& program) {
  frmdoctor& main = program.frmdoctor();
  main.FixCPUFanSpeed = 100;
  main.FixSystemFanSpeed = 100;
}

void ReadFixControl(Program& program) {
  frmdoctor& main = program.frmdoctor();
  if (frmManualFAN* dialog = LoadedManualFanDialog(program)) {
    dialog->sldCPUFan.Value = main.FixCPUFanSpeed / kPercentPerPosition;
    dialog->sldSystemFan.Value = main.FixSystemFanSpeed / kPercentPerPosition;
  }
  ShowFixedPercents(program);
}

void ShowFixedPercents(Program& program) {
  frmdoctor& main = program.frmdoctor();
  main.CpuFanPercent = FixFanShownOff(program, 0, true) ? 0 : static_cast<std::int16_t>(main.FixCPUFanSpeed);
  main.SystemFanPercent = FixFanShownOff(program, 1, true) ? 0 : static_cast<std::int16_t>(main.FixSystemFanSpeed);
}

void LoadFixControlFromReg(Program& program, UnusableValues* unusable) {
  auto& reg = program.Reg();
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) return;
  frmdoctor& main = program.frmdoctor();
  if (const auto cpu = LoadFanPercent(reg, key, kCpuName, unusable)) main.FixCPUFanSpeed = *cpu;
  if (const auto system = LoadFanPercent(reg, key, kSystemName, unusable)) main.FixSystemFanSpeed = *system;
  ReadFixControl(program);
  reg.RegCloseKey(key);
}

void SaveFixControlToReg(Program& program) {
  auto& reg = program.Reg();
  platform::HKey key = 0;
  if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) return;
  const frmdoctor& main = program.frmdoctor();
  StoreFanDword(reg, key, kCpuName, static_cast<std::uint32_t>(main.FixCPUFanSpeed));
  StoreFanDword(reg, key, kSystemName, static_cast<std::uint32_t>(main.FixSystemFanSpeed));
  reg.RegCloseKey(key);
}

}  // namespace veltrix::monitor
