#include "monitor/startup/shutdown.h"

#include <cstdint>
#include <string>

#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

constexpr const char* kShutdownQuestion = "Do you want to shut down your System?";
constexpr const char* kProductTitle = "Veltrix III";

std::string TextOr(Program& program, int suffix, const char* builtIn) {
  return Text(program.G().LangPrefix, suffix).value_or(builtIn);
}

// The exit request by platform family: 9x shuts down, NT 5.x (2000, XP) powers off, older NT
// shuts down; an unknown family is left alone. Returns whether the session is over.
bool RequestSystemExit(Program& program) {
  platform::System& sys = program.Sys();
  platform::OsVersionInfo version;
  version.dwOSVersionInfoSize = 148;
  sys.GetVersionExA(&version);
  switch (version.dwPlatformId) {
    case 0:
    case 1:
      return sys.ExitWindowsEx(platform::EWX_SHUTDOWN, 0);
    case 2:
      EnableShutdownPrivilege(program);
      return sys.ExitWindowsEx(version.dwMajorVersion == 5 ? platform::EWX_POWEROFF : platform::EWX_SHUTDOWN,
                               0);
    default:
      return false;
  }
}

}  // namespace

void ShutDownSystem(Program& program) {
  platform::System& sys = program.Sys();
  const int answer = sys.MsgBox(TextOr(program, 366, kShutdownQuestion), platform::vbYesNo,
                                TextOr(program, 335, kProductTitle));
  if (answer != platform::vbYes) return;
  if (program.Port().EnablePri() == 0) {
    sys.MsgBox(kNoShutdownPrivilegeText, platform::vbOKOnly, kAppTitle);
    return;
  }
  const bool sessionOver = RequestSystemExit(program);
  program.Port().DisablePri();
  if (sessionOver) EndProgram(0);
}

void ShutdownIfEnabled(Program& program) {
  forms::Form* main = program.MainWindowIfCreated();
  if (main == nullptr) return;
  if (static_cast<frmdoctor*>(main)->Check2.Value != 1) return;
  if (RequestSystemExit(program)) EndProgram(0);
}

void EnableShutdownPrivilege(Program& program) {
  platform::System& sys = program.Sys();
  sys.OpenProcessToken();
  sys.LookupPrivilegeValueA("SeShutdownPrivilege");
  sys.AdjustTokenPrivileges(true);
}

}  // namespace veltrix::monitor
