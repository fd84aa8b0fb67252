#include "sim/chip/winbond.h"

#include <cmath>

namespace veltrix::sim {

using namespace winbond;  // this file is the chip's register map

namespace {

// Bits of the combined status word (interrupt status 1 | 2 << 8 | 3 << 16).
constexpr std::uint32_t StatusBit(int bit) {
  return 1u << bit;
}
// The word's bits of the three status registers (interrupt status 3 has in7 and in8 only).
constexpr std::uint32_t kStatus1Bits = 0xFFu;
constexpr std::uint32_t kStatus2Bits = 0xFF00u;
constexpr std::uint32_t kStatus3Bits = static_cast<std::uint32_t>(kBeepControl3Mask) << 16;
constexpr std::uint32_t kTemp1Bit = StatusBit(kTempStatusBit[0]);
constexpr std::uint32_t kChassisBit = StatusBit(kCaseOpenStatusBit);

std::uint8_t ChipIdOf(ChipModel model) {
  switch (model) {
    case ChipModel::W83697HF:
      return kChipIdW83697HF;
    case ChipModel::W83637HF:
      return kChipIdW83637HF;
    default:
      return kChipIdW83627HF;
  }
}

// Configuration-space device id (0x20) and revision (0x21). The W83627HF revision varies between
// steppings (0x17 and 0x41 are both seen); bit 4 of it is set here.
std::vector<std::uint8_t> ConfigIdOf(ChipModel model) {
  switch (model) {
    case ChipModel::W83697HF:
      return {kDeviceIdW83697HF, 0x11};
    case ChipModel::W83637HF:
      return {kDeviceIdW83637HF, 0x80};
    default:
      return {kDeviceIdW83627HF, 0x17};
  }
}

int HalfDegrees(std::uint8_t msb, std::uint8_t lsb) {
  return static_cast<std::int16_t>(msb << 8 | lsb) >> 7;
}

}  // namespace

WinbondChip::WinbondChip(ChipModel model, std::uint16_t configPort)
    : SimChip(model, SuperIoConfig(SuperIoVendor::Winbond, configPort, ConfigIdOf(model))) {
  // What the BIOS leaves: monitor device activated at base 0x290.
  Config().SetRegister(kMonitorDevice, superio::kActivate, superio::kActivateBit);
  Config().SetRegister(kMonitorDevice, superio::kBaseAddressHigh, superio::kUsualMonitorBase >> 8);
  Config().SetRegister(kMonitorDevice, superio::kBaseAddressLow, superio::kUsualMonitorBase & 0xFF);
  if (model != ChipModel::W83697HF) vid_ = 0x0F;
  ResetMonitor();
}

void WinbondChip::SetVid(std::uint8_t vid) {
  vid_ = Model() == ChipModel::W83697HF ? 0 : (vid & (kVidLowMask | kVid4Bit << 4));
}

bool WinbondChip::HasInput(int n) const {
  if (n < 0 || n > 8) return false;
  if (Model() == ChipModel::W83697HF) return n != 1;
  if (Model() == ChipModel::W83637HF) return n != 5 && n != 6;
  return true;
}

bool WinbondChip::HasFan(int fan) const {
  return fan >= 0 && fan < (Model() == ChipModel::W83697HF ? 2 : 3);
}

bool WinbondChip::HasTemp(int t) const {
  return t >= 0 && t < (Model() == ChipModel::W83697HF ? 2 : 3);
}

void WinbondChip::ResetMonitor() {
  regs_.fill(0x00);
  for (auto& bank : banks_) bank.fill(0xFF);  // banks 3, 6, 7 do not exist
  if (HasLowFanControl()) {
    // Fan-control block at 0x00..0x1F: PWM frequency selects and duty registers at full.
    regs_[kPwm1Frequency] = 0x01;
    regs_[kPwm1Duty] = 0xFF;
    regs_[kPwm2Frequency] = 0x01;
    regs_[kPwm2Duty] = 0xFF;
    if (Model() == ChipModel::W83637HF) {
      regs_[kPwm3Frequency] = 0x01;
      regs_[kPwm3Duty] = 0xFF;
    }
  }
  for (int n = 0; n < kBank0VoltageInputs; ++n) {
    regs_[kVoltageHighLimitBase + 2 * n] = 0xFF;
    regs_[kVoltageLowLimitBase + 2 * n] = 0x00;
  }
  regs_[kTemp1Over] = 0x50;        // 80 C
  regs_[kTemp1Hysteresis] = 0x4B;  // 75 C
  for (int f = 0; f < 3; ++f) regs_[kFanLimitBase + f] = 0xFF;
  regs_[kConfiguration] = kStart;
  regs_[kFanDivisor] = 0x50;  // fan1/fan2 divisor 2
  regs_[kSerialBusAddress] = 0x2D;
  regs_[kVid4] = 0x02;
  regs_[kTemp23SerialBusAddress] = 0x01;
  regs_[kPinControl] = 0x44;  // fan3 divisor 2
  regs_[kFanInOutBeepControl] = 0x95;
  regs_[kBankSelect] = kHbacs;
  banks_[kBank0].fill(0x00);
  Banked(kBeepControl2) = kGlobalBeepEnable;
  Banked(kChipId) = ChipIdOf(Model());
  Banked(kDiodeSelect) = kDiodePentiumAll;
  Banked(kPwmOut1) = 0xFF;  // W83627HF PWM1/PWM2 duty
  Banked(kPwmOut2) = 0xFF;
  Banked(kPwmClockSelect) = 0x11;
  // 0x5E and 0x5F: meaning not documented; the values real chips read.
  Banked(kBank0, 0x5E) = 0xFF;
  Banked(kBank0, 0x5F) = 0x05;
  for (int t = kTemp2Bank; t <= kTemp3Bank; ++t) {
    if (!HasTemp(t)) continue;
    banks_[t].fill(0x00);
    Banked(t, kTempHysteresisHigh) = 0x4B;  // 75.0 C
    Banked(t, kTempOverHigh) = 0x50;        // 80.0 C
  }
  banks_[kBank4].fill(0x00);
  banks_[kBank5].fill(0x00);
  Banked(k5VsbHighLimit) = 0xFF;
  Banked(kVbatHighLimit) = 0xFF;
  live_ = pending_ = 0;
  temp1Over_ = false;
  tempOver_ = {};
  Convert();
}

int WinbondChip::FanDivisor(int fan) const {
  const std::uint8_t vbatReg = Banked(kVbatMonitorControl);
  int low = 0;
  switch (fan) {
    case 0:
      low = (regs_[kFanDivisor] & kFan1DivisorMask) >> kFan1DivisorShift;
      break;
    case 1:
      low = (regs_[kFanDivisor] & kFan2DivisorMask) >> kFan2DivisorShift;
      break;
    case 2:
      low = (regs_[kPinControl] & kFan3DivisorMask) >> kFan3DivisorShift;
      break;
    default:
      return 1;
  }
  const int third = (vbatReg >> (kFanDivisorBit2Shift + fan)) & 1;
  return 1 << (low | third << 2);
}

std::uint8_t WinbondChip::Peek(int bank, std::uint8_t index) const {
  index = CanonicalIndex(index);
  if (index < kFanControlBlockEnd && !HasLowFanControl()) return 0xFF;
  switch (index) {
    case kInterruptStatus1:
      return static_cast<std::uint8_t>(pending_);
    case kInterruptStatus2:
      return static_cast<std::uint8_t>(((pending_ >> 8) & ~std::uint32_t{kCaseOpenStatus}) |
                                       (caseLatched_ ? kCaseOpenStatus : 0));
    case kFanDivisor:
      return static_cast<std::uint8_t>((regs_[kFanDivisor] & ~kVidLowMask) | (vid_ & kVidLowMask));
    case kVid4:
      return static_cast<std::uint8_t>((regs_[kVid4] & ~kVid4Bit) | ((vid_ >> 4) & kVid4Bit));
    case kVendorId:
      return (regs_[kBankSelect] & kHbacs) ? kVendorIdHighByte : kVendorIdLowByte;
    default:
      break;
  }
  if (index < kBankedFirst || index > kBankedLast) return regs_[index];
  bank &= kBankMask;
  if (bank == kBank4) {
    const std::uint32_t status = live_ | (caseLatched_ ? kChassisBit : 0);
    switch (index) {
      case kInterruptStatus3.reg:
        return static_cast<std::uint8_t>((pending_ & kStatus3Bits) >> 16);
      case kRealTimeStatus1.reg:
        return static_cast<std::uint8_t>(status);
      case kRealTimeStatus2.reg:
        return static_cast<std::uint8_t>(status >> 8);
      case kRealTimeStatus3.reg:
        return static_cast<std::uint8_t>((status & kStatus3Bits) >> 16);
      default:
        break;
    }
  }
  return Banked(bank, index);
}

std::uint8_t WinbondChip::GetRegister(int bank, std::uint8_t index) const {
  return Peek(bank, index);
}

std::uint8_t WinbondChip::ReadMonitor(std::uint8_t index) {
  const std::uint8_t value = Peek(CurrentBank(), index);
  // Interrupt status clears on read, except the case-open latch (cleared through the chassis
  // clear register).
  const std::uint8_t reg = CanonicalIndex(index);
  if (reg == kInterruptStatus1) pending_ &= ~kStatus1Bits;
  if (reg == kInterruptStatus2) pending_ &= ~kStatus2Bits;
  if (reg == kInterruptStatus3.reg && CurrentBank() == kInterruptStatus3.bank) pending_ &= ~kStatus3Bits;
  return value;
}

void WinbondChip::SetRegister(int bank, std::uint8_t index, std::uint8_t value) {
  index = CanonicalIndex(index);
  if (index < kFanControlBlockEnd && !HasLowFanControl()) return;
  switch (index) {
    case kInterruptStatus1:
      pending_ = (pending_ & ~kStatus1Bits) | value;
      return;
    case kInterruptStatus2:
      pending_ = (pending_ & ~kStatus2Bits) | (static_cast<std::uint32_t>(value & ~kCaseOpenStatus) << 8);
      caseLatched_ = (value & kCaseOpenStatus) != 0;
      return;
    case kFanDivisor:
      vid_ = static_cast<std::uint8_t>((vid_ & ~kVidLowMask) | (value & kVidLowMask));
      break;
    case kVid4:
      vid_ = static_cast<std::uint8_t>((vid_ & kVidLowMask) | ((value & kVid4Bit) << 4));
      break;
    case kVendorId:
      return;  // derived from HBACS
    default:
      break;
  }
  if (index >= kBankedFirst && index <= kBankedLast) {
    if ((bank & kBankMask) == kInterruptStatus3.bank && index == kInterruptStatus3.reg) {
      pending_ = (pending_ & ~kStatus3Bits) | (static_cast<std::uint32_t>(value & kBeepControl3Mask) << 16);
      return;
    }
    Banked(bank, index) = value;
    return;
  }
  regs_[index] = value;
}

void WinbondChip::WriteMonitor(std::uint8_t index, std::uint8_t value) {
  index = CanonicalIndex(index);
  if (index < kFanControlBlockEnd) {
    if (HasLowFanControl()) regs_[index] = value;
    return;
  }
  if (index < kVoltageHighLimitBase) return;  // readings
  if (index < kConfiguration) {
    regs_[index] = value;
    return;
  }
  if (index < kBankedFirst) {
    switch (index) {
      case kConfiguration: {
        if (value & kInitialization) {
          ResetMonitor();  // self-clearing
          return;
        }
        const bool wasStarted = (regs_[kConfiguration] & kStart) != 0;
        regs_[kConfiguration] = value & kConfigurationWritable;
        if (!wasStarted && (value & kStart)) Convert();
        if (wasStarted && !(value & kStart)) live_ = 0;  // comparators stop with the monitor
        return;
      }
      case kInterruptStatus1:
      case kInterruptStatus2:
      case kVendorId:
        return;  // read-only
      case kChassisClear:
        if (value & kClearCaseOpen) caseLatched_ = false;
        regs_[kChassisClear] = value & ~kClearCaseOpen;
        return;
      case kFanDivisor:
        regs_[kFanDivisor] = value & ~kVidLowMask;
        return;  // VID bits are inputs
      case kVid4:
        regs_[kVid4] = value & ~kVid4Bit;
        return;
      case kBankSelect:
        regs_[kBankSelect] = value & kBankSelectWritable;
        return;
      default:
        regs_[index] = value;
        return;
    }
  }
  const int bank = CurrentBank();
  switch (bank) {
    case kBank0:
      if (index == kChipId.reg) return;
      if (index == kBeepControl2.reg) value &= kBeepControl2Writable;
      if (index == kPwmClockSelect.reg && Model() == ChipModel::W83627HF) value &= kPwmClockSelectWritable;
      break;
    case kTemp2Bank:
    case kTemp3Bank:
      if (!HasTemp(bank) || index == kTempHigh || index == kTempLow) return;  // readings
      break;
    case kBank4:
      if (index == kInterruptStatus3.reg || index >= kRealTimeStatus1.reg) return;  // status registers
      break;
    case kBank5:
      if (index == k5Vsb.reg || index == kVbat.reg) return;  // readings
      break;
    default:
      return;  // no such bank
  }
  Banked(bank, index) = value;
}

void WinbondChip::Convert() {
  const AnalogInputs& in = Inputs();
  if (in.caseOpen && !lastCaseOpen_) caseLatched_ = true;  // the latch lives in the battery well
  lastCaseOpen_ = in.caseOpen;
  if (!(regs_[kConfiguration] & kStart)) return;
  if (!ReadingsHeld()) {
    for (int n = 0; n < kBank0VoltageInputs; ++n) {
      if (!HasInput(n)) continue;
      std::uint8_t count = VoltsToCount(in.pinVolts[n]);
      if (n == 0 && Model() == ChipModel::W83637HF && (regs_[kVrmOvtConfig] & kVrm9Scaling)) {
        // VRM9 scaling: 4.88 mV per count above 0.7 V.
        const double c = std::round((in.pinVolts[0] * 1000.0 - 700.0) / 4.88);
        count = c <= 0 ? 0 : (c >= 255 ? 255 : static_cast<std::uint8_t>(c));
      }
      regs_[kVoltageBase + n] = count;
    }
    Banked(k5Vsb) = VoltsToCount(in.vsbVolts * vsbRatio_);
    if (Banked(kVbatMonitorControl) & kVbatMonitorEnable) Banked(kVbat) = VoltsToCount(in.vbatVolts);
    const auto offset = [this](int t) {
      return static_cast<std::int8_t>(Banked(kBank4, kTemp1Offset.reg + t));
    };
    regs_[kTemp1] = CelsiusToByte(in.tempC[0] + offset(0));
    for (int t = kTemp2Bank; t <= kTemp3Bank; ++t) {
      if (!HasTemp(t) || (Banked(t, kTempConfig) & kTempStop)) continue;  // absent or stopped
      double half = std::round((in.tempC[t] + offset(t)) * 2.0);
      if (std::isnan(half)) half = 0;
      half = half < -256 ? -256 : (half > 255 ? 255 : half);
      const auto word = static_cast<std::uint16_t>(static_cast<int>(half) * 128);
      Banked(t, kTempHigh) = static_cast<std::uint8_t>(word >> 8);
      Banked(t, kTempLow) = static_cast<std::uint8_t>(word & kTempHalfDegree);
    }
    for (int f = 0; f < 3; ++f) {
      regs_[kFanCountBase + f] = HasFan(f) ? RpmToCount(in.fanRpm[f], FanDivisor(f)) : 0xFF;
    }
  }
  EvaluateAlarms();
}

void WinbondChip::EvaluateAlarms() {
  std::uint32_t live = 0;
  for (int n = 0; n < 9; ++n) {
    if (!HasInput(n)) continue;
    std::uint8_t count, high, low;
    if (n < kBank0VoltageInputs) {
      count = regs_[kVoltageBase + n];
      high = regs_[kVoltageHighLimitBase + 2 * n];
      low = regs_[kVoltageLowLimitBase + 2 * n];
    } else if (n == 7) {
      count = Banked(k5Vsb);
      high = Banked(k5VsbHighLimit);
      low = Banked(k5VsbLowLimit);
    } else {
      count = Banked(kVbat);
      high = Banked(kVbatHighLimit);
      low = Banked(kVbatLowLimit);
    }
    if (count > high || count < low) live |= StatusBit(kVoltageStatusBit[static_cast<std::size_t>(n)]);
  }
  for (int f = 0; f < 3; ++f) {
    if (HasFan(f) && regs_[kFanCountBase + f] > regs_[kFanLimitBase + f]) {
      live |= StatusBit(kFanStatusBit[static_cast<std::size_t>(f)]);
    }
  }
  // temp1, interrupt mode: one event on going over the limit and one on falling below hysteresis.
  const auto t1 = static_cast<std::int8_t>(regs_[kTemp1]);
  std::uint32_t events = 0;
  if (!temp1Over_ && t1 > static_cast<std::int8_t>(regs_[kTemp1Over])) {
    temp1Over_ = true;
    events |= kTemp1Bit;
  } else if (temp1Over_ && t1 < static_cast<std::int8_t>(regs_[kTemp1Hysteresis])) {
    temp1Over_ = false;
    events |= kTemp1Bit;
  }
  if (temp1Over_) live |= kTemp1Bit;
  // temp2/temp3: comparator, set above the limit, cleared below hysteresis.
  for (int t = kTemp2Bank; t <= kTemp3Bank; ++t) {
    if (!HasTemp(t)) continue;
    const int value = HalfDegrees(Banked(t, kTempHigh), Banked(t, kTempLow));
    bool& over = tempOver_[static_cast<std::size_t>(t - 1)];
    if (value > HalfDegrees(Banked(t, kTempOverHigh), Banked(t, kTempOverLow)))
      over = true;
    else if (value < HalfDegrees(Banked(t, kTempHysteresisHigh), Banked(t, kTempHysteresisLow)))
      over = false;
    if (over) live |= StatusBit(kTempStatusBit[static_cast<std::size_t>(t)]);
  }
  live_ = live;
  pending_ |= (live & ~kTemp1Bit) | events;
}

bool WinbondChip::BeepOutput() const {
  // The beep pin select routes the beep function to its pin; then the global enable.
  if (!(regs_[kFanInOutBeepControl] & kBeepPinSelect) || !(Banked(kBeepControl2) & kGlobalBeepEnable))
    return false;
  const std::uint32_t mask = Banked(kBeepControl1) |
                             static_cast<std::uint32_t>(Banked(kBeepControl2) & kBeepControl2Mask) << 8 |
                             static_cast<std::uint32_t>(Banked(kBeepControl3) & kBeepControl3Mask) << 16;
  const std::uint32_t status = live_ | (caseLatched_ ? kChassisBit : 0);
  return (status & mask) != 0;
}

std::uint8_t WinbondChip::FanOutput(int fan) const {
  if (fan < 0 || fan > 2) return 0;
  switch (Model()) {
    case ChipModel::W83627HF:
      return fan == 2 ? 0xFF : Banked(fan == 0 ? kPwmOut1 : kPwmOut2);
    case ChipModel::W83697HF:
      return fan == 2 ? 0xFF : regs_[fan == 0 ? kPwm1Duty : kPwm2Duty];
    default:
      return regs_[fan == 0 ? kPwm1Duty : (fan == 1 ? kPwm2Duty : kPwm3Duty)];
  }
}

}  // namespace veltrix::sim
