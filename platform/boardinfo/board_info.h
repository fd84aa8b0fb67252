#pragma once
// The maker's board-information library. Every string call takes caller-supplied buffers
// filled with blanks and writes NUL-terminated text into them (never beyond the size).
#include <cstdint>

namespace veltrix::platform {

inline constexpr int kBiosFieldSize = 30;       // model, BIOS version, BIOS date
inline constexpr int kPlatformFieldSize = 32;   // OS name, OS version
inline constexpr int kCpuTypeSize = 64;
inline constexpr int kLoginUserSize = 20;

class BoardInfo {
 public:
  virtual ~BoardInfo() = default;
  // Three buffers of kBiosFieldSize characters each: model name, BIOS version, BIOS date.
  virtual void GetKorvanaBIOSInformation(char* model, char* biosVersion, char* biosDate) = 0;
  // Called with *arg = 1; the low 16 bits of the result are the chipset power-management
  // I/O base, 0xFFFF (-1) when none is found.
  virtual std::int32_t GetPciBaseAddress(std::int32_t* arg) = 0;
  virtual void GetCpuType(char* cpu) = 0;                    // kCpuTypeSize
  virtual void GetLoginUser(char* user) = 0;                 // kLoginUserSize
  // *arg is set to 0 by the caller; the result is the amount shown.
  virtual std::int32_t GetSystemPhysicalMemory(std::int32_t* arg) = 0;
  // The same amount in bytes without the 32-bit limit (GetSystemPhysicalMemory reports bytes
  // and saturates at 0x7FFFFFFF on machines with 2 GiB or more).
  virtual std::uint64_t PhysicalMemoryBytes() {
    std::int32_t arg = 0;
    std::int32_t bytes = GetSystemPhysicalMemory(&arg);
    return bytes > 0 ? static_cast<std::uint64_t>(bytes) : 0;
  }
  virtual void PlatformInformation(char* osName, char* osVersion) = 0;  // kPlatformFieldSize each
};

}  // namespace veltrix::platform
