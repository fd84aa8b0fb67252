#pragma once
// Reading and planting registry values for the settings tests.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "monitor/settings/general_settings.h"
#include "platform/registry/memory_registry.h"

namespace veltrix::monitor::testing {

inline std::vector<std::uint8_t> Dword(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

inline void Plant(platform::MemoryRegistry& reg, std::string_view keyPath, std::string_view name,
                  std::uint32_t type, const std::vector<std::uint8_t>& data) {
  platform::HKey key = 0;
  ASSERT_EQ(reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, keyPath, &key), platform::ERROR_SUCCESS);
  reg.RegSetValueExA(key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
  reg.RegCloseKey(key);
}

inline void PlantSetting(platform::MemoryRegistry& reg, std::string_view name, std::uint32_t value) {
  Plant(reg, kSettingKey, name, platform::REG_DWORD, Dword(value));
}

// The DWORD stored under the Setting key, or nothing when missing or not a 4-byte DWORD.
inline std::optional<std::uint32_t> StoredSetting(platform::MemoryRegistry& reg, std::string_view name) {
  const auto v = reg.ReadValue(kSettingKey, name);
  if (!v || v->type != platform::REG_DWORD || v->data.size() != 4) return std::nullopt;
  return static_cast<std::uint32_t>(v->data[0]) | (static_cast<std::uint32_t>(v->data[1]) << 8) |
         (static_cast<std::uint32_t>(v->data[2]) << 16) | (static_cast<std::uint32_t>(v->data[3]) << 24);
}

// Names of the values of a key, in store order.
inline std::vector<std::string> ValueNames(platform::MemoryRegistry& reg, std::string_view keyPath) {
  std::vector<std::string> names;
  for (const auto& e : reg.AllValues()) {
    if (e.keyPath == keyPath) names.push_back(e.name);
  }
  return names;
}

inline void CopyStore(platform::MemoryRegistry& from, platform::MemoryRegistry& to) {
  for (const auto& e : from.AllValues()) Plant(to, e.keyPath, e.name, e.value.type, e.value.data);
}

}  // namespace veltrix::monitor::testing
