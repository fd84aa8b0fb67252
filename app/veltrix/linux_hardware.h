#pragma once
// What --hardware linux settles before the program starts: a kernel driver that owns the
// sensor chip stops the run, and the chipset's chassis ports are opened only where the board's
// chassis method and the south bridge found in PCI configuration space agree.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/boardinfo/pci_pm_base.h"

namespace veltrix::app {

// Exit status of a run refused because a kernel driver owns the sensor chip.
inline constexpr int kChipOwnedStatus = 1;

// When a kernel driver owns the chip (sysfs under `root`): says which and how to unload it on
// `err` and returns kChipOwnedStatus; otherwise nothing.
std::optional<int> RefuseChipOwnedByKernel(const std::string& root, std::ostream& err);

// The chipset ports the board's chassis routines may use on this machine: those of the
// method that matches the bridge's maker, PmBase-relative ones only when its base was found.
std::vector<std::uint16_t> ChassisPortsToOpen(std::string_view model,
                                              const std::optional<platform::ChipsetBridge>& bridge);

}  // namespace veltrix::app
