#pragma once
// The registry as the program uses it: keys under HKEY_LOCAL_MACHINE, values of type
// REG_SZ, REG_DWORD and REG_BINARY with their exact bytes. Results are Win32 error codes.
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrix::platform {

using HKey = std::uint32_t;
inline constexpr HKey HKEY_LOCAL_MACHINE = 0x80000002u;

enum RegType : std::uint32_t {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_BINARY = 3,
  REG_DWORD = 4,
};

inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_MORE_DATA = 234;
inline constexpr long ERROR_WRITE_FAULT = 29;
// A key path with an empty component (a leading or doubled backslash).
inline constexpr long ERROR_BAD_PATHNAME = 161;
// The handle's key was deleted (by this process or another user of the same store).
inline constexpr long ERROR_KEY_DELETED = 1018;
// The store would grow beyond its size limit.
inline constexpr long ERROR_NOT_ENOUGH_QUOTA = 1816;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens an existing key (paths use '\'); fails with ERROR_FILE_NOT_FOUND when missing.
  virtual long RegOpenKeyA(HKey parent, std::string_view subKey, HKey* result) = 0;
  // Opens or creates the key, creating missing parents.
  virtual long RegCreateKeyA(HKey parent, std::string_view subKey, HKey* result) = 0;
  // Win32 rules: data == nullptr asks only for type and size; a too-small buffer gives
  // ERROR_MORE_DATA with *size set to the size needed.
  virtual long RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* size) = 0;
  virtual long RegSetValueExA(HKey key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) = 0;
  virtual long RegDeleteValueA(HKey key, std::string_view name) = 0;
  // Refused (ERROR_ACCESS_DENIED) while the key has sub-keys.
  virtual long RegDeleteKeyA(HKey parent, std::string_view subKey) = 0;
  virtual long RegCloseKey(HKey key) = 0;
  // The numbers of sub-keys and values of an open key (the two counts of Win32's
  // RegQueryInfoKeyA that the programs use); either pointer may be null.
  virtual long RegQueryInfoKeyA(HKey key, std::uint32_t* subKeys, std::uint32_t* values) = 0;

  // Optional grouping of many changes (a whole "Save") into one durable write, for stores where
  // each write is costly. Batches nest; calls inside return their own results as usual, and
  // EndBatch of the outermost batch returns whether the grouped changes were stored: on
  // failure every change of the batch is undone. Stores that write at once ignore batches.
  virtual void BeginBatch() {}
  virtual long EndBatch() { return ERROR_SUCCESS; }
};

}  // namespace veltrix::platform
