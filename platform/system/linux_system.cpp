#include "platform/system/linux_system.h"

#include "platform/system/logind.h"

namespace veltrix::platform {

LinuxSystem::LinuxSystem(SimSystemOptions options, LinuxSystemOptions linuxOptions)
    : SimSystem(std::move(options)), linux_(linuxOptions) {}

bool LinuxSystem::PerformShutdown(std::uint32_t flags) {
  // A log-off has no meaning for this machine: only the program's session ends.
  if ((flags & (EWX_SHUTDOWN | EWX_REBOOT | EWX_POWEROFF)) == 0) return true;
  const bool reboot = (flags & (EWX_REBOOT | EWX_POWEROFF)) == EWX_REBOOT;
  const LogindAnswer answer =
      AskLogind(reboot ? LogindRequest::kReboot : LogindRequest::kPowerOff, linux_.logindTimeoutSeconds);
  if (answer.accepted) {
    lastRefusal_.clear();
    return true;
  }
  lastRefusal_ = answer.reason;
  MsgBox("The system did not " + std::string(reboot ? "restart" : "shut down") + ": " + answer.reason +
             "\nVeltrix keeps monitoring.",
         vbOKOnly | vbExclamation, "Veltrix");
  return false;
}

}  // namespace veltrix::platform
