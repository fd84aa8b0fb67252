#pragma once
// The fan-control methods' state operations that do not need their dialog: defaults, the
// FANControl key, and showing the state in a dialog when that dialog is open. The state
// itself lives on the main window (frmdoctor, "fan control"); each method's dialog edits it
// (smart_fan_dialog.h, multi_fan_dialog.h, fixed_fan_dialog.h).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix::monitor {

class Program;

// Names of stored values that were present but not usable, gathered while the FANControl key
// is loaded so that one message can name them all (fan_store.h).
using UnusableValues = std::vector<std::string>;

// ---- multiple-level method --------------------------------------------------------------------
// The point of a six-point curve that temperature `t` selects: the first of points 0..4 whose
// threshold is not below `t`, else point 5. The sixth threshold takes no part.
int MultiLevelPoint(const std::array<float, 6>& thresholds, float t);
// Both curves back to 25, 30, ..., 50 °C at 100 %, shown in the dialog when it is open.
void DefaultMultipleControl(Program& program);
void LoadMultipleControlFromReg(Program& program, UnusableValues* unusable = nullptr);
void SaveMultipleControlToReg(Program& program);
// The curves into an open frmMultiFAN (nothing when it is not loaded).
void ReadMultipleControl(Program& program);
// One step: fan 0 by the CPU curve and the CPU fan's temperature, fan 1 by the system curve
// and temperature item 0; CpuFanPercent / SystemFanPercent follow (0 for a fan whose speed
// caption is not a number, such as "fan stop").
void ApplyMultiLevelStep(Program& program, const std::array<float, 6>& cpuThresholds,
                         const std::array<std::int32_t, 6>& cpuOutputs,
                         const std::array<float, 6>& systemThresholds,
                         const std::array<std::int32_t, 6>& systemOutputs);

// ---- fixed method -----------------------------------------------------------------------------
// Both outputs back to 100 % (an open dialog's sliders are left as they are).
void DefaultFixControl(Program& program);
void LoadFixControlFromReg(Program& program, UnusableValues* unusable = nullptr);
void SaveFixControlToReg(Program& program);
// The outputs into an open frmManualFAN's sliders, and into CpuFanPercent / SystemFanPercent
// unless that fan is shown as off.
void ReadFixControl(Program& program);
// CpuFanPercent / SystemFanPercent from the two outputs (0 for a fan shown as off), as the
// fan timer leaves them after each step of the method.
void ShowFixedPercents(Program& program);
// Whether the main window shows fan j as off ("fan off" or "fan stop", any case).
bool FixFanShownOff(Program& program, int fan, bool trimmed);

// ---- smart method -----------------------------------------------------------------------------
// The built-in targets: 41.0 °C for the CPU fan, 31.0 °C for the system fan.
void CheckSmartFanDefaultTemp(Program& program);
void DefaultSmartFan(Program& program);
void LoadSmartControlFromReg(Program& program, UnusableValues* unusable = nullptr);
void SaveSmartControlToReg(Program& program);
// The targets into an open frmSmartFAN (nothing when it is not loaded).
void ReadSmartControl(Program& program);

// ---- recommended method -----------------------------------------------------------------------
// The output the recommended setting gives the CPU fan for a processor name and temperature:
// 0, 7, 15, 23, 34 or 255 by the processor's clock class ("1.6" .. "2.4" found in the name),
// or -1 when the name matches no class (the fan is left alone).
int RecommendedFanValue(std::string_view cpuName, float celsius);
// Drives fan 0 by that table and records the value in CpuFanPercent.
void ApplyRecommendedFanSpeed(Program& program, std::string_view cpuName, float celsius);

// ---- shared -----------------------------------------------------------------------------------
// The number a dialog's text holds ("36", "36.", "35,5" with that separator, blanks around);
// nothing when it is not a number.
std::optional<float> TextNumber(std::string_view text, char decimalSeparator);
// Whether a caption shows a number (a fan speed, not "fan stop" or nothing).
bool IsNumericCaption(std::string_view caption);
// A number as the dialogs' tooltips and messages show it: the shortest text, with a leading
// blank for numbers that are not negative (" 50", "-2.5").
std::string BlankSignedNumber(double value);

}  // namespace veltrix::monitor
