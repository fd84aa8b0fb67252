#pragma once
// Something on the simulated ISA/LPC bus that answers byte-wide I/O port cycles.
#include <cstdint>
#include <string>

namespace veltrix::sim {

class PortDevice {
 public:
  virtual ~PortDevice() = default;

  // A short human-readable name for traces and failure messages ("W83627HF@2E", "PC speaker").
  virtual std::string Name() const = 0;
  // True when the device responds to this port right now. Decoding may change at run time
  // (a Super I/O logical device decodes its base only while it is activated).
  virtual bool Decodes(std::uint16_t port) const = 0;
  // Only called for ports the device decodes.
  virtual std::uint8_t Read(std::uint16_t port) = 0;
  virtual void Write(std::uint16_t port, std::uint8_t value) = 0;
};

}  // namespace veltrix::sim
