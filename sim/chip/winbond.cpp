#include "sim/chip/winbond.h"

#include <cmath>

namespace veltrix::sim {

namespace {

constexpr std::uint8_t kStart = 0x01;  // 0x40 bit 0: monitoring on
constexpr std::uint8_t kInit = 0x80;   // 0x40 bit 7: reset to power-on values
constexpr std::uint32_t kTemp1Bit = 1u << 4;
constexpr std::uint32_t kChassisBit = 1u << 12;
constexpr std::uint8_t kChassisClear = 0x80;  // 0x46 bit 7

// Status bit of each voltage input in the combined 0x41 | 0x42 << 8 | bank4:0x50 << 16 word.
constexpr std::uint32_t kVoltageBit[9] = {1u << 0, 1u << 1,  1u << 2,  1u << 3, 1u << 8,
                                          1u << 9, 1u << 10, 1u << 16, 1u << 17};
constexpr std::uint32_t kFanBit[3] = {1u << 6, 1u << 7, 1u << 11};
constexpr std::uint32_t kTempBit[2] = {1u << 5, 1u << 13};  // temp2, temp3

std::uint8_t ChipIdOf(ChipModel model) {
  switch (model) {
    case ChipModel::W83697HF:
      return 0x60;
    case ChipModel::W83637HF:
      return 0x80;
    default:
      return 0x21;
  }
}

// Configuration-space device id (0x20) and revision (0x21). The W83627HF revision varies between
// steppings (0x17 and 0x41 are both seen); bit 4 of it is set here.
std::vector<std::uint8_t> ConfigIdOf(ChipModel model) {
  switch (model) {
    case ChipModel::W83697HF:
      return {0x60, 0x11};
    case ChipModel::W83637HF:
      return {0x70, 0x80};
    default:
      return {0x52, 0x17};
  }
}

int HalfDegrees(std::uint8_t msb, std::uint8_t lsb) {
  return static_cast<std::int16_t>(msb << 8 | lsb) >> 7;
}

}  // namespace

WinbondChip::WinbondChip(ChipModel model, std::uint16_t configPort)
    : SimChip(model, SuperIoConfig(SuperIoVendor::Winbond, configPort, ConfigIdOf(model))) {
  // What the BIOS leaves: monitor device activated at base 0x290.
  Config().SetRegister(0x0B, 0x30, 0x01);
  Config().SetRegister(0x0B, 0x60, 0x02);
  Config().SetRegister(0x0B, 0x61, 0x90);
  if (model != ChipModel::W83697HF) vid_ = 0x0F;
  ResetMonitor();
}

void WinbondChip::SetVid(std::uint8_t vid) {
  vid_ = Model() == ChipModel::W83697HF ? 0 : (vid & 0x1F);
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
    regs_[0x00] = 0x01;
    regs_[0x01] = 0xFF;
    regs_[0x02] = 0x01;
    regs_[0x03] = 0xFF;
    if (Model() == ChipModel::W83637HF) {
      regs_[0x10] = 0x01;
      regs_[0x11] = 0xFF;
    }
  }
  for (int n = 0; n < 7; ++n) {
    regs_[0x2B + 2 * n] = 0xFF;  // high limit
    regs_[0x2C + 2 * n] = 0x00;  // low limit
  }
  regs_[0x39] = 0x50;  // temp1 over 80 C
  regs_[0x3A] = 0x4B;  // hysteresis 75 C
  regs_[0x3B] = regs_[0x3C] = regs_[0x3D] = 0xFF;
  regs_[0x40] = kStart;
  regs_[0x47] = 0x50;  // fan1/fan2 divisor 2
  regs_[0x48] = 0x2D;
  regs_[0x49] = 0x02;
  regs_[0x4A] = 0x01;
  regs_[0x4B] = 0x44;  // fan3 divisor 2
  regs_[0x4D] = 0x95;
  regs_[0x4E] = 0x80;
  auto& b0 = banks_[0];
  b0.fill(0x00);
  b0[0x7] = 0x80;  // 0x57: global beep enable
  b0[0x8] = ChipIdOf(Model());
  b0[0x9] = 0x70;
  b0[0xA] = 0xFF;  // W83627HF PWM1/PWM2 duty
  b0[0xB] = 0xFF;
  b0[0xC] = 0x11;
  b0[0xE] = 0xFF;
  b0[0xF] = 0x05;
  for (int t = 1; t <= 2; ++t) {
    if (!HasTemp(t)) continue;
    auto& b = banks_[t];
    b.fill(0x00);
    b[0x3] = 0x4B;  // hysteresis 75.0 C
    b[0x5] = 0x50;  // over 80.0 C
  }
  banks_[4].fill(0x00);
  banks_[5].fill(0x00);
  banks_[5][0x4] = 0xFF;
  banks_[5][0x6] = 0xFF;
  live_ = pending_ = 0;
  temp1Over_ = false;
  tempOver_ = {};
  Convert();
}

int WinbondChip::FanDivisor(int fan) const {
  const std::uint8_t vbatReg = Banked(0, 0x5D);
  int n = 0;
  switch (fan) {
    case 0:
      n = ((regs_[0x47] >> 4) & 3) | (((vbatReg >> 5) & 1) << 2);
      break;
    case 1:
      n = ((regs_[0x47] >> 6) & 3) | (((vbatReg >> 6) & 1) << 2);
      break;
    case 2:
      n = ((regs_[0x4B] >> 6) & 3) | (((vbatReg >> 7) & 1) << 2);
      break;
    default:
      return 1;
  }
  return 1 << n;
}

std::uint8_t WinbondChip::Peek(int bank, std::uint8_t index) const {
  index &= 0x7F;
  if (index >= 0x60) index -= 0x40;  // 0x60..0x7F alias the value RAM
  if (index < 0x20 && !HasLowFanControl()) return 0xFF;
  switch (index) {
    case 0x41:
      return static_cast<std::uint8_t>(pending_);
    case 0x42:
      return static_cast<std::uint8_t>(((pending_ >> 8) & ~0x10u) | (caseLatched_ ? 0x10 : 0));
    case 0x47:
      return static_cast<std::uint8_t>((regs_[0x47] & 0xF0) | (vid_ & 0x0F));
    case 0x49:
      return static_cast<std::uint8_t>((regs_[0x49] & 0xFE) | ((vid_ >> 4) & 1));
    case 0x4F:
      return (regs_[0x4E] & 0x80) ? 0x5C : 0xA3;
    default:
      break;
  }
  if (index < 0x50 || index > 0x5F) return regs_[index];
  bank &= 7;
  if (bank == 4) {
    const std::uint32_t status = live_ | (caseLatched_ ? kChassisBit : 0);
    switch (index) {
      case 0x50:
        return static_cast<std::uint8_t>((pending_ >> 16) & 0x03);
      case 0x59:
        return static_cast<std::uint8_t>(status);
      case 0x5A:
        return static_cast<std::uint8_t>(status >> 8);
      case 0x5B:
        return static_cast<std::uint8_t>((status >> 16) & 0x03);
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
  // Interrupt status clears on read, except the case-open latch (cleared through 0x46 bit 7).
  const std::uint8_t reg = index >= 0x60 ? index - 0x40 : index;
  if (reg == 0x41) pending_ &= ~0xFFu;
  if (reg == 0x42) pending_ &= ~0xFF00u;
  if (reg == 0x50 && CurrentBank() == 4) pending_ &= ~0x30000u;
  return value;
}

void WinbondChip::SetRegister(int bank, std::uint8_t index, std::uint8_t value) {
  index &= 0x7F;
  if (index >= 0x60) index -= 0x40;
  if (index < 0x20 && !HasLowFanControl()) return;
  switch (index) {
    case 0x41:
      pending_ = (pending_ & ~0xFFu) | value;
      return;
    case 0x42:
      pending_ = (pending_ & ~0xFF00u) | (static_cast<std::uint32_t>(value & ~0x10) << 8);
      caseLatched_ = (value & 0x10) != 0;
      return;
    case 0x47:
      vid_ = static_cast<std::uint8_t>((vid_ & 0x10) | (value & 0x0F));
      break;
    case 0x49:
      vid_ = static_cast<std::uint8_t>((vid_ & 0x0F) | ((value & 1) << 4));
      break;
    case 0x4F:
      return;  // derived from 0x4E bit 7
    default:
      break;
  }
  if (index >= 0x50 && index <= 0x5F) {
    if ((bank & 7) == 4 && index == 0x50) {
      pending_ = (pending_ & ~0x30000u) | (static_cast<std::uint32_t>(value & 0x03) << 16);
      return;
    }
    Banked(bank, index) = value;
    return;
  }
  regs_[index] = value;
}

void WinbondChip::WriteMonitor(std::uint8_t index, std::uint8_t value) {
  if (index >= 0x60) index -= 0x40;
  if (index < 0x20) {
    if (HasLowFanControl()) regs_[index] = value;
    return;
  }
  if (index <= 0x2A) return;  // readings
  if (index < 0x40) {
    regs_[index] = value;
    return;
  }
  if (index < 0x50) {
    switch (index) {
      case 0x40: {
        if (value & kInit) {
          ResetMonitor();  // self-clearing
          return;
        }
        const bool wasStarted = (regs_[0x40] & kStart) != 0;
        regs_[0x40] = value & 0x0B;
        if (!wasStarted && (value & kStart)) Convert();
        if (wasStarted && !(value & kStart)) live_ = 0;  // comparators stop with the monitor
        return;
      }
      case 0x41:
      case 0x42:
      case 0x4F:
        return;  // read-only
      case 0x46:
        if (value & kChassisClear) caseLatched_ = false;
        regs_[0x46] = value & 0x7F;
        return;
      case 0x47:
        regs_[0x47] = value & 0xF0;
        return;  // VID bits are inputs
      case 0x49:
        regs_[0x49] = value & 0xFE;
        return;
      case 0x4E:
        regs_[0x4E] = value & 0x87;
        return;
      default:
        regs_[index] = value;
        return;
    }
  }
  const int bank = CurrentBank();
  switch (bank) {
    case 0:
      if (index == 0x58) return;  // chip id
      if (index == 0x57) value &= 0xBF;
      if (index == 0x5C && Model() == ChipModel::W83627HF) value &= 0x77;
      break;
    case 1:
    case 2:
      if (!HasTemp(bank) || index == 0x50 || index == 0x51) return;
      break;
    case 4:
      if (index == 0x50 || index >= 0x59) return;  // status registers
      break;
    case 5:
      if (index == 0x50 || index == 0x51) return;
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
  if (!(regs_[0x40] & kStart)) return;
  if (!ReadingsHeld()) {
    for (int n = 0; n < 7; ++n) {
      if (!HasInput(n)) continue;
      std::uint8_t count = VoltsToCount(in.pinVolts[n]);
      if (n == 0 && Model() == ChipModel::W83637HF && (regs_[0x18] & 0x01)) {
        // VRM9 scaling: 4.88 mV per count above 0.7 V.
        const double c = std::round((in.pinVolts[0] * 1000.0 - 700.0) / 4.88);
        count = c <= 0 ? 0 : (c >= 255 ? 255 : static_cast<std::uint8_t>(c));
      }
      regs_[0x20 + n] = count;
    }
    banks_[5][0x0] = VoltsToCount(in.vsbVolts * vsbRatio_);
    if (Banked(0, 0x5D) & 0x01) banks_[5][0x1] = VoltsToCount(in.vbatVolts);
    const auto offset = [this](int t) { return static_cast<std::int8_t>(banks_[4][0x4 + t]); };
    regs_[0x27] = CelsiusToByte(in.tempC[0] + offset(0));
    for (int t = 1; t <= 2; ++t) {
      if (!HasTemp(t) || (banks_[t][0x2] & 0x01)) continue;  // absent or stopped
      double half = std::round((in.tempC[t] + offset(t)) * 2.0);
      if (std::isnan(half)) half = 0;
      half = half < -256 ? -256 : (half > 255 ? 255 : half);
      const auto word = static_cast<std::uint16_t>(static_cast<int>(half) * 128);
      banks_[t][0x0] = static_cast<std::uint8_t>(word >> 8);
      banks_[t][0x1] = static_cast<std::uint8_t>(word & 0x80);
    }
    for (int f = 0; f < 3; ++f) {
      regs_[0x28 + f] = HasFan(f) ? RpmToCount(in.fanRpm[f], FanDivisor(f)) : 0xFF;
    }
  }
  EvaluateAlarms();
}

void WinbondChip::EvaluateAlarms() {
  std::uint32_t live = 0;
  for (int n = 0; n < 9; ++n) {
    if (!HasInput(n)) continue;
    std::uint8_t count, high, low;
    if (n < 7) {
      count = regs_[0x20 + n];
      high = regs_[0x2B + 2 * n];
      low = regs_[0x2C + 2 * n];
    } else {
      count = banks_[5][n - 7];
      high = banks_[5][0x4 + 2 * (n - 7)];
      low = banks_[5][0x5 + 2 * (n - 7)];
    }
    if (count > high || count < low) live |= kVoltageBit[n];
  }
  for (int f = 0; f < 3; ++f) {
    if (HasFan(f) && regs_[0x28 + f] > regs_[0x3B + f]) live |= kFanBit[f];
  }
  // temp1, interrupt mode: one event on going over the limit and one on falling below hysteresis.
  const auto t1 = static_cast<std::int8_t>(regs_[0x27]);
  std::uint32_t events = 0;
  if (!temp1Over_ && t1 > static_cast<std::int8_t>(regs_[0x39])) {
    temp1Over_ = true;
    events |= kTemp1Bit;
  } else if (temp1Over_ && t1 < static_cast<std::int8_t>(regs_[0x3A])) {
    temp1Over_ = false;
    events |= kTemp1Bit;
  }
  if (temp1Over_) live |= kTemp1Bit;
  // temp2/temp3: comparator, set above the limit, cleared below hysteresis.
  for (int t = 1; t <= 2; ++t) {
    if (!HasTemp(t)) continue;
    const auto& b = banks_[t];
    const int value = HalfDegrees(b[0x0], b[0x1]);
    bool& over = tempOver_[t - 1];
    if (value > HalfDegrees(b[0x5], b[0x6]))
      over = true;
    else if (value < HalfDegrees(b[0x3], b[0x4]))
      over = false;
    if (over) live |= kTempBit[t - 1];
  }
  live_ = live;
  pending_ |= (live & ~kTemp1Bit) | events;
}

bool WinbondChip::BeepOutput() const {
  // 0x4D bit 7 routes the beep function to its pin; 0x57 bit 7 is the global enable.
  if (!(regs_[0x4D] & 0x80) || !(Banked(0, 0x57) & 0x80)) return false;
  const std::uint32_t mask = Banked(0, 0x56) | static_cast<std::uint32_t>(Banked(0, 0x57) & 0x3F) << 8 |
                             static_cast<std::uint32_t>(Banked(4, 0x53) & 0x03) << 16;
  const std::uint32_t status = live_ | (caseLatched_ ? kChassisBit : 0);
  return (status & mask) != 0;
}

std::uint8_t WinbondChip::FanOutput(int fan) const {
  if (fan < 0 || fan > 2) return 0;
  switch (Model()) {
    case ChipModel::W83627HF:
      return fan == 2 ? 0xFF : Banked(0, fan == 0 ? 0x5A : 0x5B);
    case ChipModel::W83697HF:
      return fan == 2 ? 0xFF : regs_[fan == 0 ? 0x01 : 0x03];
    default:
      return regs_[fan == 0 ? 0x01 : (fan == 1 ? 0x03 : 0x11)];
  }
}

}  // namespace veltrix::sim
