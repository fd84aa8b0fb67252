#include "app/veltrix/linux_hardware.h"

#include <algorithm>

#include "monitor/alarms/chassis.h"
#include "platform/portio/sensor_chip_owner.h"

namespace veltrix::app {
namespace {

bool SameMaker(monitor::boards::ChassisMethod method, platform::ChipsetVendor vendor) {
  using monitor::boards::ChassisMethod;
  using platform::ChipsetVendor;
  return (method == ChassisMethod::kIntel && vendor == ChipsetVendor::kIntel) ||
         (method == ChassisMethod::kVia && vendor == ChipsetVendor::kVia) ||
         (method == ChassisMethod::kNvidia && vendor == ChipsetVendor::kNvidia);
}

}  // namespace

std::optional<int> RefuseChipOwnedByKernel(const std::string& root, std::ostream& err) {
  const auto owner = platform::FindSensorChipDriver(root);
  if (!owner) return std::nullopt;
  err << "veltrix: " << platform::SensorChipDriverMessage(*owner) << '\n';
  return kChipOwnedStatus;
}

std::vector<std::uint16_t> ChassisPortsToOpen(std::string_view model,
                                              const std::optional<platform::ChipsetBridge>& bridge) {
  std::vector<std::uint16_t> ports;
  if (!bridge) return ports;
  for (const monitor::ChipsetPortUse& use : monitor::ChipsetPortsUsed(model)) {
    if (!SameMaker(use.method, bridge->vendor)) continue;
    if (use.fromPmBase && !bridge->pmBase) continue;
    const auto port = static_cast<std::uint16_t>(use.fromPmBase ? *bridge->pmBase + use.port : use.port);
    if (std::find(ports.begin(), ports.end(), port) == ports.end()) ports.push_back(port);
  }
  return ports;
}

}  // namespace veltrix::app
