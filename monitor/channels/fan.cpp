// Fan channels: divisor and limit set-up, the per-tick check with stopped-fan handling, the
// speed bars, the start-up CPU fan check and the low-limit spinner.
#include "monitor/boards/board_tables.h"
#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/frm_init.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr double kRpmConstant = 1350000.0;  // tachometer clock × 60 / 2 pulses per turn
constexpr const char* kFanOff = "fan off";
constexpr const char* kFanStopText = "fan stop";

std::uint8_t CountRegister(std::uint16_t family, int fan) {
  return static_cast<std::uint8_t>(
      (family == kChipFamilyWinbond ? winbond::kFanCountBase : ite::kFanCountBase) + fan);
}
std::uint8_t LimitRegister(std::uint16_t family, int fan) {
  return static_cast<std::uint8_t>(
      (family == kChipFamilyWinbond ? winbond::kFanLimitBase : ite::kFanLimitBase) + fan);
}

// The clock divisor the chip counts fan `fan` with, as its divisor registers hold it now.
// Winbond: two bits in the fan divisor register (fans 0, 1) or the pin control register (fan 2)
// and a third bit in VBAT monitor control; ITE: three bits each for fans 0 and 1, one bit (2 or
// 8) for fan 2.
std::int16_t DivisorOnChip(Program& program, int fan) {
  int n = 0;
  if (program.G().ChipFamily == kChipFamilyWinbond) {
    SelectBank(program, winbond::kVbatMonitorControl.bank);
    const std::uint8_t low = fan == 2 ? ReadMonitorRegister(program, winbond::kPinControl)
                                      : ReadMonitorRegister(program, winbond::kFanDivisor);
    // The third fan's bits sit in the pin control register where the second fan's sit in the
    // fan divisor register.
    static_assert(winbond::kFan3DivisorShift == winbond::kFan2DivisorShift);
    const int shift = fan == 0 ? winbond::kFan1DivisorShift : winbond::kFan2DivisorShift;
    const std::uint8_t r5d = ReadMonitorRegister(program, winbond::kVbatMonitorControl.reg);
    const int third = (r5d >> (winbond::kFanDivisorBit2Shift + fan)) & 1;
    n = ((low >> shift) & 3) | (third << 2);
  } else {
    const std::uint8_t r0b = ReadMonitorRegister(program, ite::kFanDivisor);
    if (fan == 2) return (r0b & ite::kFan3Divisor8) != 0 ? 8 : 2;
    n = fan == 0 ? (r0b & ite::kFan1DivisorMask) : ((r0b & ite::kFan2DivisorMask) >> ite::kFan2DivisorShift);
  }
  return static_cast<std::int16_t>(1 << n);
}

// RPM of a limit count as the limit caption shows it; "0" when divisor or count is 0.
std::string LimitRpmText(int divisor, int count) {
  const int product = divisor * count;
  if (product <= 0) return "0";
  return std::to_string(RoundHalfEven(kRpmConstant / product));
}

}  // namespace

double frmdoctor::FanRpm(int fan, std::uint8_t count) const {
  const int divisor = FanChannel[static_cast<std::size_t>(fan)].Fan_Divisor;
  if (divisor <= 0 || count == 0) return 0.0;
  return kRpmConstant / (static_cast<double>(divisor) * count);
}

void frmdoctor::Init_Fan_Items() {
  const auto& g = program_.G();
  if (g.ChipFamily == kChipFamilyWinbond) {
    SelectBank(program_, winbond::kPwmClockSelect.bank);
    WriteMonitorRegister(program_, winbond::kPwmClockSelect.reg, 0);
    // Divisor 4 for fans 1 and 2 (bits 5..4 and 7..6 = 10), and for fan 3 (pin control bits 7..6).
    const std::uint8_t r47 = ReadMonitorRegister(program_, winbond::kFanDivisor);
    WriteMonitorRegister(
        program_, winbond::kFanDivisor,
        static_cast<std::uint8_t>((r47 & ~(winbond::kFan1DivisorMask | winbond::kFan2DivisorMask)) |
                                  winbond::kFan1Divisor4 | winbond::kFan2Divisor4));
    const std::uint8_t r4b = ReadMonitorRegister(program_, winbond::kPinControl);
    WriteMonitorRegister(
        program_, winbond::kPinControl,
        static_cast<std::uint8_t>((r4b & ~winbond::kFan3DivisorMask) | winbond::kFan3Divisor4));
    // The divisors' third bit: clear, so the two-bit fields above are the whole divisor.
    const std::uint8_t r5d = ReadMonitorRegister(program_, winbond::kVbatMonitorControl.reg);
    WriteMonitorRegister(program_, winbond::kVbatMonitorControl.reg,
                         static_cast<std::uint8_t>(r5d & ~winbond::kFanDivisorBit2Mask));
  } else if (g.ChipFamily == kChipFamilyIte) {
    SetUpIteFans(program_);
  }
  // Speeds and limits are computed with the divisor the chip now counts with; a stored
  // Fan_Divisor that says otherwise is replaced (and saved so by the next "Save").
  if (g.ChipFamily == kChipFamilyWinbond || g.ChipFamily == kChipFamilyIte) {
    for (int j = 0; j < kFanCount; ++j) FanChannel[j].Fan_Divisor = DivisorOnChip(program_, j);
  }
  for (int j = 0; j < kFanCount; ++j) {
    updFanLoLimit[j].Enabled = true;
    if (g.ChipFamily == kChipFamilyWinbond) SelectBank(program_, winbond::kBank0);
    const std::uint8_t count = ReadMonitorRegister(program_, CountRegister(g.ChipFamily, j));
    const int divisor = FanChannel[j].Fan_Divisor;
    std::uint8_t written = 0;
    if (count == 255) {
      // The spinner keeps the stored limit: when the fan runs again its change handler puts
      // that limit back into the chip (a stopped fan's chip limit is 255 meanwhile).
      FanLimitReady = 0;
      updFanLoLimit[j].Value = 255 - FanChannel[j].Fan_Limit;
      FanLimitReady = -1;
      lblFanLoLimit[j].Caption = LimitRpmText(divisor, 255);
      lblFanSpeed[j].Caption = kFanOff;
      updFanLoLimit[j].Enabled = false;
      written = 255;
    } else {
      const int limit = FanChannel[j].Fan_Limit;
      FanLimitReady = 0;
      updFanLoLimit[j].Value = 255 - limit;
      FanLimitReady = -1;
      lblFanLoLimit[j].Caption = LimitRpmText(divisor, limit);
      written = static_cast<std::uint8_t>(limit & 0xFF);
    }
    if (g.ChipFamily == kChipFamilyWinbond) SelectBank(program_, winbond::kBank0);
    WriteMonitorRegister(program_, LimitRegister(g.ChipFamily, j), written);
  }
}

void frmdoctor::ProcessFan() {
  const std::uint16_t family = program_.G().ChipFamily;
  for (int j = 0; j < kFanCount; ++j) {
    const int item = kFirstFanItem + j;
    if (WEnable[item] != 1) continue;
    if (family == kChipFamilyWinbond) SelectBank(program_, winbond::kBank0);
    const std::uint8_t count = ReadMonitorRegister(program_, CountRegister(family, j));
    if (count == 0) return;  // no speed can be computed from 0; try again next tick
    const std::uint8_t output = ReadFanOutput(program_, static_cast<std::int16_t>(j));

    if (count == 255) {
      if (updFanLoLimit[j].Enabled) updFanLoLimit[j].Enabled = false;
      if (LastFanCount[j] != 255) FanStopLatch[j] = -1;
      if (FanStopLatch[j] != -1) {
        CloseWarning(static_cast<std::int16_t>(item));
        lblFanSpeed[j].BackColor = forms::kColorGreen;
      } else if (FanControlEnabled) {
        // Fan control may stop a fan on purpose: the stop is noted once and not alarmed.
        LastFanCount[j] = 255;
        FanStopLatch[j] = 0;
      } else {
        ShowWarning(static_cast<std::int16_t>(item));
        lblFanSpeed[j].BackColor = forms::kColorRed;
      }
      lblFanSpeed[j].Caption = FanStop(j, output) ? kFanStopText : kFanOff;
      if (j == 0) CpuFanPercent = 0;
      if (j == 1) SystemFanPercent = 0;
    } else {
      if (!updFanLoLimit[j].Enabled) {
        updFanLoLimit[j].Enabled = true;
        updFanLoLimit_Change(j);
      }
      LastFanCount[j] = count;
      switch (FanControlMethod) {
        case kFanMethodMultiLevel:
        case kFanMethodSmart:
          ProcessFanForMultiMethod(j, count);
          break;
        case kFanMethodFixed:
          if (j < 2) {
            ProcessFanForFixMethod(j, count);
          } else {
            ProcessFanForDisableFanMethod(j, count, output);
          }
          break;
        case kFanMethodNone:
          ProcessFanForDisableFanMethod(j, count, output);
          break;
        case kFanMethodRecommended:
          ProcessFanForRecommendedMethod(j, count);
          break;
        default:
          break;
      }
      if (FanControlEnabled || FanDialogOpen) {
        CloseWarning(static_cast<std::int16_t>(item));
        lblFanSpeed[j].BackColor = forms::kColorGreen;
      } else if (count > 255 - updFanLoLimit[j].Value) {
        ShowWarning(static_cast<std::int16_t>(item));
        lblFanSpeed[j].BackColor = forms::kColorRed;
      } else {
        CloseWarning(static_cast<std::int16_t>(item));
        lblFanSpeed[j].BackColor = forms::kColorGreen;
      }
      ApplyBeepSettings();
    }
    SetProgressForFanSpeed(j, count);
  }
  SetFanAnimation(CpuFanPercent);
}

bool frmdoctor::FanStop(int fan, std::uint8_t output) {
  if (fan == 2 || output != 0) return false;
  if (FanControlEnabled) {
    std::string shown = lblFanSpeed[fan].Caption;
    for (char& c : shown) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return shown != "FAN OFF";
  }
  return FanControlMethod != kFanMethodNone;
}

void frmdoctor::SetProgressForFanSpeed(int fan, std::uint8_t count) {
  if (fan == 0) {
    prbFanSpeed[0].Value = RoundHalfEven(CpuFanPercent * 2.55);
  } else if (fan == 1) {
    prbFanSpeed[1].Value = RoundHalfEven(SystemFanPercent * 2.55);
  } else if (fan == 2) {
    prbFanSpeed[2].Value = count == 255 ? 0 : 255;
  }
}

void frmdoctor::ProcessCPUFanFirst() {
  if (WEnable[kFirstFanItem] != 1) return;
  const std::uint16_t family = program_.G().ChipFamily;
  if (family == kChipFamilyWinbond) SelectBank(program_, winbond::kBank0);
  const std::uint8_t count = ReadMonitorRegister(program_, CountRegister(family, 0));
  prbFanSpeed[0].Value = 255 - count;
  if (count != 255) return;
  // The splash is topmost: take it down so the box can be seen, then put it back until the
  // first tick.
  program_.frmInit().Unload();
  const std::string& prefix = program_.G().LangPrefix;
  program_.Sys().MsgBox(Text(prefix, 371).value_or(""), platform::vbOKOnly | platform::vbInformation,
                        Text(prefix, 372).value_or(""));
  program_.frmInit().Show();
}

void frmdoctor::updFanLoLimit_Change(int j) {
  const int v = updFanLoLimit[j].Value;
  if (v > 252) {
    updFanLoLimit[j].Value = 252;  // raises this handler again with 252
    return;
  }
  if (FanLimitReady == 0) return;
  FanChannel[j].Fan_Limit = static_cast<std::int16_t>(255 - v);
  lblFanLoLimit[j].Caption = LimitRpmText(FanChannel[j].Fan_Divisor, 255 - v);
  const std::uint16_t family = program_.G().ChipFamily;
  if (family == kChipFamilyWinbond) SelectBank(program_, winbond::kBank0);
  WriteMonitorRegister(program_, LimitRegister(family, j), static_cast<std::uint8_t>((255 - v) & 0xFF));
}

void frmdoctor::ChangeLabelFan() {
  for (int j = 0; j < kFanCount; ++j) {
    for (forms::Control* c :
         std::initializer_list<forms::Control*>{&lblFanItem[j], &updFanLoLimit[j], &lblFanLoLimit[j],
                                                &prbFanSpeed[j], &lblFanSpeed[j], &lblFanUnit[j]}) {
      c->Top += 110;
    }
  }
  lblUnit.Top += 180;
}

}  // namespace veltrix::monitor
