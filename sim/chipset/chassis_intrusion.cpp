#include "sim/chipset/chassis_intrusion.h"

namespace veltrix::sim {

void ChassisIntrusionDevice::SetIntrusion(bool open) {
  if (open && !switchOpen_) latched_ = true;  // the event, not the level, is latched
  switchOpen_ = open;
}

void ChassisIntrusionDevice::ClearLatch() {
  if (latched_) ++clears_;
  latched_ = false;
}

bool IntelTcoIntrusion::Decodes(std::uint16_t port) const {
  return port == StatusPort() || port == static_cast<std::uint16_t>(pmBase_ + 0x6A);
}

std::uint8_t IntelTcoIntrusion::Read(std::uint16_t port) {
  if (port == StatusPort()) return Latched() ? 0x01 : 0x00;
  return tco2Cnt_;
}

void IntelTcoIntrusion::Write(std::uint16_t port, std::uint8_t value) {
  if (port == StatusPort()) {
    if (value & 0x01) ClearLatch();  // INTRD_DET is write-1-to-clear
    return;
  }
  tco2Cnt_ = value;
}

std::uint8_t ViaIntrusion::Read(std::uint16_t) {
  return Latched() ? 0x00 : 0x40;
}

void ViaIntrusion::Write(std::uint16_t, std::uint8_t value) {
  if (value & 0x40) ClearLatch();
}

std::uint8_t NvidiaIntrusion::Read(std::uint16_t port) {
  if (port == kSetupPort) return setup_;
  return Latched() ? 0x04 : 0x00;
}

void NvidiaIntrusion::Write(std::uint16_t port, std::uint8_t value) {
  if (port == kSetupPort) {
    setup_ = value;
    return;
  }
  if (value & 0x04) ClearLatch();
}

}  // namespace veltrix::sim
