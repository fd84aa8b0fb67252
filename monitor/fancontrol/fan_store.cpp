// Reading and writing single values of the FANControl key, and the one warning about stored
// values that cannot be used.
#include "monitor/fancontrol/fan_store.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "monitor/channels/number_format.h"
#include "monitor/program.h"

namespace veltrix::monitor {

namespace {

// Long enough for any float's text; a longer value is not one of ours.
constexpr std::uint32_t kMaxTextBytes = 64;

void Name(UnusableValues* unusable, const std::string& name) {
  if (unusable != nullptr) unusable->push_back(name);
}

}  // namespace

std::optional<std::uint32_t> LoadFanDword(platform::Registry& reg, platform::HKey key, const std::string& name,
                                          UnusableValues* unusable) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (reg.RegQueryValueExA(key, name, &type, nullptr, &size) != platform::ERROR_SUCCESS) return std::nullopt;
  std::uint8_t data[4] = {};
  if (type != platform::REG_DWORD || size != 4 ||
      reg.RegQueryValueExA(key, name, &type, data, &size) != platform::ERROR_SUCCESS || size != 4) {
    Name(unusable, name);
    return std::nullopt;
  }
  std::uint32_t value = 0;
  std::memcpy(&value, data, 4);  // little-endian, as the registry stores a DWORD
  return value;
}

std::optional<std::int32_t> LoadFanPercent(platform::Registry& reg, platform::HKey key, const std::string& name,
                                           UnusableValues* unusable) {
  UnusableValues wrongType;
  const auto value = LoadFanDword(reg, key, name, &wrongType);
  if (!wrongType.empty() || (value && *value > 100)) {
    Name(unusable, name);
    return std::nullopt;
  }
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

std::optional<float> LoadFanTemperature(platform::Registry& reg, platform::HKey key, const std::string& name,
                                        char decimalSeparator, UnusableValues* unusable) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (reg.RegQueryValueExA(key, name, &type, nullptr, &size) != platform::ERROR_SUCCESS) return std::nullopt;
  std::optional<float> value;
  if (type == platform::REG_SZ && size <= kMaxTextBytes) {
    std::vector<std::uint8_t> data(size);
    if (size == 0 || reg.RegQueryValueExA(key, name, &type, data.data(), &size) == platform::ERROR_SUCCESS) {
      value = RegistryTextToFloat(std::string(data.begin(), data.begin() + size), decimalSeparator);
    }
  }
  if (!value) {
    Name(unusable, name);
    return std::nullopt;
  }
  return value;
}

void StoreFanDword(platform::Registry& reg, platform::HKey key, const std::string& name, std::uint32_t value) {
  std::uint8_t data[4];
  std::memcpy(data, &value, 4);
  reg.RegSetValueExA(key, name, platform::REG_DWORD, data, 4);
}

void StoreFanTemperature(platform::Registry& reg, platform::HKey key, const std::string& name, float value,
                         char decimalSeparator) {
  const std::string text = FloatToRegistryText(value, decimalSeparator);
  reg.RegSetValueExA(key, name, platform::REG_SZ, reinterpret_cast<const std::uint8_t*>(text.data()),
                     static_cast<std::uint32_t>(text.size()));
}

void ReportUnusableFanValues(Program& program, const UnusableValues& unusable) {
  if (unusable.empty()) return;
  std::string list;
  for (const std::string& name : unusable) list += (list.empty() ? "" : ", ") + name;
  program.Sys().MsgBox("The stored fan-control values " + list + " in HKEY_LOCAL_MACHINE\\" +
                           std::string(kFanControlKey) + " are not usable; the settings in use are kept.",
                       platform::vbOKOnly | platform::vbExclamation, "Warning");
}

}  // namespace veltrix::monitor
