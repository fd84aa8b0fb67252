#pragma once
// The simulated I/O bus: the port-I/O library as the program sees it on the simulator.
// Devices are asked in attach order; the first one that decodes a port answers. A port
// nobody decodes reads 0xFF (the floating ISA data bus) and swallows writes.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/portio/port_io.h"
#include "sim/bus/port_device.h"

namespace veltrix::sim {

class SimPortBus : public platform::PortIo {
 public:
  // The bus shares ownership so a board or a test may keep its own handle to the device.
  void Attach(std::shared_ptr<PortDevice> device);
  // Removes the device; false when it was not attached.
  bool Detach(const PortDevice* device);
  const std::vector<std::shared_ptr<PortDevice>>& Devices() const { return devices_; }
  // The device answering this port now, or nullptr.
  PortDevice* DeviceAt(std::uint16_t port) const;
  // First attached device of type T, or nullptr.
  template <class T>
  T* Find() const {
    for (const auto& d : devices_) {
      if (auto* t = dynamic_cast<T*>(d.get())) return t;
    }
    return nullptr;
  }

  // Failures of the library calls, for start-up and shut-down tests.
  void SetDriverLoadFails(bool fails) { driverLoadFails_ = fails; }
  void SetBusInitFails(bool fails) { busInitFails_ = fails; }
  void SetPrivilegeRefused(bool refused) { privilegeRefused_ = refused; }

  // What the program asked of the library.
  int LoadCalls() const { return loadCalls_; }
  int InitialBusCalls() const { return initialBusCalls_; }
  bool PrivilegeHeld() const { return privilegeHeld_; }

  // platform::PortIo
  std::uint16_t LoadPordexVxD() override;
  std::uint16_t InitialBus(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) override;
  std::uint8_t InPortB(std::uint16_t port) override;
  void OutPortB(std::uint16_t port, std::uint8_t value) override;
  std::uint16_t EnablePri() override;
  void DisablePri() override;

 private:
  std::vector<std::shared_ptr<PortDevice>> devices_;
  bool driverLoadFails_ = false;
  bool busInitFails_ = false;
  bool privilegeRefused_ = false;
  bool privilegeHeld_ = false;
  int loadCalls_ = 0;
  int initialBusCalls_ = 0;
};

}  // namespace veltrix::sim
