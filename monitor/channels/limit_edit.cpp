// Handlers of the limit spin controls: the gauge window, the caption, the stored record and the
// chip's limit register follow each edit at once (the registry only on "Save").
#include "monitor/channels/number_format.h"
#include "monitor/channels/voltage_wiring.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

void WriteVoltageLimitEnd(Program& program, int item, bool high, int count) {
  const auto& g = program.G();
  const auto reg = VoltageLimitRegisterOf(g.ChipFamily, g.BoardVariant, g.ChipId, item, high);
  if (!reg) return;
  if (reg->bank >= 0) SelectBank(program, static_cast<std::uint8_t>(reg->bank));
  WriteMonitorRegister(program, reg->reg, static_cast<std::uint8_t>(count & 0xFF));
}

}  // namespace

void frmdoctor::updHiLimit_Change(int i) {
  if (LimitsReady == 0) return;
  const int h = updHiLimit[i].Value;
  const int l = updLoLimit[i].Value;
  SldVoltage[i].SelLength = h - l;
  updLoLimit[i].Max = h;
  const float volts = IsNegativeRail(i)
                          ? CalRealNegVoltage(static_cast<std::int16_t>(i), static_cast<std::int16_t>(h))
                          : VoltageChannel[i].Factor * static_cast<float>(h);
  LblHiLimit[i].Caption = Format2(volts);
  VoltageChannel[i].HiLimit = volts;
  WriteVoltageLimitEnd(program_, i, true, h);
}

void frmdoctor::updLoLimit_Change(int i) {
  if (LimitsReady == 0) return;
  const int h = updHiLimit[i].Value;
  const int l = updLoLimit[i].Value;
  SldVoltage[i].SelStart = l;
  SldVoltage[i].SelLength = h - l;
  updHiLimit[i].Min = l;
  const float volts = IsNegativeRail(i)
                          ? CalRealNegVoltage(static_cast<std::int16_t>(i), static_cast<std::int16_t>(l))
                          : VoltageChannel[i].Factor * static_cast<float>(l);
  LblLoLimit[i].Caption = Format2(volts);
  VoltageChannel[i].LoLimit = volts;
  WriteVoltageLimitEnd(program_, i, false, l);
}

void frmdoctor::updTempHiLimit_Change(int k) {
  if (LimitsReady == 0) return;
  const std::uint16_t family = program_.G().ChipFamily;
  if (family == kChipFamilyWinbond) {
    Update_Temp_For_Winbond(k);
  } else if (family == kChipFamilyIte) {
    Update_Temp_For_ITE(k);
  }
  MoveTempLine(k, CaptionValue(lblTempHiLimit[k].Caption.Get()));
}

void frmdoctor::updTempLoLimit_Change(int k) {
  if (LimitsReady == 0) return;
  const int scale = k == 0 ? 1 : 2;
  const int l = updTempLoLimit[k].Value;
  const int h = updTempHiLimit[k].Value;
  sldTemp[k].SelStart = l;
  sldTemp[k].SelLength = h - l;
  updTempHiLimit[k].Min = l;
  const double degrees = static_cast<double>(l) / scale;
  lblTempLoLimit[k].Caption = Format2(degrees);
  TempChannel[k].Temp_LoLimit = static_cast<float>(degrees);
  // The hysteresis registers exist on the Winbond chips only; ITE chips keep the low limit
  // equal to the high one.
  if (program_.G().ChipFamily != kChipFamilyWinbond) return;
  tempChipLowIsHigh_[static_cast<std::size_t>(k)] = false;
  WriteTempLimitsToChip();
}

}  // namespace veltrix::monitor
