#pragma once
// Board information from a running Linux system: DMI strings from sysfs, the processor
// name from /proc/cpuinfo, the chipset's power-management base from its LPC bridge's PCI
// configuration space (pci_pm_base.h), the login user, the physical memory and the operating
// system.
//
// All files are read below a root folder, so tests can build a fake tree. Only with the
// real root ("/") do the system calls (getpwuid_r, sysinfo, uname) fill in what the files
// do not give.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/boardinfo/board_info.h"

namespace veltrix::platform {

class LinuxBoardInfo : public BoardInfo {
 public:
  explicit LinuxBoardInfo(std::string root = "/");

  void GetKorvanaBIOSInformation(char* model, char* biosVersion, char* biosDate) override;
  std::int32_t GetPciBaseAddress(std::int32_t* arg) override;
  void GetCpuType(char* cpu) override;
  void GetLoginUser(char* user) override;
  // Bytes, saturated at 0x7FFFFFFF; PhysicalMemoryBytes() has the full amount.
  std::int32_t GetSystemPhysicalMemory(std::int32_t* arg) override;
  std::uint64_t PhysicalMemoryBytes() override;
  void PlatformInformation(char* osName, char* osVersion) override;

 private:
  bool RealRoot() const { return realRoot_; }
  std::string Path(const std::string& relative) const { return root_ + relative; }
  std::string DmiField(const char* name) const;
  std::optional<std::string> LoginName() const;
  std::optional<std::uint64_t> MemoryBytes() const;
  std::string OsName() const;
  std::string OsVersion() const;

  std::string root_;  // without trailing '/'; "" for the real root
  bool realRoot_;
};

}  // namespace veltrix::platform
