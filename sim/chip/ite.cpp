#include "sim/chip/ite.h"

#include <cmath>

namespace veltrix::sim {

namespace {

constexpr std::uint8_t kStart = 0x01;
constexpr std::uint8_t kChassisClear = 0x20;
constexpr std::uint8_t kUpdateVbat = 0x40;
constexpr std::uint8_t kInit = 0x80;
constexpr std::uint32_t kChassisBit = 1u << 4;

bool Is8712(ChipModel model) {
  return model == ChipModel::IT8712F;
}

// Configuration space 0x20/0x21 chip id and 0x22 version. The versions are below the ones
// that switch to 16-bit tachometers, as on the boards these chips came on.
std::vector<std::uint8_t> ConfigIdOf(ChipModel model) {
  return Is8712(model) ? std::vector<std::uint8_t>{0x87, 0x12, 0x05}
                       : std::vector<std::uint8_t>{0x87, 0x05, 0x02};
}

}  // namespace

IteChip::IteChip(ChipModel model, std::uint16_t configPort)
    : SimChip(model, SuperIoConfig(SuperIoVendor::Ite, configPort, ConfigIdOf(model))) {
  // Environment controller (LDN 4) as the BIOS leaves it.
  Config().SetRegister(0x04, 0x30, 0x01);
  Config().SetRegister(0x04, 0x60, 0x02);
  Config().SetRegister(0x04, 0x61, 0x90);
  Config().SetRegister(0x04, 0x62, 0x02);
  Config().SetRegister(0x04, 0x63, 0x30);
  Config().SetRegister(0x04, 0x70, 0x09);
  ResetMonitor();
}

void IteChip::ResetMonitor() {
  regs_.fill(0x00);
  regs_[0x00] = 0x10 | kStart;
  regs_[0x0B] = 0x09;  // fan1/fan2 divisor 2, fan3 divisor 2
  regs_[0x10] = regs_[0x11] = regs_[0x12] = 0xFF;
  // On/off mode, every output "off" with active-low polarity: the fans run at full speed.
  // PWM registers at manual 0 %.
  regs_[0x13] = 0x70;
  regs_[0x14] = 0x00;
  for (int n = 0; n < 8; ++n) {
    regs_[0x30 + 2 * n] = 0xFF;
    regs_[0x31 + 2 * n] = 0x00;
  }
  for (int t = 0; t < 3; ++t) {
    regs_[0x40 + 2 * t] = 0x7F;
    regs_[0x41 + 2 * t] = 0x7F;
    regs_[0x52 + t] = 0x7F;
  }
  regs_[0x48] = 0x2D;
  regs_[0x50] = 0xFF;
  regs_[0x51] = 0x38;  // thermistors on all three inputs
  regs_[0x58] = 0x90;
  regs_[0x5B] = Is8712(Model()) ? 0x12 : 0x00;
  live_ = pending_ = 0;
  tempOver_ = {};
  Convert();
}

int IteChip::FanDivisor(int fan) const {
  switch (fan) {
    case 0:
      return 1 << (regs_[0x0B] & 7);
    case 1:
      return 1 << ((regs_[0x0B] >> 3) & 7);
    case 2:
      return (regs_[0x0B] & 0x40) ? 8 : 2;
    default:
      return 1;
  }
}

std::uint8_t IteChip::Peek(std::uint8_t index) const {
  index &= 0x7F;
  switch (index) {
    case 0x00:
      return static_cast<std::uint8_t>((regs_[0x00] & ~kChassisClear) | 0x10);
    case 0x01:
      return static_cast<std::uint8_t>((pending_ & 0xEF) | (caseLatched_ ? kChassisBit : 0));
    case 0x02:
      return static_cast<std::uint8_t>(pending_ >> 8);
    case 0x03:
      return static_cast<std::uint8_t>((pending_ >> 16) & 0x07);
    case 0x0A:
      return Is8712(Model()) ? vid_ : 0x00;
    case 0x0C:
      return Is8712(Model()) ? regs_[0x0B] : regs_[0x0C];
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
  switch (index & 0x7F) {
    case 0x01:
      pending_ &= ~0xFFu;
      break;
    case 0x02:
      pending_ &= ~0xFF00u;
      break;
    case 0x03:
      pending_ &= ~0xFF0000u;
      break;
    default:
      break;
  }
  return value;
}

void IteChip::SetRegister(int /*bank*/, std::uint8_t index, std::uint8_t value) {
  index &= 0x7F;
  switch (index) {
    case 0x01:
      pending_ = (pending_ & ~0xFFu) | (value & ~kChassisBit);
      caseLatched_ = (value & kChassisBit) != 0;
      return;
    case 0x02:
      pending_ = (pending_ & ~0xFF00u) | static_cast<std::uint32_t>(value) << 8;
      return;
    case 0x03:
      pending_ = (pending_ & ~0xFF0000u) | static_cast<std::uint32_t>(value & 0x07) << 16;
      return;
    case 0x0A:
      vid_ = value & 0x3F;
      return;
    default:
      regs_[index] = value;
      return;
  }
}

void IteChip::WriteMonitor(std::uint8_t index, std::uint8_t value) {
  index &= 0x7F;
  switch (index) {
    case 0x00: {
      if (value & kInit) {
        ResetMonitor();
        return;
      }
      if (value & kChassisClear) caseLatched_ = false;
      const bool wasStarted = (regs_[0x00] & kStart) != 0;
      regs_[0x00] = static_cast<std::uint8_t>((value & 0x4F) | 0x10);
      if (!wasStarted && (value & kStart)) Convert();
      if (wasStarted && !(value & kStart)) live_ = 0;
      return;
    }
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x0A:
    case 0x0D:
    case 0x0E:
    case 0x0F:
    case 0x18:
    case 0x19:
    case 0x1A:
    case 0x58:
    case 0x5B:
      return;  // status, readings and ids
    case 0x0C:
      if (Is8712(Model())) return;  // alias of 0x0B on these revisions
      break;
    default:
      if (index >= 0x20 && index <= 0x2B) return;  // readings
      break;
  }
  regs_[index] = value;
}

void IteChip::Convert() {
  const AnalogInputs& in = Inputs();
  if (in.caseOpen && !lastCaseOpen_) caseLatched_ = true;
  lastCaseOpen_ = in.caseOpen;
  if (!(regs_[0x00] & kStart)) return;
  if (!ReadingsHeld()) {
    for (int n = 0; n < 8; ++n) {
      if (regs_[0x50] & (1 << n)) regs_[0x20 + n] = VoltsToCount(in.pinVolts[n]);
    }
    // VBAT is converted once per request (0x00 bit 6), which then clears itself.
    if (regs_[0x00] & kUpdateVbat) {
      regs_[0x28] = VoltsToCount(in.vbatVolts);
      regs_[0x00] &= static_cast<std::uint8_t>(~kUpdateVbat);
    }
    for (int t = 0; t < 3; ++t) {
      const bool enabled = (regs_[0x51] & (0x09 << t)) != 0;  // diode (bit t) or thermistor (bit t+3)
      if (enabled) regs_[0x29 + t] = CelsiusToByte(in.tempC[t]);
    }
    for (int f = 0; f < 3; ++f) {
      if (regs_[0x13] & (0x10 << f)) regs_[0x0D + f] = RpmToCount(in.fanRpm[f], FanDivisor(f));
    }
  }
  EvaluateAlarms();
}

void IteChip::EvaluateAlarms() {
  std::uint32_t live = 0;
  for (int f = 0; f < 3; ++f) {
    if ((regs_[0x13] & (0x10 << f)) && regs_[0x0D + f] > regs_[0x10 + f]) live |= 1u << f;
  }
  for (int n = 0; n < 8; ++n) {
    const std::uint8_t count = regs_[0x20 + n];
    if (count > regs_[0x30 + 2 * n] || count < regs_[0x31 + 2 * n]) live |= 1u << (8 + n);
  }
  // Temperatures: set above the high limit, released below the low limit.
  for (int t = 0; t < 3; ++t) {
    const auto value = static_cast<std::int8_t>(regs_[0x29 + t]);
    bool& over = tempOver_[t];
    if (value > static_cast<std::int8_t>(regs_[0x40 + 2 * t]))
      over = true;
    else if (value < static_cast<std::int8_t>(regs_[0x41 + 2 * t]))
      over = false;
    if (over) live |= 1u << (16 + t);
  }
  live_ = live;
  pending_ |= live;
}

bool IteChip::BeepOutput() const {
  const std::uint8_t enable = regs_[0x5C];
  return ((enable & 0x01) && (live_ & 0x000007)) || ((enable & 0x02) && (live_ & 0x00FF00)) ||
         ((enable & 0x04) && (live_ & 0x070000));
}

std::uint8_t IteChip::FanOutput(int fan) const {
  if (fan < 0 || fan > 2) return 0;
  const bool activeHigh = (regs_[0x14] & 0x80) != 0;
  if (regs_[0x13] & (1 << fan)) {
    const std::uint8_t pwm = regs_[0x15 + fan];
    // Automatic (SmartGuardian) mode is not modelled beyond driving the fan at full speed.
    const int duty = (pwm & 0x80) ? 255 : ((pwm & 0x7F) * 255 + 63) / 127;
    return static_cast<std::uint8_t>(activeHigh || (pwm & 0x80) ? duty : 255 - duty);
  }
  const bool on = (regs_[0x14] & (1 << fan)) != 0;
  return on == activeHigh ? 255 : 0;
}

}  // namespace veltrix::sim
