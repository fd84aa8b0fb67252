#include "platform/system/linux_system.h"

#include "platform/system/start_program.h"

namespace veltrix::platform {

LinuxSystem::LinuxSystem(SimSystemOptions options, LinuxSystemOptions linuxOptions)
    : SimSystem(std::move(options)), linux_(std::move(linuxOptions)) {}

bool LinuxSystem::PerformShutdown(std::uint32_t flags) {
  if (!linux_.allowRealPowerOff) return SimSystem::PerformShutdown(flags);
  // A log-off has no meaning for this machine: only the program's session ends.
  if ((flags & (EWX_SHUTDOWN | EWX_REBOOT | EWX_POWEROFF)) == 0) return true;
  const std::string& command =
      (flags & (EWX_REBOOT | EWX_POWEROFF)) == EWX_REBOOT ? linux_.rebootCommand : linux_.powerOffCommand;
  lastCommand_ = command;
  // When the service manager refuses, the machine keeps running and so does the program,
  // as it would on Windows when the request fails.
  return SpawnAndWait(command) == 0;
}

}  // namespace veltrix::platform
