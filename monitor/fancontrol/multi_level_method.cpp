// The multiple-level method: each of two fans follows a six-point step curve (a threshold in
// °C and an output in percent per point), without interpolation. Both curves live in the
// FANControl key.
#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/fancontrol/fan_store.h"
#include "monitor/fancontrol/fan_windows.h"
#include "monitor/fancontrol/multi_fan_dialog.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr std::array<float, 6> kDefaultThresholds{25.0F, 30.0F, 35.0F, 40.0F, 45.0F, 50.0F};
constexpr std::array<std::int32_t, 6> kDefaultOutputs{100, 100, 100, 100, 100, 100};

std::string PointName(const char* curve, int point) {
  return curve + std::to_string(point);
}

}  // namespace

int MultiLevelPoint(const std::array<float, 6>& thresholds, float t) {
  for (int i = 0; i < 5; ++i) {
    if (t <= thresholds[static_cast<std::size_t>(i)]) return i;
  }
  return 5;
}

// Shared by the stored curves (main fan timer) and the dialog's live controls.
void ApplyMultiLevelStep(Program& program, const std::array<float, 6>& cpuThresholds,
                         const std::array<std::int32_t, 6>& cpuOutputs,
                         const std::array<float, 6>& systemThresholds,
                         const std::array<std::int32_t, 6>& systemOutputs) {
  frmdoctor& main = program.frmdoctor();
  const auto cpu = static_cast<std::int16_t>(
      cpuOutputs[static_cast<std::size_t>(MultiLevelPoint(cpuThresholds, main.TemperatureOf(main.CpuFanTempItem())))]);
  SetFanSpeed(program, 0, cpu);
  main.CpuFanPercent = cpu;
  const auto system = static_cast<std::int16_t>(
      systemOutputs[static_cast<std::size_t>(MultiLevelPoint(systemThresholds, main.TemperatureOf(0)))]);
  SetFanSpeed(program, 1, system);
  main.SystemFanPercent = system;
  // A fan shown as stopped is not animated as running.
  if (!IsNumericCaption(main.lblFanSpeed[0].Caption.Get())) main.CpuFanPercent = 0;
  if (!IsNumericCaption(main.lblFanSpeed[1].Caption.Get())) main.SystemFanPercent = 0;
}

void frmdoctor::MultiFanControl() {
  ApplyMultiLevelStep(program_, MultiCPUFanTemp, MultiCPUFanSpeed, MultiSystemFanTemp, MultiSystemFanSpeed);
}

void DefaultMultipleControl(Program& program) {
  frmdoctor& main = program.frmdoctor();
  main.MultiCPUFanTemp = kDefaultThresholds;
  main.MultiCPUFanSpeed = kDefaultOutputs;
  main.MultiSystemFanTemp = kDefaultThresholds;
  main.MultiSystemFanSpeed = kDefaultOutputs;
  ReadMultipleControl(program);
}

void ReadMultipleControl(Program& program) {
  if (frmMultiFAN* dialog = LoadedMultiFanDialog(program)) dialog->ShowCurves();
}

void LoadMultipleControlFromReg(Program& program, UnusableValues* unusable) {
  auto& reg = program.Reg();
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) return;
  frmdoctor& main = program.frmdoctor();
  const char separator = program.Sys().DecimalSeparator();
  for (int i = 0; i < 6; ++i) {
    const auto p = static_cast<std::size_t>(i);
    if (auto v = LoadFanTemperature(reg, key, PointName("MultiCPUFanTemp", i), separator, unusable))
      main.MultiCPUFanTemp[p] = *v;
    if (auto v = LoadFanPercent(reg, key, PointName("MultiCPUFanSpeed", i), unusable)) main.MultiCPUFanSpeed[p] = *v;
    if (auto v = LoadFanTemperature(reg, key, PointName("MultiSystemFanTemp", i), separator, unusable))
      main.MultiSystemFanTemp[p] = *v;
    if (auto v = LoadFanPercent(reg, key, PointName("MultiSystemFanSpeed", i), unusable))
      main.MultiSystemFanSpeed[p] = *v;
  }
  ReadMultipleControl(program);
  reg.RegCloseKey(key);
}

void SaveMultipleControlToReg(Program& program) {
  auto& reg = program.Reg();
  platform::HKey key = 0;
  if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) return;
  const frmdoctor& main = program.frmdoctor();
  const char separator = program.Sys().DecimalSeparator();
  for (int i = 0; i < 6; ++i)
    StoreFanTemperature(reg, key, PointName("MultiCPUFanTemp", i), main.MultiCPUFanTemp[static_cast<std::size_t>(i)],
                        separator);
  for (int i = 0; i < 6; ++i)
    StoreFanDword(reg, key, PointName("MultiCPUFanSpeed", i),
                  static_cast<std::uint32_t>(main.MultiCPUFanSpeed[static_cast<std::size_t>(i)]));
  for (int i = 0; i < 6; ++i)
    StoreFanTemperature(reg, key, PointName("MultiSystemFanTemp", i),
                        main.MultiSystemFanTemp[static_cast<std::size_t>(i)], separator);
  for (int i = 0; i < 6; ++i)
    StoreFanDword(reg, key, PointName("MultiSystemFanSpeed", i),
                  static_cast<std::uint32_t>(main.MultiSystemFanSpeed[static_cast<std::size_t>(i)]));
  reg.RegCloseKey(key);
}

}  // namespace veltrix::monitor
