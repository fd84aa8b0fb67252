#pragma once
// The registry's contents as plain data: a tree of keys holding typed values with their exact
// bytes. Key and value names compare case-insensitively (ASCII letters, as Windows does for
// ANSI names) but keep the spelling they were first created with.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix::platform {

// Windows limits: a key name is at most 255 characters, a path at most 512 keys deep.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxValueNameLength = 16383;
inline constexpr std::string_view kRootKeyName = "HKEY_LOCAL_MACHINE";

struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

struct RegistryValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  bool operator==(const RegistryValue&) const = default;
};

struct RegistryKey {
  std::string name;
  // Kept sorted by CaseInsensitiveLess on name.
  std::vector<RegistryKey> subKeys;
  std::map<std::string, RegistryValue, CaseInsensitiveLess> values;

  RegistryKey* FindSubKey(std::string_view subName);
  const RegistryKey* FindSubKey(std::string_view subName) const;
  // Returns the existing sub-key (whatever its spelling) or inserts a new one.
  RegistryKey& AddSubKey(std::string_view subName, bool* created = nullptr);
  bool RemoveSubKey(std::string_view subName);
  // Sets a value; an existing value keeps the spelling of its name.
  void SetValue(std::string_view valueName, RegistryValue value);

  bool operator==(const RegistryKey&) const = default;
};

// Splits "A\B\C" into its key names. A single trailing backslash is tolerated; an empty name
// elsewhere gives ERROR_BAD_PATHNAME, a name with control characters or over the length limits
// ERROR_INVALID_PARAMETER. An empty path is the key itself (no names).
long SplitKeyPath(std::string_view path, std::vector<std::string>* names);
bool IsValidKeyName(std::string_view name);
// Value names may be empty (the default value); control characters are refused because the
// hive file keeps one value per line.
bool IsValidValueName(std::string_view name);

// Follows names from root; nullptr when a key is missing.
RegistryKey* FindKeyPath(RegistryKey& root, const std::vector<std::string>& names);
const RegistryKey* FindKeyPath(const RegistryKey& root, const std::vector<std::string>& names);

}  // namespace veltrix::platform
