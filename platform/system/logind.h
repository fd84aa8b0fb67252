#pragma once
// Asking logind (org.freedesktop.login1 on the system bus) to power the machine off or reboot
// it. The call is interactive: polkit decides, and may ask the user to authenticate, so it can
// take a while; it returns once logind has accepted or refused.
#include <string>

namespace veltrix::platform {

struct LogindAnswer {
  bool accepted = false;
  // Why not, when refused: the bus error's name and message, or why the bus was not reached.
  std::string reason;
};

enum class LogindRequest { kPowerOff, kReboot };

// org.freedesktop.login1.Manager.PowerOff / Reboot with interactive = true, on the system bus
// ($DBUS_SYSTEM_BUS_ADDRESS when set). `timeoutSeconds` bounds the wait for an answer.
LogindAnswer AskLogind(LogindRequest request, int timeoutSeconds);

}  // namespace veltrix::platform
