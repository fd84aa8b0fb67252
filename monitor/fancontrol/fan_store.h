#pragma once
// The FANControl key: where the fan-control state and the three methods' settings are kept.
//
// Key HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Halvane\FANControl:
//   EnableFanControl       REG_DWORD  1 on, anything else off
//   FanControlMethod       REG_DWORD  0 multiple level, 1 fixed, 2 smart, 3 recommended, 999 none
//   MultiCPUFanTemp0..5    REG_SZ     thresholds in °C: the float's shortest text, in the
//   MultiSystemFanTemp0..5            system's number format, stored without a NUL
//   MultiCPUFanSpeed0..5   REG_DWORD  outputs in percent
//   MultiSystemFanSpeed0..5
//   FixCPUFanSpeed         REG_DWORD  percent
//   FixSystemFanSpeed      REG_DWORD  percent
//   SmartCPUFanDefault     REG_SZ     target temperatures in °C, as the thresholds
//   SmartSystemFanDefault
// A value that is missing keeps the setting in use. One that is there but is not usable
// (wrong type, a temperature that is not a number, a percentage outside 0..100, a method that
// does not exist) keeps it too, and the user is told once which values those were. A method
// that does not exist is taken as no method.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "monitor/fancontrol/fan_methods.h"
#include "platform/registry/registry.h"

namespace veltrix::monitor {

inline constexpr std::string_view kFanControlKey = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\FANControl";

// A REG_DWORD of exactly four bytes; nothing when missing. A value of another type or size
// is named in `unusable`.
std::optional<std::uint32_t> LoadFanDword(platform::Registry& reg, platform::HKey key, const std::string& name,
                                          UnusableValues* unusable);
// A percentage 0..100 (REG_DWORD); anything else is named in `unusable`.
std::optional<std::int32_t> LoadFanPercent(platform::Registry& reg, platform::HKey key, const std::string& name,
                                           UnusableValues* unusable);
// A temperature stored as text (REG_SZ); anything but a finite number is named in `unusable`.
// (Only comparisons use it, so any number is safe; the dialogs keep typed values ordered.)
std::optional<float> LoadFanTemperature(platform::Registry& reg, platform::HKey key, const std::string& name,
                                        char decimalSeparator, UnusableValues* unusable);

void StoreFanDword(platform::Registry& reg, platform::HKey key, const std::string& name, std::uint32_t value);
// The float's shortest text with the system's separator, without a terminating NUL.
void StoreFanTemperature(platform::Registry& reg, platform::HKey key, const std::string& name, float value,
                         char decimalSeparator);

// One warning naming every unusable value; nothing when there are none.
void ReportUnusableFanValues(Program& program, const UnusableValues& unusable);

}  // namespace veltrix::monitor
