#include "platform/system/sim_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/system/start_program.h"

namespace veltrix::platform {
namespace {

constexpr std::uint32_t kVersionInfoSizeA = 148;    // OSVERSIONINFOA
constexpr std::uint32_t kVersionInfoExSizeA = 156;  // OSVERSIONINFOEXA
constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";

std::string ExecutableFolder() {
  std::string buf(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return ".";
  buf.resize(static_cast<std::size_t>(n));
  auto slash = buf.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : buf.substr(0, slash);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithoutTrailingSeparator(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

}  // namespace

OsVersionInfo Win9xVersion() {
  OsVersionInfo v;
  v.dwMajorVersion = 4;
  v.dwMinorVersion = 10;
  v.dwBuildNumber = 0x040A08AE;  // 9x: major.minor in the high word, build 2222 in the low word
  v.dwPlatformId = 1;
  std::strncpy(v.szCSDVersion, " A ", sizeof v.szCSDVersion - 1);
  return v;
}

OsVersionInfo NtVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
  OsVersionInfo v;
  v.dwMajorVersion = major;
  v.dwMinorVersion = minor;
  v.dwBuildNumber = build;
  v.dwPlatformId = 2;
  return v;
}

std::string DescribeExitFlags(std::uint32_t flags) {
  std::string what;
  if (flags & EWX_POWEROFF) {
    what = "power off";
  } else if (flags & EWX_REBOOT) {
    what = "reboot";
  } else if (flags & EWX_SHUTDOWN) {
    what = "shut down";
  } else {
    what = "log off";
  }
  if (flags & EWX_FORCE) what += " (forced)";
  return what;
}

SimSystem::SimSystem(SimSystemOptions options) : options_(std::move(options)), lock_(options_.lockPath) {
  if (!options_.environment) options_.environment = ProcessEnvironment();
  if (!options_.clock) options_.clock = std::make_shared<WallClock>();
}

int SimSystem::MsgBox(const std::string& text, int style, const std::string& title) {
  if (options_.messageBoxes) return options_.messageBoxes(text, style, title);
  return SafeDefaultButton(style);
}

bool SimSystem::GetVersionExA(OsVersionInfo* info) {
  // Like Windows: the caller must say which record it passes.
  if (info == nullptr) return false;
  std::uint32_t size = info->dwOSVersionInfoSize;
  if (size != kVersionInfoSizeA && size != kVersionInfoExSizeA) return false;
  *info = options_.version;
  info->dwOSVersionInfoSize = size;
  return true;
}

std::uint32_t SimSystem::GetSystemDefaultLCID() {
  if (options_.lcid) return *options_.lcid;
  return LcidFromLocaleName(LanguageLocaleName(options_.environment));
}

char SimSystem::DecimalSeparator() {
  if (options_.decimalSeparator) return *options_.decimalSeparator;
  return DecimalSeparatorFromLocaleName(NumericLocaleName(options_.environment));
}

bool SimSystem::OpenProcessToken() {
  if (options_.privilegeCallsFail) return false;
  tokenOpen_ = true;
  return true;
}

bool SimSystem::LookupPrivilegeValueA(const std::string& privilege) {
  if (options_.privilegeCallsFail || privilege != kShutdownPrivilege) return false;
  privilegeLookedUp_ = true;
  return true;
}

bool SimSystem::AdjustTokenPrivileges(bool enable) {
  if (options_.privilegeCallsFail || !tokenOpen_ || !privilegeLookedUp_) return false;
  privilegeEnabled_ = enable;
  return true;
}

bool SimSystem::ExitWindowsEx(std::uint32_t flags, std::uint32_t /*reserved*/) {
  // The NT family refuses to shut down (or log off others) without the privilege enabled
  // in the process token; the 9x family has no such check.
  bool permitted = options_.version.dwPlatformId != 2 || privilegeEnabled_ || flags == EWX_LOGOFF;
  // Once the session is over the machine is already going down: nothing more to carry out.
  bool accepted = permitted && (sessionEnded_ || PerformShutdown(flags));
  exitRequests_.push_back({flags, accepted});
  if (!accepted) return false;
  if (!sessionEnded_) {
    sessionEnded_ = true;
    if (options_.onSessionEnded) options_.onSessionEnded(flags);
  }
  return true;
}

bool SimSystem::PerformShutdown(std::uint32_t /*flags*/) {
  return true;
}

SingleInstanceResult SimSystem::AcquireSingleInstance() {
  return lock_.Acquire();
}

std::string ProgramFolderBeside(const std::string& executableFolder) {
  // A build tree keeps the pictures beside the executable; an installed program keeps them in
  // share/veltrix next to its bin folder.
  if (IsDirectory(executableFolder + "/GIF")) return executableFolder;
  const std::string installed = executableFolder + "/../share/veltrix";
  if (IsDirectory(installed + "/GIF")) {
    char* real = realpath(installed.c_str(), nullptr);
    if (real != nullptr) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return executableFolder;
}

std::string LogFolderFor(const std::string& programFolder, bool installed, const EnvLookup& environment) {
  if (!installed) return programFolder;
  std::string state;
  if (auto xdg = environment("XDG_STATE_HOME"); xdg && !xdg->empty() && xdg->front() == '/') {
    state = *xdg;
  } else if (auto home = environment("HOME"); home && !home->empty() && home->front() == '/') {
    state = *home + "/.local/state";
  } else {
    return {};
  }
  std::string folder = WithoutTrailingSeparator(state) + "/veltrix";
  // Each missing level is made for this user only; an existing one is left as it is.
  for (std::size_t at = 1; at != std::string::npos;) {
    at = folder.find('/', at + 1);
    const std::string level = folder.substr(0, at);
    if (!IsDirectory(level) && ::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return {};
  }
  return folder;
}

std::string SimSystem::ProgramFolder() {
  if (!options_.programDir.empty()) return WithoutTrailingSeparator(options_.programDir);
  return ProgramFolderBeside(ExecutableFolder());
}

std::string SimSystem::LogFolder() {
  if (!options_.programDir.empty()) return ProgramFolder();
  const std::string exe = ExecutableFolder();
  const std::string folder = ProgramFolderBeside(exe);
  return LogFolderFor(folder, folder != exe, options_.environment);
}

bool SimSystem::StartProgram(const std::string& commandLine) {
  bool started = options_.programStarter ? options_.programStarter(commandLine) : SpawnDetached(commandLine);
  startRequests_.push_back({commandLine, started});
  return started;
}

LocalTime SimSystem::Now() {
  return options_.clock->Now();
}

}  // namespace veltrix::platform
