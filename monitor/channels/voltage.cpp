// Voltage channels: per-tick sampling on the five wirings, the negative-rail formulas and the
// set-up of the rows and the chip's voltage limit registers.
#include <array>
#include <cmath>

#include "monitor/channels/number_format.h"
#include "monitor/channels/voltage_wiring.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {
constexpr int kMaxCount = 255;

int ClampCount(int count) {
  return count < 0 ? 0 : (count > kMaxCount ? kMaxCount : count);
}
}  // namespace

bool frmdoctor::IsNegativeRail(int item) const {
  return IsNegativeRailItem(program_.G().BoardVariant, item);
}

// ---- per tick -----------------------------------------------------------------------------------

void frmdoctor::ProcessVoltage() {
  switch (program_.G().BoardVariant) {
    case 0:
      MappingWinbondVoltageSetting();
      break;
    case 1:
      MappingITEVoltageTable_1();
      break;
    case 2:
      MappingITEVoltageTable_2();
      break;
    case 3:
      MappingITEVoltageTable_3();
      break;
    case 4:
      MappingITEVoltageTable_4();
      break;
    case 5:
      MappingITEVoltageTable_3();
      break;
    default:
      break;
  }
}

void frmdoctor::JudgeVoltage(int item, int count) {
  // Both ends of the window are in range.
  const int lo = SldVoltage[item].SelStart;
  const int hi = lo + SldVoltage[item].SelLength;
  if (count < lo || count > hi) {
    ShowWarning(static_cast<std::int16_t>(item));
    lblStatusV[item].BackColor = forms::kColorRed;
  } else {
    CloseWarning(static_cast<std::int16_t>(item));
    lblStatusV[item].BackColor = forms::kColorGreen;
  }
}

void frmdoctor::SampleVoltage(int item, std::uint8_t count, bool negative) {
  SldVoltage[item].Value = count;
  // The value comes from the count itself, not from the gauge: a count outside the gauge's
  // range is clamped on the gauge but must still be shown as read.
  const float volts = negative ? CalRealNegVoltage(static_cast<std::int16_t>(item), count)
                               : VoltageChannel[item].Factor * static_cast<float>(count);
  lblStatusV[item].Caption = Format2(volts);
  JudgeVoltage(item, count);
}

void frmdoctor::MappingWinbondVoltageSetting() {
  const std::uint32_t chip = program_.G().ChipId;
  for (int i = 0; i < kVoltageCount; ++i) {
    if (WEnable[i] != 1) continue;
    if (i <= 4) {
      SelectBank(program_, winbond::kBank0);
      // The W83637HF carries +12V on input 1.
      const int input = (chip == kChipW83637HF && i == 4) ? 1 : i;
      SampleVoltage(
          i, ReadMonitorRegister(program_, static_cast<std::uint8_t>(winbond::kVoltageBase + input)), false);
    } else if (i <= 6) {
      SelectBank(program_, winbond::kBank0);
      std::uint8_t count =
          ReadMonitorRegister(program_, static_cast<std::uint8_t>(winbond::kVoltageBase + i));
      if (chip == kChipW83627HF || chip == kChipW83697HF) {
        SampleVoltage(i, count, true);
      } else if (chip == kChipW83637HF) {
        // -12V through a 0.2 network on a 2.88 V reference at input 4.
        count = ReadMonitorRegister(program_, static_cast<std::uint8_t>(winbond::kVoltageBase + 4));
        SldVoltage[i].Value = count;
        const auto volts = static_cast<float>((count * 0.016 - 2.88) / 0.2);
        lblStatusV[i].Caption = Format2(volts);
        JudgeVoltage(i, count);
      } else {
        JudgeVoltage(i, count);
      }
    } else {
      const winbond::BankedRegister reg = i == 7 ? winbond::k5Vsb : winbond::kVbat;
      SelectBank(program_, reg.bank);
      SampleVoltage(i, ReadMonitorRegister(program_, reg.reg), false);
    }
  }
}

void frmdoctor::MappingITEVoltageTable_1() {
  for (int i = 0; i < kVoltageCount; ++i) {
    if (WEnable[i] != 1) continue;
    SampleVoltage(i, ReadMonitorRegister(program_, IteVoltageInput(1, i)), i == 5);
  }
}

void frmdoctor::MappingITEVoltageTable_2() {
  MappingITEVoltageTable_1();
}

void frmdoctor::MappingITEVoltageTable_3() {
  const std::uint16_t variant = program_.G().BoardVariant == 3 ? 3 : 5;
  for (int i = 0; i < kVoltageCount; ++i) {
    if (WEnable[i] != 1) continue;
    SampleVoltage(i, ReadMonitorRegister(program_, IteVoltageInput(variant, i)), i == 5 || i == 6);
  }
}

void frmdoctor::MappingITEVoltageTable_4() {
  for (int i = 0; i < kVoltageCount; ++i) {
    if (WEnable[i] != 1) continue;
    SampleVoltage(i, ReadMonitorRegister(program_, IteVoltageInput(4, i)), i == 7);
  }
}

// ---- conversions --------------------------------------------------------------------------------

float frmdoctor::CalRealNegVoltage(std::int16_t item, std::int16_t count) {
  const std::uint16_t family = program_.G().ChipFamily;
  if (family == kChipFamilyWinbond) {
    // Negative rails reach the pin through a resistor pair referenced to 3.6 V.
    const double k = item == 5 ? 5.15 : (item == 6 ? 3.14 : 0.0);
    if (k == 0.0) return 0.0F;  // not a negative rail
    return static_cast<float>(k * (count * 0.016 - 3.6) + 3.6);
  }
  if (family == kChipFamilyIte) {
    if (item == 5 || item == 7) return static_cast<float>(count * 0.0822 - 16.9691);
    if (item == 6) return static_cast<float>(count * 0.0503 - 8.7771);
    return 0.0F;
  }
  return 0.0F;
}

std::int16_t frmdoctor::TransVoltageToLimitReg(std::int16_t item, float volts) {
  const std::uint16_t family = program_.G().ChipFamily;
  if (family == kChipFamilyWinbond) {
    double k = 0.0;
    if (item == 5 || item == 7) k = 5.14;
    if (item == 6) k = 3.14;
    if (k == 0.0) return 0;
    return RoundHalfEven16(((volts - 3.6) / k + 3.6) / 0.016);
  }
  if (family == kChipFamilyIte) {
    if (item == 5 || item == 7) return RoundHalfEven16((volts + 16.9691) / 0.0822);
    if (item == 6) return RoundHalfEven16((volts + 8.7771) / 0.0503);
    return 0;
  }
  return 0;
}

// ---- set-up -------------------------------------------------------------------------------------

void frmdoctor::init_Voltage_items() {
  SetUpVoltageRows();
  OpenUnusedVoltageLimits();
}

void frmdoctor::SetUpVoltageRows() {
  switch (program_.G().BoardVariant) {
    case 0:
      init_Voltage_items_For_Winbond_SuperIO();
      break;
    case 1:
    case 2:
      init_Voltage_items_For_Dravel_With_SDRAM();
      break;
    case 3:
    case 5:
      init_Voltage_items_For_Korvana_With_DDR();
      break;
    case 4:
      init_Voltage_items_For_Dravel_With_DDR_UPDATED();
      break;
    default:
      break;
  }
}

void frmdoctor::init_Voltage_items_For_Winbond_SuperIO() {
  for (int i = 0; i < kVoltageCount; ++i) SetUpVoltageRow(i, i == 5 || i == 6);
}

void frmdoctor::init_Voltage_items_For_Dravel_With_SDRAM() {
  for (int i = 0; i < kVoltageCount; ++i) SetUpVoltageRow(i, i == 5);
}

void frmdoctor::init_Voltage_items_For_Korvana_With_DDR() {
  for (int i = 0; i < kVoltageCount; ++i) SetUpVoltageRow(i, i == 5 || i == 6);
}

void frmdoctor::init_Voltage_items_For_Dravel_With_DDR_UPDATED() {
  for (int i = 0; i < kVoltageCount; ++i) SetUpVoltageRow(i, i == 7);
}

void frmdoctor::SetUpVoltageRow(int item, bool negative) {
  const VoltageChannelRecord& rec = VoltageChannel[item];
  const auto item16 = static_cast<std::int16_t>(item);
  auto countOf = [&](float volts) -> int {
    if (negative) return ClampCount(TransVoltageToLimitReg(item16, volts));
    // A counts register is 8 bits wide: whatever the stored values, the gauge and the chip
    // only ever get 0..255.
    return ClampCount(RoundHalfEven(static_cast<double>(volts / rec.Factor)));
  };
  const int loBound = countOf(rec.LoBound);
  const int hiBound = countOf(rec.HiBound);  // capped at 255
  const int loLimit = countOf(rec.LoLimit);
  const int hiLimit = countOf(rec.HiLimit);

  SldVoltage[item].Max = hiBound;
  SldVoltage[item].Min = loBound;
  updLoLimit[item].Max = hiLimit;
  updLoLimit[item].Min = loBound;
  updHiLimit[item].Max = hiBound;
  updHiLimit[item].Min = loLimit;
  updLoLimit[item].Value = updHiLimit[item].Min;
  updHiLimit[item].Value = updLoLimit[item].Max;

  const int lo = updLoLimit[item].Value;
  const int hi = updHiLimit[item].Value;
  SldVoltage[item].SelStart = lo;
  SldVoltage[item].SelLength = hi - lo;
  SldVoltage[item].Value = lo;

  lblLoBound[item].Caption = Format2(rec.LoBound);
  lblHiBound[item].Caption = Format2(rec.HiBound);
  if (negative) {
    LblLoLimit[item].Caption = Format2(rec.LoLimit);
    LblHiLimit[item].Caption = Format2(rec.HiLimit);
  } else {
    LblLoLimit[item].Caption = Format2(static_cast<float>(lo) * rec.Factor);
    LblHiLimit[item].Caption = Format2(static_cast<float>(hi) * rec.Factor);
  }
  WriteVoltageLimits(item, hi, lo);
  SldVoltage[item].Enabled = false;
}

void frmdoctor::WriteVoltageLimits(int item, int hiCount, int loCount) {
  // An item the board lacks has no input of its own: its limits would land on an unconnected
  // input (or on one another item reads) and trip the chip's beep.
  if (ItemPresent[item] != 1) return;
  const auto& g = program_.G();
  const auto hiReg = VoltageLimitRegisterOf(g.ChipFamily, g.BoardVariant, g.ChipId, item, true);
  const auto loReg = VoltageLimitRegisterOf(g.ChipFamily, g.BoardVariant, g.ChipId, item, false);
  if (!hiReg || !loReg) return;
  if (hiReg->bank >= 0) SelectBank(program_, static_cast<std::uint8_t>(hiReg->bank));
  WriteMonitorRegister(program_, hiReg->reg, static_cast<std::uint8_t>(hiCount & 0xFF));
  WriteMonitorRegister(program_, loReg->reg, static_cast<std::uint8_t>(loCount & 0xFF));
}

void frmdoctor::OpenUnusedVoltageLimits() {
  // An input no present item reads (unconnected, or the rail of an item the board lacks) gets
  // the widest window, so its comparison never trips; on ITE chips every voltage shares one
  // beep enable, so a single tripped input would sound for all of them.
  const auto& g = program_.G();
  std::array<bool, kVoltageInputCount> read{};
  for (int i = 0; i < kVoltageCount; ++i) {
    if (ItemPresent[i] != 1) continue;
    if (const auto input = VoltageInputOf(g.ChipFamily, g.BoardVariant, g.ChipId, i)) read[*input] = true;
  }
  for (int input = 0; input < kVoltageInputCount; ++input) {
    if (read[input] || !ChipHasVoltageInput(g.ChipFamily, g.ChipId, input)) continue;
    const auto hiReg = VoltageInputLimitRegister(g.ChipFamily, input, true);
    const auto loReg = VoltageInputLimitRegister(g.ChipFamily, input, false);
    if (!hiReg || !loReg) continue;
    if (hiReg->bank >= 0) SelectBank(program_, static_cast<std::uint8_t>(hiReg->bank));
    WriteMonitorRegister(program_, hiReg->reg, 0xFF);
    WriteMonitorRegister(program_, loReg->reg, 0x00);
  }
}

}  // namespace veltrix::monitor
