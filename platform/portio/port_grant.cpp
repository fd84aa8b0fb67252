#include "platform/portio/port_grant.h"

#include <cstdio>

namespace veltrix::platform {
namespace {

constexpr std::uint16_t kFixedPorts[] = {0x2E, 0x2F, 0x4E, 0x4F, kSensorIndexPort, kSensorDataPort,
                                         0x42, 0x43, 0x61};
constexpr std::uint8_t kDeviceIdRegister = 0x20;
// Register 0x20 of the chips Veltrix drives: W83627HF, W83697HF, W83637HF, and ITE (0x87xx).
constexpr std::uint8_t kChipIds[] = {0x52, 0x60, 0x70, 0x87};

bool IsSensorPort(std::uint16_t port) {
  return port == kSensorIndexPort || port == kSensorDataPort;
}

std::string Hex(std::uint16_t port) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(port));
  return text;
}

}  // namespace

void PortGrant::Reset(const std::vector<std::uint16_t>& chipsetPorts) {
  ports_.clear();
  ports_.insert(std::begin(kFixedPorts), std::end(kFixedPorts));
  ports_.insert(chipsetPorts.begin(), chipsetPorts.end());
  reported_.clear();
  lastIndex2E_ = lastIndex4E_ = 0xFF;
  chipAnswered_ = false;
}

std::vector<std::pair<std::uint16_t, std::uint16_t>> PortGrant::Runs() const {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> runs;
  for (std::uint16_t port : ports_) {
    if (!runs.empty() && runs.back().first + runs.back().second == port) {
      ++runs.back().second;
    } else {
      runs.emplace_back(port, 1);
    }
  }
  return runs;
}

bool PortGrant::Allows(std::uint16_t port) const {
  if (!ports_.contains(port)) return false;
  return !IsSensorPort(port) || chipAnswered_;
}

void PortGrant::NoteWrite(std::uint16_t port, std::uint8_t value) {
  if (port == 0x2E) lastIndex2E_ = value;
  if (port == 0x4E) lastIndex4E_ = value;
}

void PortGrant::NoteRead(std::uint16_t port, std::uint8_t value) {
  const bool deviceId = (port == 0x2F && lastIndex2E_ == kDeviceIdRegister) ||
                        (port == 0x4F && lastIndex4E_ == kDeviceIdRegister);
  if (!deviceId) return;
  for (std::uint8_t id : kChipIds) {
    if (value == id) chipAnswered_ = true;
  }
}

void PortGrant::Refuse(std::uint16_t port, bool write) {
  ++refusals_;
  if (!reported_.insert(port).second || !log_) return;
  const std::string what = std::string(write ? "write to" : "read of") + " port " + Hex(port) + " refused: ";
  if (ports_.contains(port)) {
    log_(what +
         "no supported sensor chip answered at the configuration ports 0x2E/0x4E, so the sensor "
         "ports 0x295/0x296 stay closed");
  } else {
    log_(what + "Veltrix does not use this port (further refusals of it are not reported)");
  }
}

}  // namespace veltrix::platform
