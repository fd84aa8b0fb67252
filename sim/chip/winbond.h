#pragma once
// Winbond W83627HF / W83697HF / W83637HF hardware monitor: LM78-style register file with
// bank switching of 0x50..0x5F through 0x4E, vendor id through 0x4E bit 7 and 0x4F.
#include <array>
#include <cstdint>

#include "platform/superio/winbond_registers.h"
#include "sim/chip/chip.h"

namespace veltrix::sim {

class WinbondChip : public SimChip {
 public:
  WinbondChip(ChipModel model, std::uint16_t configPort);

  std::uint8_t MonitorLdn() const override { return winbond::kMonitorDevice; }
  std::uint8_t FanOutput(int fan) const override;
  bool BeepOutput() const override;
  bool CaseOpenLatched() const override { return caseLatched_; }
  std::uint8_t GetRegister(int bank, std::uint8_t index) const override;
  void SetRegister(int bank, std::uint8_t index, std::uint8_t value) override;
  void ResetMonitor() override;

  // VID pins as the board straps them (5 bits; the W83697HF has none).
  void SetVid(std::uint8_t vid);
  // Internal divider of the 5VSB pin: in7 sees vsbVolts * ratio.
  void SetVsbRatio(double ratio) { vsbRatio_ = ratio; }
  double VsbRatio() const { return vsbRatio_; }
  // Fan divisor 1..128 from 0x47/0x4B and 0x5D.
  int FanDivisor(int fan) const;
  // Live status word: 0x41 bits in 0..7, 0x42 bits in 8..15, bank-4 0x50 bits in 16..17.
  std::uint32_t LiveStatus() const { return live_; }
  int CurrentBank() const { return regs_[winbond::kBankSelect] & winbond::kBankMask; }

 protected:
  std::uint8_t ReadMonitor(std::uint8_t index) override;
  void WriteMonitor(std::uint8_t index, std::uint8_t value) override;
  void Convert() override;
  std::uint8_t CanonicalIndex(std::uint8_t index) const override {
    index &= superio::kMonitorAddressMask;
    return index >= winbond::kValueRamAlias
               ? static_cast<std::uint8_t>(index - winbond::kValueRamAliasDistance)
               : index;
  }

 private:
  int VoltageInputs() const;
  bool HasInput(int n) const;
  bool HasFan(int fan) const;
  bool HasTemp(int t) const;
  bool HasLowFanControl() const { return Model() != ChipModel::W83627HF; }
  // Bank `bank`'s register `index` (0x50..0x5F).
  std::uint8_t& Banked(int bank, std::uint8_t index) {
    return banks_[bank & winbond::kBankMask][(index - winbond::kBankedFirst) & kBankedWindowMask];
  }
  std::uint8_t Banked(int bank, std::uint8_t index) const {
    return banks_[bank & winbond::kBankMask][(index - winbond::kBankedFirst) & kBankedWindowMask];
  }
  std::uint8_t& Banked(winbond::BankedRegister r) { return Banked(r.bank, r.reg); }
  std::uint8_t Banked(winbond::BankedRegister r) const { return Banked(r.bank, r.reg); }
  void EvaluateAlarms();
  std::uint8_t Peek(int bank, std::uint8_t index) const;

  static constexpr std::size_t kBankedWindow = winbond::kBankedLast - winbond::kBankedFirst + 1;
  static constexpr int kBankedWindowMask = kBankedWindow - 1;
  static constexpr std::size_t kBanks = winbond::kBankMask + 1;

  std::array<std::uint8_t, superio::kMonitorRegisterCount> regs_{};      // unbanked registers
  std::array<std::array<std::uint8_t, kBankedWindow>, kBanks> banks_{};  // 0x50..0x5F of banks 0..7
  std::uint32_t live_ = 0;                                               // current out-of-limit state
  std::uint32_t pending_ = 0;       // interrupt status not yet read (0x41/0x42/bank 4 0x50)
  bool temp1Over_ = false;          // temp1 works in interrupt mode with hysteresis
  std::array<bool, 2> tempOver_{};  // temp2/temp3 comparators with hysteresis
  bool caseLatched_ = false;
  bool lastCaseOpen_ = false;
  std::uint8_t vid_ = 0;
  double vsbRatio_ = 0.6;
};

}  // namespace veltrix::sim
