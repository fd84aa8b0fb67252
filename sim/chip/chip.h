#pragma once
// A simulated Super I/O sensor chip: its configuration space at the board's configuration port
// and its hardware-monitor registers at index/data ports base+5/base+6 (0x295/0x296 with the
// usual base 0x290). The chip converts what the board presents at its pins (AnalogInputs) into
// register counts once per conversion cycle, keeps the registers the program writes, runs its
// own limit comparison and drives its beep and fan outputs from them.
//
// Input pins by family:
//   Winbond: in0..in6 = pinVolts[0..6]; in7 is the chip's 5VSB pin, fed from vsbVolts through the
//            chip's internal divider (VsbRatio(), 0.6 by default); in8 = vbatVolts.
//   ITE:     in0..in7 = pinVolts[0..7]; in8 (VBAT) = vbatVolts.
//   Temperatures tempC[0..2] = temp1..temp3; fans fanRpm[0..2] = fan1..fan3.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "sim/bus/port_device.h"
#include "sim/chip/analog_inputs.h"
#include "sim/chip/superio_config.h"

namespace veltrix::sim {

enum class ChipModel { W83627HF, W83697HF, W83637HF, IT8705F, IT8712F };

const char* ChipModelName(ChipModel model);
SuperIoVendor ChipVendorOf(ChipModel model);

class SimChip : public PortDevice {
 public:
  ~SimChip() override = default;

  ChipModel Model() const { return model_; }
  SuperIoVendor Vendor() const { return ChipVendorOf(model_); }
  std::uint16_t ConfigPort() const { return config_.IndexPort(); }
  // Configuration space, for BIOS-state set-up and inspection.
  SuperIoConfig& Config() { return config_; }
  const SuperIoConfig& Config() const { return config_; }
  // Logical device number of the hardware monitor (Winbond 0x0B, ITE 0x04).
  virtual std::uint8_t MonitorLdn() const = 0;
  // Monitor index port (base & ~7) + 5, or 0 while the monitor device is inactive or unmapped.
  std::uint16_t MonitorIndexPort() const;

  // Feeds the pins and runs one conversion cycle (readings, live status, latched alarms).
  void SetInputs(const AnalogInputs& inputs);
  const AnalogInputs& Inputs() const { return inputs_; }
  // One more conversion cycle with the same inputs.
  void RunConversion() { Convert(); }
  // While held, conversions leave the reading registers as they are (a loaded register dump),
  // but limits, alarms and outputs still work from the register contents.
  void HoldReadings(bool hold) { holdReadings_ = hold; }

  // Effective drive of fan output 0..2 at the fan connector, 0 (stopped) .. 255 (full).
  // A fan without a controllable output runs at 255.
  virtual std::uint8_t FanOutput(int fan) const = 0;
  // The chip's BEEP pin: an enabled item is outside its limits (or the case-open latch is set).
  virtual bool BeepOutput() const = 0;
  // Case-open latch as the chip holds it.
  virtual bool CaseOpenLatched() const = 0;

  // Raw monitor-register access bypassing clear-on-read and read-only rules. `bank` matters only
  // where the chip banks the register (Winbond 0x50..0x5F); index is taken modulo 0x80.
  virtual std::uint8_t GetRegister(int bank, std::uint8_t index) const = 0;
  virtual void SetRegister(int bank, std::uint8_t index, std::uint8_t value) = 0;
  // Presets register contents from a dump: byte i goes to register i (up to 0x80 bytes; the
  // 0x80..0xFF half of a dump mirrors the first and is ignored, as are aliases of other registers).
  void LoadRegisters(int bank, std::span<const std::uint8_t> values);
  // Power-on register state (as the chip's own INIT bit does).
  virtual void ResetMonitor() = 0;

  // PortDevice
  std::string Name() const override;
  bool Decodes(std::uint16_t port) const override;
  std::uint8_t Read(std::uint16_t port) override;
  void Write(std::uint16_t port, std::uint8_t value) override;

 protected:
  SimChip(ChipModel model, SuperIoConfig config) : model_(model), config_(std::move(config)) {}
  // The monitor's index/data cycles: `index` is the 7-bit address register.
  virtual std::uint8_t ReadMonitor(std::uint8_t index) = 0;
  virtual void WriteMonitor(std::uint8_t index, std::uint8_t value) = 0;
  virtual void Convert() = 0;
  bool ReadingsHeld() const { return holdReadings_; }
  // The register an address reaches when it is an alias of another one (Winbond 0x60..0x7F).
  virtual std::uint8_t CanonicalIndex(std::uint8_t index) const {
    return index & superio::kMonitorAddressMask;
  }

 private:
  ChipModel model_;
  SuperIoConfig config_;
  AnalogInputs inputs_{};
  std::uint8_t address_ = 0;
  bool holdReadings_ = false;
};

// Count helpers shared by both families.
// 8-bit ADC, 16 mV per count, saturating at 0 and 255.
std::uint8_t VoltsToCount(double volts);
// Tachometer count for a fan speed and divisor: 1350000 / (rpm * divisor), 255 when the fan is
// stopped or too slow to count, never below 1.
std::uint8_t RpmToCount(double rpm, int divisor);
// Signed 8-bit whole degrees (two's complement), saturating at -128 / +127.
std::uint8_t CelsiusToByte(double celsius);

// A chip of the model at configuration port 0x2E or 0x4E, with its registers as a typical BIOS
// leaves them (monitor device active at base 0x290, monitoring started).
std::unique_ptr<SimChip> MakeChip(ChipModel model, std::uint16_t configPort);

}  // namespace veltrix::sim
