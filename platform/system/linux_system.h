#pragma once
// System services on real Linux hardware. Everything is as on the simulated platform except
// shut-down: when (and only when) the user explicitly allowed it, an accepted shut-down
// request really powers off or reboots this machine through the service manager.
#include <string>

#include "platform/system/sim_system.h"

namespace veltrix::platform {

struct LinuxSystemOptions {
  // Off unless the user chose real hardware and asked for real shut-downs.
  bool allowRealPowerOff = false;
  std::string powerOffCommand = "systemctl poweroff";
  std::string rebootCommand = "systemctl reboot";
};

class LinuxSystem : public SimSystem {
 public:
  LinuxSystem(SimSystemOptions options, LinuxSystemOptions linuxOptions);

  // The command run for the last accepted request ("" when none ran).
  const std::string& LastCommand() const { return lastCommand_; }

 protected:
  bool PerformShutdown(std::uint32_t flags) override;

 private:
  LinuxSystemOptions linux_;
  std::string lastCommand_;
};

}  // namespace veltrix::platform
