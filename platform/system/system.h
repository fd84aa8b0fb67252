#pragma once
// System services the program uses: message boxes, shut-down, version, locale, number
// format, single instance, program folder, starting programs and the local clock.
// Waits (Sleep) go through the form runtime's scheduler, never through the OS directly.
#include <cstdint>
#include <string>

namespace veltrix::platform {

// Message-box styles and answers, as the program's code writes them.
enum MsgBoxStyle : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbYesNo = 4,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// The OSVERSIONINFO record (dwOSVersionInfoSize must be 148 on the call).
struct OsVersionInfo {
  std::uint32_t dwOSVersionInfoSize = 148;
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;  // 0 Win32s, 1 9x family, 2 NT family
  char szCSDVersion[128] = {};
};

inline constexpr std::uint32_t EWX_LOGOFF = 0;
inline constexpr std::uint32_t EWX_SHUTDOWN = 1;
inline constexpr std::uint32_t EWX_REBOOT = 2;
inline constexpr std::uint32_t EWX_FORCE = 4;
inline constexpr std::uint32_t EWX_POWEROFF = 8;

// The single-instance check's outcome. Converts to true only when the lock was taken.
enum class InstanceLockState {
  kAcquired,       // this is the only running instance
  kHeldByAnother,  // another instance holds the lock
  kUnavailable,    // the lock cannot be taken at all (no private folder, no permission, ...)
};
struct SingleInstanceResult {
  InstanceLockState state = InstanceLockState::kUnavailable;
  std::string reason;  // kUnavailable: what stands in the way, for a message
  explicit operator bool() const { return state == InstanceLockState::kAcquired; }
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class System {
 public:
  virtual ~System() = default;

  // Shows a message box; returns the button pressed (MsgBoxResult).
  virtual int MsgBox(const std::string& text, int style, const std::string& title) = 0;

  virtual bool GetVersionExA(OsVersionInfo* info) = 0;
  virtual std::uint32_t GetSystemDefaultLCID() = 0;
  // The decimal separator of the system's number format ("." or ",").
  virtual char DecimalSeparator() = 0;

  // Shut-down privilege of the process token ("SeShutdownPrivilege").
  virtual bool OpenProcessToken() = 0;
  virtual bool LookupPrivilegeValueA(const std::string& privilege) = 0;
  virtual bool AdjustTokenPrivileges(bool enable) = 0;
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) = 0;

  // Takes the one-instance lock (held until the process ends); says whether another instance
  // holds it or why it cannot be taken.
  virtual SingleInstanceResult AcquireSingleInstance() = 0;
  // The folder holding the executable and its files, without a trailing separator.
  virtual std::string ProgramFolder() = 0;
  // Where the data log is written: the program folder, except for an installed program, whose
  // program folder is not the user's to write ($XDG_STATE_HOME/veltrix, made when missing).
  virtual std::string LogFolder() = 0;
  // Starts a program; false when it cannot be started.
  virtual bool StartProgram(const std::string& commandLine) = 0;
  // Local date and time of day.
  virtual LocalTime Now() = 0;
};

}  // namespace veltrix::platform
