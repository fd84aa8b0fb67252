#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/boardinfo/library_strings.h"
#include "platform/boardinfo/linux_board_info.h"

namespace veltrix::platform {
namespace {

namespace fs = std::filesystem;

// A fake root folder with just the files a test writes.
class FakeRoot {
 public:
  FakeRoot() {
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("veltrix-boardinfo-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::create_directories(dir_);
  }
  ~FakeRoot() { fs::remove_all(dir_); }
  void Write(const std::string& relative, const std::string& content) {
    fs::path p = dir_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
  }
  std::string Path() const { return dir_.string(); }

 private:
  fs::path dir_;
};

// A caller buffer as the program prepares it: all blanks, plus a guard byte after it.
template <int N>
struct BlankBuffer {
  char bytes[N + 1];
  BlankBuffer() {
    std::memset(bytes, ' ', N);
    bytes[N] = '#';
  }
  char* data() { return bytes; }
  std::string Text() const { return ReadLibraryString(bytes, N).value_or("<no NUL>"); }
  bool GuardIntact() const { return bytes[N] == '#'; }
  // Every byte after the terminating NUL is still the caller's blank.
  bool TailBlank() const {
    const char* nul = static_cast<const char*>(std::memchr(bytes, '\0', N));
    for (const char* p = nul + 1; p < bytes + N; ++p) {
      if (*p != ' ') return false;
    }
    return true;
  }
};

TEST(LibraryStringsTest, WritesAtMostSizeMinusOneCharactersAndANul) {
  char buf[8];
  std::memset(buf, ' ', sizeof buf);
  WriteLibraryString(buf, 8, "ABCDEFGHIJ");
  EXPECT_EQ(std::string(buf, 8), std::string("ABCDEFG\0", 8));
  std::memset(buf, ' ', sizeof buf);
  WriteLibraryString(buf, 8, "a\tb\nc");
  EXPECT_EQ(std::string(buf, 8), std::string("a?b?c\0  ", 8));

  char none[4] = {'A', 'B', 'C', 'D'};
  EXPECT_EQ(ReadLibraryString(none, 4), std::nullopt);
  EXPECT_EQ(ReadLibraryString("xy\0zz", 5), "xy");
}

TEST(LinuxBoardInfoTest, BiosInformationComesFromDmiWithinThirtyCharacters) {
  FakeRoot root;
  root.Write("sys/class/dmi/id/board_name", "zq50-plus\n");
  root.Write("sys/class/dmi/id/bios_version", "  V1.2 (a very long BIOS version string here)\n");
  root.Write("sys/class/dmi/id/bios_date", "03/14/2003\n");
  LinuxBoardInfo info(root.Path());

  BlankBuffer<kBiosFieldSize> model, version, date;
  info.GetKorvanaBIOSInformation(model.data(), version.data(), date.data());
  EXPECT_EQ(model.Text(), "zq50-plus");  // the caller upper-cases
  EXPECT_EQ(version.Text(), "V1.2 (a very long BIOS versio");
  EXPECT_EQ(version.Text().size(), 29u);
  EXPECT_EQ(date.Text(), "03/14/2003");
  for (auto* b : {&model, &version, &date}) {
    EXPECT_TRUE(b->GuardIntact());
    EXPECT_TRUE(b->TailBlank());
  }
}

TEST(LinuxBoardInfoTest, MissingFilesGiveEmptyTextsAndNotFound) {
  FakeRoot root;
  LinuxBoardInfo info(root.Path());
  BlankBuffer<kBiosFieldSize> model, version, date;
  info.GetKorvanaBIOSInformation(model.data(), version.data(), date.data());
  EXPECT_EQ(model.Text(), "");
  EXPECT_EQ(date.Text(), "");
  BlankBuffer<kCpuTypeSize> cpu;
  info.GetCpuType(cpu.data());
  EXPECT_EQ(cpu.Text(), "");
  BlankBuffer<kLoginUserSize> user;
  info.GetLoginUser(user.data());
  EXPECT_EQ(user.Text(), "");
  BlankBuffer<kPlatformFieldSize> osName, osVersion;
  info.PlatformInformation(osName.data(), osVersion.data());
  EXPECT_EQ(osName.Text(), "");
  EXPECT_EQ(osVersion.Text(), "");
  std::int32_t arg = 1;
  EXPECT_EQ(info.GetPciBaseAddress(&arg), -1);
  arg = 0;
  EXPECT_EQ(info.GetSystemPhysicalMemory(&arg), 0);
  EXPECT_EQ(info.PhysicalMemoryBytes(), 0u);
}

TEST(LinuxBoardInfoTest, CpuUserMemoryAndOperatingSystem) {
  FakeRoot root;
  root.Write("proc/cpuinfo",
             "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Pentium(R) 4 CPU 2.40GHz\n\n"
             "processor\t: 1\nmodel name\t: second\n");
  root.Write("etc/passwd", "other:x:" + std::to_string(getuid() + 1) +
                               ":0::/:/bin/sh\nsomeone_with_a_long_name:x:" + std::to_string(getuid()) +
                               ":100::/home/x:/bin/sh\n");
  root.Write("proc/meminfo", "MemTotal:        2097152 kB\nMemFree:          1000 kB\n");
  root.Write("etc/os-release", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
  root.Write("proc/sys/kernel/osrelease", "6.1.0-18-amd64-with-a-much-longer-local-suffix\n");
  LinuxBoardInfo info(root.Path());

  BlankBuffer<kCpuTypeSize> cpu;
  info.GetCpuType(cpu.data());
  EXPECT_EQ(cpu.Text(), "Intel(R) Pentium(R) 4 CPU 2.40GHz");

  BlankBuffer<kLoginUserSize> user;
  info.GetLoginUser(user.data());
  EXPECT_EQ(user.Text(), "someone_with_a_long");  // 19 characters and the NUL
  EXPECT_TRUE(user.GuardIntact());

  // 2 GiB no longer fits the 32-bit result: it saturates, the wide call has it all.
  std::int32_t arg = 0;
  EXPECT_EQ(info.GetSystemPhysicalMemory(&arg), 0x7FFFFFFF);
  EXPECT_EQ(info.PhysicalMemoryBytes(), 2147483648u);
  root.Write("proc/meminfo", "MemTotal:         524288 kB\n");
  EXPECT_EQ(info.GetSystemPhysicalMemory(&arg), 536870912);  // shown as 524288 KBytes

  BlankBuffer<kPlatformFieldSize> osName, osVersion;
  info.PlatformInformation(osName.data(), osVersion.data());
  EXPECT_EQ(osName.Text(), "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(osVersion.Text(), "6.1.0-18-amd64-with-a-much-long");
  EXPECT_TRUE(osVersion.GuardIntact());
}

TEST(LinuxBoardInfoTest, PmBaseComesFromTheLpcBridgeOnly) {
  FakeRoot root;
  // The ACPI event block alone names no chipset: the base is not taken from it.
  root.Write("proc/ioports", "    0400-0403 : ACPI PM1a_EVT_BLK\n");
  std::int32_t arg = 1;
  EXPECT_EQ(LinuxBoardInfo(root.Path()).GetPciBaseAddress(&arg), -1);

  // An ICH5 LPC bridge with PMBASE 0x0401 (I/O) and ACPI enabled.
  std::string config(256, '\0');
  config[0x00] = '\x86', config[0x01] = '\x80', config[0x02] = '\xD0', config[0x03] = '\x24';
  config[0x0A] = '\x01', config[0x0B] = '\x06';
  config[0x40] = '\x01', config[0x41] = '\x04', config[0x44] = '\x10';
  root.Write("sys/bus/pci/devices/0000:00:1f.0/config", config);
  EXPECT_EQ(LinuxBoardInfo(root.Path()).GetPciBaseAddress(&arg), 0x400);
}

TEST(LinuxBoardInfoTest, RealSystemAnswersWithinTheBufferRules) {
  LinuxBoardInfo info;
  BlankBuffer<kCpuTypeSize> cpu;
  info.GetCpuType(cpu.data());
  EXPECT_NE(cpu.Text(), "<no NUL>");
  EXPECT_TRUE(cpu.GuardIntact());
  BlankBuffer<kPlatformFieldSize> osName, osVersion;
  info.PlatformInformation(osName.data(), osVersion.data());
  EXPECT_FALSE(osName.Text().empty());
  EXPECT_FALSE(osVersion.Text().empty());
  std::int32_t arg = 0;
  EXPECT_GT(info.GetSystemPhysicalMemory(&arg), 0);
}

}  // namespace
}  // namespace veltrix::platform
