#pragma once
// System services on real Linux hardware. Everything is as on the simulated platform except
// shut-down: an accepted request asks logind to power off (or reboot) this machine, and polkit
// decides. When logind refuses or cannot be reached, the user is told in a message box and
// the request fails: the program keeps monitoring with the chip as it was.
#include <string>

#include "platform/system/sim_system.h"

namespace veltrix::platform {

struct LinuxSystemOptions {
  // How long an interactive power-off request may wait for polkit and logind.
  int logindTimeoutSeconds = 120;
};

class LinuxSystem : public SimSystem {
 public:
  explicit LinuxSystem(SimSystemOptions options, LinuxSystemOptions linuxOptions = {});

  // What logind answered to the last request.
  const std::string& LastRefusal() const { return lastRefusal_; }

 protected:
  bool PerformShutdown(std::uint32_t flags) override;

 private:
  LinuxSystemOptions linux_;
  std::string lastRefusal_;
};

}  // namespace veltrix::platform
