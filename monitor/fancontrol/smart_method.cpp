// The smart method: every sixth call it compares each fan's temperature with the one it saw at
// the last adjustment and with the fan's target, and raises the output by 30 points, keeps it
// or lowers it by 20, with minimum outputs once the temperature is above the target. Its two
// targets live in the FANControl key.
#include "monitor/channels/fan_output.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/fancontrol/fan_store.h"
#include "monitor/fancontrol/fan_windows.h"
#include "monitor/fancontrol/smart_fan_dialog.h"
#include "monitor/channels/number_format.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr int kTicksPerAdjustment = 6;
constexpr float kCpuTarget = 41.0F;
constexpr float kSystemTarget = 31.0F;
constexpr const char* kCpuTargetName = "SmartCPUFanDefault";
constexpr const char* kSystemTargetName = "SmartSystemFanDefault";

std::int16_t Raised(std::int16_t p) {
  return p >= 70 ? 100 : static_cast<std::int16_t>(p + 30);
}
std::int16_t Lowered(std::int16_t p) {
  return p <= 20 ? 0 : static_cast<std::int16_t>(p - 20);
}

// The higher the temperature is above the target, the higher the least output.
std::int16_t WithFloors(std::int16_t p, float t, float target) {
  const float above = t - target;
  if (above > 0.0F && p < 10) p = 10;
  if (above > 3.0F && p < 50) p = 50;
  if (above > 6.0F && p < 100) p = 100;
  return p;
}

}  // namespace

void frmdoctor::SmartFanControl() {
  if (SmartTickCount >= kTicksPerAdjustment) {
    const float cpu = TemperatureOf(CpuFanTempItem());
    std::int16_t p = SmartCpuPercent;
    if (cpu > LastCpuTemp && cpu >= SmartCPUFanDefault) {
      p = Raised(p);
    } else if (cpu > LastCpuTemp || (cpu == LastCpuTemp && cpu > SmartCPUFanDefault)) {
      // Warming but still below the target, or steady above it: leave the fan as it is.
    } else {
      p = Lowered(p);
    }
    SmartCpuPercent = WithFloors(p, cpu, SmartCPUFanDefault);

    // The system fan answers any rise, below its target too.
    const float system = TemperatureOf(0);
    p = SmartSystemPercent;
    if (system > LastSystemTemp) {
      p = Raised(p);
    } else if (system == LastSystemTemp && system > SmartSystemFanDefault) {
      // steady above the target
    } else {
      p = Lowered(p);
    }
    SmartSystemPercent = WithFloors(p, system, SmartSystemFanDefault);

    SetFanSpeed(program_, 0, SmartCpuPercent);
    SetFanSpeed(program_, 1, SmartSystemPercent);
    SmartTickCount = 0;
    LastCpuTemp = cpu;
    LastSystemTemp = system;
  }
  ++SmartTickCount;
  CpuFanPercent = SmartCpuPercent;
  SystemFanPercent = SmartSystemPercent;
}

void CheckSmartFanDefaultTemp(Program& program) {
  frmdoctor& main = program.frmdoctor();
  main.SmartCPUFanDefault = kCpuTarget;
  main.SmartSystemFanDefault = kSystemTarget;
}

void DefaultSmartFan(Program& program) {
  CheckSmartFanDefaultTemp(program);
  ReadSmartControl(program);
}

void ReadSmartControl(Program& program) {
  frmSmartFAN* dialog = LoadedSmartFanDialog(program);
  if (dialog == nullptr) return;
  const frmdoctor& main = program.frmdoctor();
  dialog->lblCPUDefault.Caption = Format1(main.SmartCPUFanDefault);
  dialog->lblSystemDefault.Caption = Format1(main.SmartSystemFanDefault);
}

void LoadSmartControlFromReg(Program& program, UnusableValues* unusable) {
  auto& reg = program.Reg();
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) return;
  frmdoctor& main = program.frmdoctor();
  const char separator = program.Sys().DecimalSeparator();
  if (const auto cpu = LoadFanTemperature(reg, key, kCpuTargetName, separator, unusable))
    main.SmartCPUFanDefault = *cpu;
  if (const auto system = LoadFanTemperature(reg, key, kSystemTargetName, separator, unusable))
    main.SmartSystemFanDefault = *system;
  ReadSmartControl(program);
  reg.RegCloseKey(key);
}

void SaveSmartControlToReg(Program& program) {
  auto& reg = program.Reg();
  platform::HKey key = 0;
  if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) return;
  const frmdoctor& main = program.frmdoctor();
  const char separator = program.Sys().DecimalSeparator();
  StoreFanTemperature(reg, key, kCpuTargetName, main.SmartCPUFanDefault, separator);
  StoreFanTemperature(reg, key, kSystemTargetName, main.SmartSystemFanDefault, separator);
  reg.RegCloseKey(key);
}

}  // namespace veltrix::monitor
