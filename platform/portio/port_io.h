#pragma once
// The port-I/O library: the only way the program reaches hardware (Super I/O chip,
// chipset chassis registers, PC speaker). Six calls, byte-wide ports, and a question the
// program asks before it relies on a chipset port.
#include <cstdint>

namespace veltrix::platform {

class PortIo {
 public:
  virtual ~PortIo() = default;

  // 0 = the port driver is loaded; anything else is a failure.
  virtual std::uint16_t LoadPordexVxD() = 0;
  // Called with 1, 0x5A, 0x92, 0x90. 0 = success.
  virtual std::uint16_t InitialBus(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) = 0;
  // The byte currently read from the port; no error result.
  virtual std::uint8_t InPortB(std::uint16_t port) = 0;
  // The byte reaches the port before the call returns.
  virtual void OutPortB(std::uint16_t port, std::uint8_t value) = 0;
  // Non-zero when the process may shut the system down.
  virtual std::uint16_t EnablePri() = 0;
  virtual void DisablePri() = 0;
  // False when this layer will not reach the port (real hardware opens only the ports the
  // program needs, and a chipset port only where the chipset's base was found): reads of it
  // would not come from the hardware.
  virtual bool Reaches(std::uint16_t /*port*/) { return true; }
};

}  // namespace veltrix::platform
