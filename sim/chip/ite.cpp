#include "sim/chip/ite.h"

#include <cmath>

namespace veltrix::sim {

using namespace ite;  // this file is the chip's register map

namespace {

// Bits of the combined status word (interrupt status 1 | 2 << 8 | 3 << 16).
constexpr std::uint32_t kChassisBit = 1u << kCaseOpenStatusBit;
constexpr std::uint32_t kStatus1Bits = 0xFFu;
constexpr std::uint32_t kStatus2Bits = 0xFF00u;
constexpr std::uint32_t kStatus3Bits = 0xFF0000u;
constexpr std::uint32_t kFanStatusBits = 0x7u << kFanStatusFirstBit;
constexpr std::uint32_t kVoltageStatusBits = 0xFFu << kVoltageStatusFirstBit;
constexpr std::uint32_t kTempStatusBits = 0x7u << kTempStatusFirstBit;

bool Is8712(ChipModel model) {
  return model == ChipModel::IT8712F;
}

// Configuration space 0x20/0x21 chip id and 0x22 version. The versions are below the ones
// that switch to 16-bit tachometers, as on the boards these chips came on.
std::vector<std::uint8_t> ConfigIdOf(ChipModel model) {
  const std::uint16_t id = Is8712(model) ? kChipIdIT8712F : kChipIdIT8705F;
  const std::uint8_t version = Is8712(model) ? 0x05 : 0x02;
  return {static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id & 0xFF), version};
}

}  // namespace

IteChip::IteChip(ChipModel model, std::uint16_t configPort)
    : SimChip(model, SuperIoConfig(SuperIoVendor::Ite, configPort, ConfigIdOf(model))) {
  // Environment controller (LDN 4) as the BIOS leaves it: active at base 0x290, PME base
  // 0x230, IRQ 9.
  Config().SetRegister(kMonitorDevice, superio::kActivate, superio::kActivateBit);
  Config().SetRegister(kMonitorDevice, superio::kBaseAddressHigh, superio::kUsualMonitorBase >> 8);
  Config().SetRegister(kMonitorDevice, superio::kBaseAddressLow, superio::kUsualMonitorBase & 0xFF);
  Config().SetRegister(kMonitorDevice, kPmeBaseHigh, 0x02);
  Config().SetRegister(kMonitorDevice, kPmeBaseLow, 0x30);
  Config().SetRegister(kMonitorDevice, superio::kInterruptSelect, 0x09);
  ResetMonitor();
}

void IteChip::ResetMonitor() {
  regs_.fill(0x00);
  regs_[kConfiguration] = kConfigurationReadsOne | kStart;
  regs_[kFanDivisor] = 0x09;  // fan1/fan2 divisor 2, fan3 divisor 2
  for (int f = 0; f < 3; ++f) regs_[kFanLimitBase + f] = 0xFF;
  // On/off mode, every output "off" with active-low polarity: the fans run at full speed.
  // PWM registers at manual 0 %.
  regs_[kFanMainControl] = kFanTachEnableMask;
  regs_[kFanControl] = 0x00;
  for (int n = 0; n < kLimitedVoltageInputs; ++n) {
    regs_[kVoltageHighLimitBase + 2 * n] = 0xFF;
    regs_[kVoltageLowLimitBase + 2 * n] = 0x00;
  }
  for (int t = 0; t < 3; ++t) {
    regs_[kTempHighLimitBase + 2 * t] = 0x7F;
    regs_[kTempLowLimitBase + 2 * t] = 0x7F;
    regs_[kThermalOutputLimitBase + t] = 0x7F;
  }
  regs_[kSerialBusAddress] = 0x2D;
  regs_[kAdcVoltageEnable] = 0xFF;
  regs_[kAdcTempEnable] = kThermistorsAll;
  regs_[kVendorId] = kVendorIdValue;
  regs_[kCodeId] = Is8712(Model()) ? 0x12 : 0x00;
  live_ = pending_ = 0;
  tempOver_ = {};
  Convert();
}

int IteChip::FanDivisor(int fan) const {
  switch (fan) {
    case 0:
      return 1 << (regs_[kFanDivisor] & kFan1DivisorMask);
    case 1:
      return 1 << ((regs_[kFanDivisor] & kFan2DivisorMask) >> kFan2DivisorShift);
    case 2:
      return (regs_[kFanDivisor] & kFan3Divisor8) ? 8 : 2;
    default:
      return 1;
  }
}

std::uint8_t IteChip::Peek(std::uint8_t index) const {
  index &= superio::kMonitorAddressMask;
  switch (index) {
    case kConfiguration:
      return static_cast<std::uint8_t>((regs_[kConfiguration] & ~kCaseOpenClear) | kConfigurationReadsOne);
    case kInterruptStatus1:
      return static_cast<std::uint8_t>((pending_ & (kStatus1Bits & ~kChassisBit)) |
                                       (caseLatched_ ? kChassisBit : 0));
    case kInterruptStatus2:
      return static_cast<std::uint8_t>(pending_ >> 8);
    case kInterruptStatus3:
      return static_cast<std::uint8_t>((pending_ >> 16) & kInterruptStatus3Mask);
    case kVid:
      return Is8712(Model()) ? vid_ : 0x00;
    case kFan16BitEnable:
      return Is8712(Model()) ? regs_[kFanDivisor] : regs_[kFan16BitEnable];
    default:
      return regs_[index];
  }
}

std::uint8_t IteChip::GetRegister(int /*bank*/, std::uint8_t index) const {
  return Peek(index);
}

std::uint8_t IteChip::ReadMonitor(std::uint8_t index) {
  const std::uint8_t value = Peek(index);
  // Interrupt status clears on read; the intrusion bit stays until 0x00 bit 5 clears it.
  switch (index & superio::kMonitorAddressMask) {
    case kInterruptStatus1:
      pending_ &= ~kStatus1Bits;
      break;
    case kInterruptStatus2:
      pending_ &= ~kStatus2Bits;
      break;
    case kInterruptStatus3:
      pending_ &= ~kStatus3Bits;
      break;
    default:
      break;
  }
  return value;
}

void IteChip::SetRegister(int /*bank*/, std::uint8_t index, std::uint8_t value) {
  index &= superio::kMonitorAddressMask;
  switch (index) {
    case kInterruptStatus1:
      pending_ = (pending_ & ~kStatus1Bits) | (value & ~kChassisBit);
      caseLatched_ = (value & kChassisBit) != 0;
      return;
    case kInterruptStatus2:
      pending_ = (pending_ & ~kStatus2Bits) | static_cast<std::uint32_t>(value) << 8;
      return;
    case kInterruptStatus3:
      pending_ = (pending_ & ~kStatus3Bits) | static_cast<std::uint32_t>(value & kInterruptStatus3Mask) << 16;
      return;
    case kVid:
      vid_ = value & kVidMask;
      return;
    default:
      regs_[index] = value;
      return;
  }
}

void IteChip::WriteMonitor(std::uint8_t index, std::uint8_t value) {
  index &= superio::kMonitorAddressMask;
  switch (index) {
    case kConfiguration: {
      if (value & kInitialization) {
        ResetMonitor();
        return;
      }
      if (value & kCaseOpenClear) caseLatched_ = false;
      const bool wasStarted = (regs_[kConfiguration] & kStart) != 0;
      regs_[kConfiguration] =
          static_cast<std::uint8_t>((value & kConfigurationWritable) | kConfigurationReadsOne);
      if (!wasStarted && (value & kStart)) Convert();
      if (wasStarted && !(value & kStart)) live_ = 0;
      return;
    }
    case kInterruptStatus1:
    case kInterruptStatus2:
    case kInterruptStatus3:
    case kVid:
    case kFanCountBase:
    case kFanCountBase + 1:
    case kFanCountBase + 2:
    case kFanCountHighBase:
    case kFanCountHighBase + 1:
    case kFanCountHighBase + 2:
    case kVendorId:
    case kCodeId:
      return;  // status, readings and ids
    case kFan16BitEnable:
      if (Is8712(Model())) return;  // alias of the fan divisor register on these revisions
      break;
    default:
      if (index >= kVoltageBase && index <= kLastReading) return;  // readings
      break;
  }
  regs_[index] = value;
}

void IteChip::Convert() {
  const AnalogInputs& in = Inputs();
  if (in.caseOpen && !lastCaseOpen_) caseLatched_ = true;
  lastCaseOpen_ = in.caseOpen;
  if (!(regs_[kConfiguration] & kStart)) return;
  if (!ReadingsHeld()) {
    for (int n = 0; n < kLimitedVoltageInputs; ++n) {
      if (regs_[kAdcVoltageEnable] & (1 << n)) regs_[kVoltageBase + n] = VoltsToCount(in.pinVolts[n]);
    }
    // VBAT is converted once per request (configuration bit 6), which then clears itself.
    if (regs_[kConfiguration] & kUpdateVbat) {
      regs_[kVbat] = VoltsToCount(in.vbatVolts);
      regs_[kConfiguration] &= static_cast<std::uint8_t>(~kUpdateVbat);
    }
    for (int t = 0; t < 3; ++t) {
      const bool enabled = (regs_[kAdcTempEnable] & ((kTempDiodeBit | kTempThermistorBit) << t)) != 0;
      if (enabled) regs_[kTempBase + t] = CelsiusToByte(in.tempC[t]);
    }
    for (int f = 0; f < 3; ++f) {
      if (regs_[kFanMainControl] & (kFan1TachEnable << f)) {
        regs_[kFanCountBase + f] = RpmToCount(in.fanRpm[f], FanDivisor(f));
      }
    }
  }
  EvaluateAlarms();
}

void IteChip::EvaluateAlarms() {
  std::uint32_t live = 0;
  for (int f = 0; f < 3; ++f) {
    if ((regs_[kFanMainControl] & (kFan1TachEnable << f)) &&
        regs_[kFanCountBase + f] > regs_[kFanLimitBase + f]) {
      live |= 1u << (kFanStatusFirstBit + f);
    }
  }
  for (int n = 0; n < kLimitedVoltageInputs; ++n) {
    const std::uint8_t count = regs_[kVoltageBase + n];
    if (count > regs_[kVoltageHighLimitBase + 2 * n] || count < regs_[kVoltageLowLimitBase + 2 * n]) {
      live |= 1u << (kVoltageStatusFirstBit + n);
    }
  }
  // Temperatures: set above the high limit, released below the low limit.
  for (int t = 0; t < 3; ++t) {
    const auto value = static_cast<std::int8_t>(regs_[kTempBase + t]);
    bool& over = tempOver_[static_cast<std::size_t>(t)];
    if (value > static_cast<std::int8_t>(regs_[kTempHighLimitBase + 2 * t]))
      over = true;
    else if (value < static_cast<std::int8_t>(regs_[kTempLowLimitBase + 2 * t]))
      over = false;
    if (over) live |= 1u << (kTempStatusFirstBit + t);
  }
  live_ = live;
  pending_ |= live;
}

bool IteChip::BeepOutput() const {
  const std::uint8_t enable = regs_[kBeepEnable];
  return ((enable & kBeepFans) && (live_ & kFanStatusBits)) ||
         ((enable & kBeepVoltages) && (live_ & kVoltageStatusBits)) ||
         ((enable & kBeepTemperatures) && (live_ & kTempStatusBits));
}

std::uint8_t IteChip::FanOutput(int fan) const {
  if (fan < 0 || fan > 2) return 0;
  const bool activeHigh = (regs_[kFanControl] & kPolarityActiveHigh) != 0;
  if (regs_[kFanMainControl] & (1 << fan)) {  // PWM mode
    const std::uint8_t pwm = regs_[kPwmControlBase + fan];
    // Automatic (SmartGuardian) mode is not modelled beyond driving the fan at full speed.
    const int duty = (pwm & kPwmAutomatic) ? 255 : ((pwm & kPwmDutyMask) * 255 + 63) / 127;
    return static_cast<std::uint8_t>(activeHigh || (pwm & kPwmAutomatic) ? duty : 255 - duty);
  }
  const bool on = (regs_[kFanControl] & (1 << fan)) != 0;  // ON/OFF mode
  return on == activeHigh ? 255 : 0;
}

}  // namespace veltrix::sim
