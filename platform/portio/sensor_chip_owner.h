#pragma once
// Whether a kernel hardware-monitoring driver already owns the Super I/O sensor chip. Two owners
// of the chip's bank-select register corrupt each other's readings, so real port access is
// refused while one is loaded.
#include <optional>
#include <string>

namespace veltrix::platform {

struct SensorChipDriver {
  std::string hwmon;   // "hwmon2"
  std::string name;    // the device's hwmon name, e.g. "w83627hf", "it87"
  std::string module;  // the kernel module to unload, e.g. "w83627hf", "it87"
};

// The first hwmon device under `root` + /sys/class/hwmon whose name is one of the Winbond or ITE
// sensor drivers' chips; nothing when none is loaded.
std::optional<SensorChipDriver> FindSensorChipDriver(const std::string& root);

// What to tell the user: which driver owns the chip and how to unload it.
std::string SensorChipDriverMessage(const SensorChipDriver& driver);

}  // namespace veltrix::platform
