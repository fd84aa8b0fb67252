#pragma once
// ITE IT8705F / IT8712F environment controller: a flat 128-register map without banks.
// Classic (pre-16-bit-tachometer) revisions: 8-bit fan counts with divisors, PWM on a 0..127 scale.
#include <array>
#include <cstdint>

#include "platform/superio/ite_registers.h"
#include "sim/chip/chip.h"

namespace veltrix::sim {

class IteChip : public SimChip {
 public:
  IteChip(ChipModel model, std::uint16_t configPort);

  std::uint8_t MonitorLdn() const override { return ite::kMonitorDevice; }
  std::uint8_t FanOutput(int fan) const override;
  bool BeepOutput() const override;
  bool CaseOpenLatched() const override { return caseLatched_; }
  std::uint8_t GetRegister(int bank, std::uint8_t index) const override;
  void SetRegister(int bank, std::uint8_t index, std::uint8_t value) override;
  void ResetMonitor() override;

  // VID input (IT8712F only, 6 bits at 0x0A).
  void SetVid(std::uint8_t vid) { vid_ = vid & ite::kVidMask; }
  // Fan divisor from 0x0B: fans 1/2 are 2^n, fan 3 is 2 or 8.
  int FanDivisor(int fan) const;
  // Live status word: 0x01 bits in 0..7, 0x02 in 8..15, 0x03 in 16..23.
  std::uint32_t LiveStatus() const { return live_; }

 protected:
  std::uint8_t ReadMonitor(std::uint8_t index) override;
  void WriteMonitor(std::uint8_t index, std::uint8_t value) override;
  void Convert() override;

 private:
  void EvaluateAlarms();
  std::uint8_t Peek(std::uint8_t index) const;

  std::array<std::uint8_t, superio::kMonitorRegisterCount> regs_{};
  std::uint32_t live_ = 0;
  std::uint32_t pending_ = 0;
  std::array<bool, 3> tempOver_{};  // temperature comparators with hysteresis
  bool caseLatched_ = false;
  bool lastCaseOpen_ = false;
  std::uint8_t vid_ = 0;
};

}  // namespace veltrix::sim
