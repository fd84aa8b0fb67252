#pragma once
// South-bridge chassis-intrusion flags as port devices. Each latches the intruder switch:
// opening the case (SetIntrusion(true) after it was closed) sets the flag; it stays set until
// software clears it, and a clear while the case is still open stays cleared until the next
// opening. The three boards' schemes differ only in where the flag lives and how it clears.
#include <cstdint>
#include <string>

#include "sim/bus/port_device.h"

namespace veltrix::sim {

class ChassisIntrusionDevice : public PortDevice {
 public:
  // The intruder switch: true = case open.
  void SetIntrusion(bool open);
  bool SwitchOpen() const { return switchOpen_; }
  // The latched flag as software would see it.
  bool Latched() const { return latched_; }
  // Number of times software cleared a set flag (for tests and scenarios).
  int Clears() const { return clears_; }

 protected:
  void ClearLatch();

 private:
  bool switchOpen_ = false;
  bool latched_ = false;
  int clears_ = 0;
};

// Intel ICH TCO block: TCO2_STS at PmBase + 0x66, bit 0 INTRD_DET, write 1 to clear.
// TCO2_CNT at PmBase + 0x6A is kept as a plain register.
class IntelTcoIntrusion : public ChassisIntrusionDevice {
 public:
  explicit IntelTcoIntrusion(std::uint16_t pmBase) : pmBase_(pmBase) {}
  std::uint16_t StatusPort() const { return static_cast<std::uint16_t>(pmBase_ + 0x66); }
  std::string Name() const override { return "Intel TCO intrusion"; }
  bool Decodes(std::uint16_t port) const override;
  std::uint8_t Read(std::uint16_t port) override;
  void Write(std::uint16_t port, std::uint8_t value) override;

 private:
  std::uint16_t pmBase_;
  std::uint8_t tco2Cnt_ = 0;
};

// VIA south bridge: PmBase + 0x20, bit 6 reads 1 while no intrusion is latched and 0 after the
// case was opened; writing 1 to bit 6 clears the latch. The other bits read 0.
class ViaIntrusion : public ChassisIntrusionDevice {
 public:
  explicit ViaIntrusion(std::uint16_t pmBase) : pmBase_(pmBase) {}
  std::uint16_t StatusPort() const { return static_cast<std::uint16_t>(pmBase_ + 0x20); }
  std::string Name() const override { return "VIA intrusion"; }
  bool Decodes(std::uint16_t port) const override { return port == StatusPort(); }
  std::uint8_t Read(std::uint16_t port) override;
  void Write(std::uint16_t port, std::uint8_t value) override;

 private:
  std::uint16_t pmBase_;
};

// NVIDIA nForce boards: port 0x4444 bit 2 = intrusion latched, writing 1 to bit 2 clears it.
// Port 0x4449 is the set-up register the start-up code ORs with 0x11; it is kept as written.
class NvidiaIntrusion : public ChassisIntrusionDevice {
 public:
  static constexpr std::uint16_t kStatusPort = 0x4444;
  static constexpr std::uint16_t kSetupPort = 0x4449;
  std::string Name() const override { return "NVIDIA intrusion"; }
  bool Decodes(std::uint16_t port) const override { return port == kStatusPort || port == kSetupPort; }
  std::uint8_t Read(std::uint16_t port) override;
  void Write(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t SetupRegister() const { return setup_; }

 private:
  std::uint8_t setup_ = 0;
};

}  // namespace veltrix::sim
