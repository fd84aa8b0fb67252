#pragma once
// The system services of the simulated platform (and the base of the Linux one): message
// boxes go to the front end's sink, the version record and locale are configurable, and a
// shut-down ends only the simulated session — it never powers off the machine it runs on.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/clock.h"
#include "platform/system/locale_names.h"
#include "platform/system/message_box.h"
#include "platform/system/single_instance.h"
#include "platform/system/system.h"

namespace veltrix::platform {

// Windows 98 SE: the 9x family, whose programs reach ports directly.
OsVersionInfo Win9xVersion();
// An NT-family record (5.0 = 2000, 5.1 = XP).
OsVersionInfo NtVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build);

// The program folder of an executable living in `executableFolder`: that folder in a build tree
// (the pictures lie beside the executable), `<prefix>/share/veltrix` for an installed program
// (`<prefix>/bin/veltrix`), else the executable's folder.
std::string ProgramFolderBeside(const std::string& executableFolder);

// The data log's folder for a program folder: the folder itself, or, when it is an installed
// program's share/veltrix (not the user's to write), $XDG_STATE_HOME/veltrix (else
// $HOME/.local/state/veltrix), created with mode 0700 when missing. Empty when no such folder
// can be named.
std::string LogFolderFor(const std::string& programFolder, bool installed, const EnvLookup& environment);

// "log off", "shut down", "reboot" or "power off", with " (forced)" for EWX_FORCE.
std::string DescribeExitFlags(std::uint32_t flags);

struct SimSystemOptions {
  // Where message boxes go; empty = nobody answers (OK, or the negative button).
  MessageBoxSink messageBoxes;
  OsVersionInfo version = Win9xVersion();
  // Locale id from --lcid; otherwise taken from the environment.
  std::optional<std::uint32_t> lcid;
  // Decimal separator override; otherwise taken from the environment.
  std::optional<char> decimalSeparator;
  // Environment lookup; empty = the process environment.
  EnvLookup environment;
  // Makes OpenProcessToken / LookupPrivilegeValueA / AdjustTokenPrivileges fail.
  bool privilegeCallsFail = false;
  // Lock file of the single-instance check; empty = "veltrix.lock" in the user's runtime
  // folder (see single_instance.h).
  std::string lockPath;
  // Program folder (--program-dir); empty = the executable's folder.
  std::string programDir;
  // Local time source; empty = the wall clock.
  std::shared_ptr<Clock> clock;
  // Replaces starting real programs (tests); empty = spawn the program.
  std::function<bool(const std::string& commandLine)> programStarter;
  // Told once when the session ends through ExitWindowsEx, with the flags.
  std::function<void(std::uint32_t flags)> onSessionEnded;
};

struct ExitRequest {
  std::uint32_t flags = 0;
  bool accepted = false;  // false: refused (NT without the shut-down privilege)
};

struct StartRequest {
  std::string commandLine;
  bool started = false;
};

class SimSystem : public System {
 public:
  explicit SimSystem(SimSystemOptions options = {});

  int MsgBox(const std::string& text, int style, const std::string& title) override;
  bool GetVersionExA(OsVersionInfo* info) override;
  std::uint32_t GetSystemDefaultLCID() override;
  char DecimalSeparator() override;
  bool OpenProcessToken() override;
  bool LookupPrivilegeValueA(const std::string& privilege) override;
  bool AdjustTokenPrivileges(bool enable) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  SingleInstanceResult AcquireSingleInstance() override;
  std::string ProgramFolder() override;
  std::string LogFolder() override;
  bool StartProgram(const std::string& commandLine) override;
  LocalTime Now() override;

  // Control surface for the front end and tests.
  void SetMessageBoxSink(MessageBoxSink sink) { options_.messageBoxes = std::move(sink); }
  void SetClock(std::shared_ptr<Clock> clock) { options_.clock = std::move(clock); }
  void SetOnSessionEnded(std::function<void(std::uint32_t)> callback) {
    options_.onSessionEnded = std::move(callback);
  }
  void SetVersion(const OsVersionInfo& version) { options_.version = version; }
  void SetPrivilegeCallsFail(bool fail) { options_.privilegeCallsFail = fail; }

  bool SessionEnded() const { return sessionEnded_; }
  const std::vector<ExitRequest>& ExitRequests() const { return exitRequests_; }
  const std::vector<StartRequest>& StartRequests() const { return startRequests_; }
  bool ShutdownPrivilegeEnabled() const { return privilegeEnabled_; }
  const std::string& LockPath() const { return lock_.Path(); }

 protected:
  // Carries out an accepted shut-down request; true when the session is over. The
  // simulated machine simply goes down.
  virtual bool PerformShutdown(std::uint32_t flags);

 private:
  SimSystemOptions options_;
  SingleInstanceLock lock_;
  bool tokenOpen_ = false;
  bool privilegeLookedUp_ = false;
  bool privilegeEnabled_ = false;
  bool sessionEnded_ = false;
  std::vector<ExitRequest> exitRequests_;
  std::vector<StartRequest> startRequests_;
};

}  // namespace veltrix::platform
