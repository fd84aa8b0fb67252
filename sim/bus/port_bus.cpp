#include "sim/bus/port_bus.h"

#include <algorithm>

namespace veltrix::sim {

void SimPortBus::Attach(std::shared_ptr<PortDevice> device) {
  if (device) devices_.push_back(std::move(device));
}

bool SimPortBus::Detach(const PortDevice* device) {
  auto it =
      std::find_if(devices_.begin(), devices_.end(), [device](const auto& d) { return d.get() == device; });
  if (it == devices_.end()) return false;
  devices_.erase(it);
  return true;
}

PortDevice* SimPortBus::DeviceAt(std::uint16_t port) const {
  for (const auto& d : devices_) {
    if (d->Decodes(port)) return d.get();
  }
  return nullptr;
}

std::uint16_t SimPortBus::LoadPordexVxD() {
  ++loadCalls_;
  return driverLoadFails_ ? 1 : 0;
}

std::uint16_t SimPortBus::InitialBus(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) {
  ++initialBusCalls_;
  return busInitFails_ ? 1 : 0;
}

std::uint8_t SimPortBus::InPortB(std::uint16_t port) {
  PortDevice* device = DeviceAt(port);
  return device ? device->Read(port) : 0xFF;
}

void SimPortBus::OutPortB(std::uint16_t port, std::uint8_t value) {
  if (PortDevice* device = DeviceAt(port)) device->Write(port, value);
}

std::uint16_t SimPortBus::EnablePri() {
  if (privilegeRefused_) return 0;
  privilegeHeld_ = true;
  return 1;
}

void SimPortBus::DisablePri() {
  privilegeHeld_ = false;
}

}  // namespace veltrix::sim
