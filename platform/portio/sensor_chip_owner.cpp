#include "platform/portio/sensor_chip_owner.h"

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace veltrix::platform {
namespace {

// hwmon names the Linux drivers give the chips this program drives (and their close kin the
// same drivers bind to at the same ports), with the module that provides them.
struct KnownDriver {
  const char* name;
  const char* module;
};
constexpr KnownDriver kDrivers[] = {
    {"w83627hf", "w83627hf"},  {"w83627thf", "w83627hf"}, {"w83697hf", "w83627hf"}, {"w83637hf", "w83627hf"},
    {"w83687thf", "w83627hf"}, {"it87", "it87"},          {"it8712", "it87"},
};

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  if (line.size() > 64) line.resize(64);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

}  // namespace

std::optional<SensorChipDriver> FindSensorChipDriver(const std::string& root) {
  std::string base = root;
  while (!base.empty() && base.back() == '/') base.pop_back();
  const std::string folder = base + "/sys/class/hwmon";
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<std::string> entries;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] != '.') entries.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end());
  for (const std::string& hwmon : entries) {
    // Older kernels keep the name on the device rather than on the hwmon class device.
    std::string device = folder;
    device.append("/").append(hwmon);
    std::string name = FirstLine(device + "/name");
    if (name.empty()) name = FirstLine(device + "/device/name");
    for (const KnownDriver& known : kDrivers) {
      if (name == known.name) return SensorChipDriver{hwmon, name, known.module};
    }
  }
  return std::nullopt;
}

std::string SensorChipDriverMessage(const SensorChipDriver& driver) {
  return "the kernel driver " + driver.module + " owns the sensor chip (" + driver.hwmon + ", \"" +
         driver.name +
         "\"); two programs driving the chip corrupt each other's readings. Unload it with \"modprobe -r " +
         driver.module + "\" (and keep it from loading at boot) before starting Veltrix on real hardware.";
}

}  // namespace veltrix::platform
