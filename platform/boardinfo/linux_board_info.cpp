#include "platform/boardinfo/linux_board_info.h"

#include <pwd.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <vector>

#include "platform/boardinfo/library_strings.h"
#include "platform/boardinfo/pci_pm_base.h"
#include "platform/text/text.h"

namespace veltrix::platform {
namespace {

// sysfs and procfs values are single lines; nothing we read is longer than this.
constexpr std::size_t kMaxLine = 4096;

std::optional<std::string> FirstLine(const std::string& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::string line;
  if (!std::getline(in, line)) return std::string();
  if (line.size() > kMaxLine) line.resize(kMaxLine);
  return std::string(text::Trim(line, " \t\r\n"));
}

// The value of the first "key : value" line (cpuinfo) or "key=value" line (os-release)
// whose key is one of the given keys, in file order.
std::optional<std::string> KeyedValue(const std::string& path, const std::vector<std::string>& keys,
                                      char separator) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    auto sep = line.find(separator);
    if (sep == std::string::npos) continue;
    std::string key(text::Trim(std::string_view(line).substr(0, sep), " \t\r\n"));
    for (const auto& k : keys) {
      if (key == k) return std::string(text::Trim(std::string_view(line).substr(sep + 1), " \t\r\n"));
    }
  }
  return std::nullopt;
}

std::string Unquote(std::string s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    s = s.substr(1, s.size() - 2);
  }
  return s;
}

}  // namespace

LinuxBoardInfo::LinuxBoardInfo(std::string root) {
  while (!root.empty() && root.back() == '/') root.pop_back();
  root_ = std::move(root);
  realRoot_ = root_.empty();
}

std::string LinuxBoardInfo::DmiField(const char* name) const {
  return FirstLine(Path(std::string("/sys/class/dmi/id/") + name)).value_or("");
}

void LinuxBoardInfo::GetKorvanaBIOSInformation(char* model, char* biosVersion, char* biosDate) {
  WriteLibraryString(model, kBiosFieldSize, DmiField("board_name"));
  WriteLibraryString(biosVersion, kBiosFieldSize, DmiField("bios_version"));
  WriteLibraryString(biosDate, kBiosFieldSize, DmiField("bios_date"));
}

std::int32_t LinuxBoardInfo::GetPciBaseAddress(std::int32_t* /*arg*/) {
  const auto bridge = FindChipsetBridge(root_.empty() ? "/" : root_);
  return bridge && bridge->pmBase ? static_cast<std::int32_t>(*bridge->pmBase) : -1;
}

void LinuxBoardInfo::GetCpuType(char* cpu) {
  // x86 names it "model name"; other architectures use one of the others.
  auto name = KeyedValue(Path("/proc/cpuinfo"), {"model name", "Processor", "cpu model", "cpu"}, ':');
  WriteLibraryString(cpu, kCpuTypeSize, name.value_or(""));
}

std::optional<std::string> LinuxBoardInfo::LoginName() const {
  uid_t uid = getuid();
  if (!RealRoot()) {
    std::ifstream in(Path("/etc/passwd"));
    std::string line;
    while (std::getline(in, line)) {
      auto a = line.find(':');
      auto b = a == std::string::npos ? a : line.find(':', a + 1);
      auto c = b == std::string::npos ? b : line.find(':', b + 1);
      if (c == std::string::npos) continue;
      if (line.substr(b + 1, c - b - 1) == std::to_string(uid)) return line.substr(0, a);
    }
    return std::nullopt;
  }
  long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(hint > 0 ? static_cast<std::size_t>(hint) : 16384);
  passwd pw{};
  passwd* found = nullptr;
  if (getpwuid_r(uid, &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr)
    return std::string(pw.pw_name);
  // Containers often run under a uid without a passwd entry.
  for (const char* var : {"USER", "LOGNAME"}) {
    const char* v = std::getenv(var);
    if (v != nullptr && v[0] != '\0') return std::string(v);
  }
  return std::nullopt;
}

void LinuxBoardInfo::GetLoginUser(char* user) {
  WriteLibraryString(user, kLoginUserSize, LoginName().value_or(""));
}

std::optional<std::uint64_t> LinuxBoardInfo::MemoryBytes() const {
  if (RealRoot()) {
    struct sysinfo si {};
    if (sysinfo(&si) == 0) return static_cast<std::uint64_t>(si.totalram) * si.mem_unit;
  }
  auto total = KeyedValue(Path("/proc/meminfo"), {"MemTotal"}, ':');  // "16318664 kB"
  if (!total) return std::nullopt;
  char* end = nullptr;
  unsigned long long kb = std::strtoull(total->c_str(), &end, 10);
  if (end == total->c_str()) return std::nullopt;
  return static_cast<std::uint64_t>(kb) * 1024;
}

std::int32_t LinuxBoardInfo::GetSystemPhysicalMemory(std::int32_t* /*arg*/) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  std::uint64_t bytes = PhysicalMemoryBytes();
  return static_cast<std::int32_t>(bytes > kMax ? kMax : bytes);
}

std::uint64_t LinuxBoardInfo::PhysicalMemoryBytes() {
  return MemoryBytes().value_or(0);
}

std::string LinuxBoardInfo::OsName() const {
  for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
    if (auto name = KeyedValue(Path(file), {"PRETTY_NAME"}, '=')) return Unquote(*name);
    if (auto name = KeyedValue(Path(file), {"NAME"}, '=')) return Unquote(*name);
  }
  if (auto type = FirstLine(Path("/proc/sys/kernel/ostype")); type && !type->empty()) return *type;
  if (RealRoot()) {
    utsname u{};
    if (uname(&u) == 0) return u.sysname;
  }
  return {};
}

std::string LinuxBoardInfo::OsVersion() const {
  if (auto release = FirstLine(Path("/proc/sys/kernel/osrelease")); release && !release->empty())
    return *release;
  if (RealRoot()) {
    utsname u{};
    if (uname(&u) == 0) return u.release;
  }
  return {};
}

void LinuxBoardInfo::PlatformInformation(char* osName, char* osVersion) {
  WriteLibraryString(osName, kPlatformFieldSize, OsName());
  WriteLibraryString(osVersion, kPlatformFieldSize, OsVersion());
}

}  // namespace veltrix::platform
