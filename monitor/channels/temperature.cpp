// Temperature channels: reading and calibration per board, the two judgement rules, the row
// set-up, the high-limit updates and the thermometer on the page.
#include <algorithm>

#include "monitor/boards/board_tables.h"
#include "monitor/channels/number_format.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr const char* kNoTempRoutineText = "MotherBoard ERROR!!(ChkModuleTemp)";

// No sensor on a running board is this cold: a reading below it is an open or missing sensor
// (an ITE input reads -128 without a sensor and the bottom of its thermistor curve, -55, with
// an open thermistor).
constexpr int kLowestRealCelsius = -50;
constexpr const char* kNoSensor = "N/A";  // fits the status box beside "-10.0"

}  // namespace

int frmdoctor::TempUnitsPerDegree(int k) const {
  return program_.G().ChipFamily == kChipFamilyWinbond && k > 0 ? 2 : 1;
}

void frmdoctor::ChkModuleTemperature() {
  const std::optional<boards::TempRoutine> routine = boards::TempRoutineFor(program_.G().ModelName);
  if (!routine) {
    program_.Sys().MsgBox(kNoTempRoutineText, platform::vbOKOnly, kAppTitle);
    return;
  }
  switch (*routine) {
    case boards::TempRoutine::kProcessAllTemperature:
      ProcessAllTemperature();
      AllTempPath = -1;
      break;
    case boards::TempRoutine::kProcessTemperatureCPU2_Sys1_Pin:
      ProcessTemperatureCPU2_Sys1_Pin();
      break;
    case boards::TempRoutine::kProcessTemperatureCPU3_Sys1_Pin:
      ProcessTemperatureCPU3_Sys1_Pin();
      break;
  }
}

void frmdoctor::ProcessAllTemperature() {
  ProcessTemperatures(true);
}
void frmdoctor::ProcessTemperatureCPU2_Sys1_Pin() {
  ProcessTemperatures(false);
}
void frmdoctor::ProcessTemperatureCPU3_Sys1_Pin() {
  ProcessTemperatures(false);
}

frmdoctor::TempRule frmdoctor::TempRuleOf(int k) const {
  const auto& g = program_.G();
  const auto routine = boards::TempRoutineFor(g.ModelName);
  if (routine == boards::TempRoutine::kProcessAllTemperature) {
    return g.ChipFamily != kChipFamilyWinbond || k == 0 ? TempRule::kCaption : TempRule::kWindow;
  }
  return boards::TempCalibrationFor(g.ModelName) != nullptr ? TempRule::kCaption : TempRule::kWindow;
}

int frmdoctor::TempSensorOf(int k) const {
  const auto& g = program_.G();
  return g.ChipFamily == kChipFamilyWinbond && k > 0 ? boards::TempReadBank(g.ModelName, k) : k;
}

int frmdoctor::CalibratedTempUnits(int k, int raw) const {
  const boards::TempCalibration* cal = boards::TempCalibrationFor(program_.G().ModelName);
  if (cal == nullptr) return raw;
  const boards::TempRowCalibration& row = cal->rows[static_cast<std::size_t>(k)];
  int units = raw + row.offset;
  if (row.factor != 1.0F) units = RoundHalfEven(units * static_cast<double>(row.factor));
  return units;
}

void frmdoctor::ProcessTemperatures(bool allTemperatureRules) {
  const auto& g = program_.G();
  const bool isWinbond = g.ChipFamily == kChipFamilyWinbond;
  for (int k = 0; k < kTempCount; ++k) {
    const int item = kFirstTempItem + k;
    if (WEnable[item] != 1) continue;

    // Every register holds a signed value: whole degrees, or for Winbond temperatures 1 and 2
    // a 9-bit count of half degrees (the whole degrees, and 0x80 in the second byte for the
    // half).
    int raw = 0;
    if (isWinbond && k == 0) {
      SelectBank(program_, winbond::kBank0);
      raw = static_cast<std::int8_t>(ReadMonitorRegister(program_, winbond::kTemp1));
    } else if (isWinbond) {
      // Sensor n (1, 2) has its registers in bank n.
      static_assert(winbond::kTemp2Bank == 1 && winbond::kTemp3Bank == 2);
      SelectBank(program_, static_cast<std::uint8_t>(TempSensorOf(k)));
      const auto whole = static_cast<std::int8_t>(ReadMonitorRegister(program_, winbond::kTempHigh));
      const std::uint8_t half = ReadMonitorRegister(program_, winbond::kTempLow);
      raw = 2 * whole + (half == winbond::kTempHalfDegree ? 1 : 0);
    } else {
      raw = static_cast<std::int8_t>(
          ReadMonitorRegister(program_, static_cast<std::uint8_t>(ite::kTempBase + k)));
    }
    const int scale = TempUnitsPerDegree(k);
    const int units = CalibratedTempUnits(k, raw);
    sldTemp[k].Value = units;
    if (raw < kLowestRealCelsius * scale) {
      // Nothing to judge: no sensor is connected (or it is broken).
      lblStatusT[k].Caption = kNoSensor;
      CloseWarning(static_cast<std::int16_t>(item));
      lblStatusT[k].BackColor = forms::kColorGreen;
      continue;
    }
    lblStatusT[k].Caption = Format1(static_cast<double>(units) / scale);

    bool outOfRange = false;
    if (allTemperatureRules && FanControlMethod == kFanMethodRecommended) {
      outOfRange = false;  // the recommended fan setting manages temperatures itself
    } else {
      if (TempRuleOf(k) == TempRule::kCaption) {
        outOfRange =
            CaptionValue(lblStatusT[k].Caption.Get()) > CaptionValue(lblTempHiLimit[k].Caption.Get());
      } else {
        // The reading itself, not the gauge position: a reading beyond the gauge still counts.
        outOfRange = units > sldTemp[k].SelStart + sldTemp[k].SelLength;
      }
    }
    if (outOfRange) {
      ShowWarning(static_cast<std::int16_t>(item));
      lblStatusT[k].BackColor = forms::kColorRed;
    } else {
      CloseWarning(static_cast<std::int16_t>(item));
      lblStatusT[k].BackColor = forms::kColorGreen;
    }
  }
}

// ---- set-up -------------------------------------------------------------------------------------

void frmdoctor::Init_Temp_Items() {
  const std::uint16_t family = program_.G().ChipFamily;
  for (int k = 0; k < kTempCount; ++k) {
    if (family == kChipFamilyWinbond) {
      Init_Temp_Items_For_Winbond(k);
    } else if (family == kChipFamilyIte) {
      Init_Temp_Items_For_ITE(k);
    }
  }
  WriteTempLimitsToChip();
  for (int k = 0; k < kTempCount; ++k) MoveTempThumb(k, CaptionValue(lblStatusT[k].Caption.Get()));
}

void frmdoctor::Init_Temp_Items_For_Winbond(int k) {
  if (ItemPresent[kFirstTempItem + k] != 1) return;
  InitTempRow(k, k == 0 ? 1 : 2, true);
}

void frmdoctor::Init_Temp_Items_For_ITE(int k) {
  if (ItemPresent[kFirstTempItem + k] != 1) return;
  InitTempRow(k, 1, false);
}

void frmdoctor::InitTempRow(int k, int scale, bool winbond) {
  const TempChannelRecord& rec = TempChannel[k];
  const int hiCount = RoundHalfEven(static_cast<double>(rec.Temp_HiLimit) * scale);
  const int loCount = RoundHalfEven(static_cast<double>(rec.Temp_LoLimit) * scale);
  int gaugeMax = RoundHalfEven(CaptionValue(lblTempHiBound[k].Caption.Get()) * scale);
  if (winbond) {
    if (const boards::TempCalibration* cal = boards::TempCalibrationFor(program_.G().ModelName)) {
      gaugeMax += cal->rows[static_cast<std::size_t>(k)].gaugeExtension;
    }
  }
  const int gaugeMin = RoundHalfEven(CaptionValue(lblTempLoBound[k].Caption.Get()) * scale);

  sldTemp[k].Max = gaugeMax;
  sldTemp[k].Min = gaugeMin;
  updTempLoLimit[k].Max = hiCount;
  updTempLoLimit[k].Min = gaugeMin;
  updTempHiLimit[k].Max = gaugeMax;
  updTempHiLimit[k].Min = gaugeMin + scale;
  updTempLoLimit[k].Value = updTempHiLimit[k].Min;
  updTempHiLimit[k].Value = updTempLoLimit[k].Max;

  sldTemp[k].SelLength = scale;
  sldTemp[k].SelStart = loCount;
  sldTemp[k].Value = loCount;
  lblTempLoLimit[k].Caption = Format2(rec.Temp_LoLimit);
  lblTempHiLimit[k].Caption = Format2(rec.Temp_HiLimit);
  sldTemp[k].Enabled = false;
  tempChipLowIsHigh_[static_cast<std::size_t>(k)] = false;  // the chip's limits follow with all rows
}

// ---- high-limit updates -------------------------------------------------------------------------

void frmdoctor::Update_Temp_For_ITE(int k) {
  const int h = updTempHiLimit[k].Value;
  sldTemp[k].SelLength = 1;
  sldTemp[k].SelStart = h - 1;
  lblTempHiLimit[k].Caption = Format2(h);
  TempChannel[k].Temp_HiLimit = static_cast<float>(h);
  TempChannel[k].Temp_LoLimit = static_cast<float>(h);
  tempChipLowIsHigh_[static_cast<std::size_t>(k)] = true;
  WriteTempLimitsToChip();
}

void frmdoctor::Update_Temp_For_Winbond(int k) {
  const int scale = k == 0 ? 1 : 2;
  const int h = updTempHiLimit[k].Value;
  const boards::TempCalibration* cal = boards::TempCalibrationFor(program_.G().ModelName);
  const boards::TempRowCalibration row =
      cal != nullptr ? cal->rows[static_cast<std::size_t>(k)] : boards::TempRowCalibration{};

  sldTemp[k].SelLength = scale;
  // Calibrated boards read lower than the chip's raw value: the window follows the reading.
  sldTemp[k].SelStart = h - scale - row.windowLowering;
  const double degrees = static_cast<double>(h) / scale;
  lblTempHiLimit[k].Caption = Format2(degrees - row.captionLowering);
  lblTempLoLimit[k].Caption = Format2(degrees);
  TempChannel[k].Temp_HiLimit = static_cast<float>(degrees);
  TempChannel[k].Temp_LoLimit = TempChannel[k].Temp_HiLimit;
  tempChipLowIsHigh_[static_cast<std::size_t>(k)] = true;
  WriteTempLimitsToChip();
}

// ---- thermometer --------------------------------------------------------------------------------

void frmdoctor::MoveTempThumb(int k, double degrees) {
  // The thermometer spans 0..100 °C; the thumb stays on it for readings beyond that.
  const double t = std::clamp(degrees, 0.0, 100.0);
  picThumb[k].Left = RoundHalfEven(picTemp[k].Width / 100.0 * t + picTemp[k].Left - 50);
}

void frmdoctor::MoveTempLine(int k, double degrees) {
  const double t = std::clamp(degrees, 0.0, 100.0);
  const int x = RoundHalfEven(picTemp[k].Width / 100.0 * t + picTemp[k].Left);
  LineTemp.X1 = x;
  LineTemp.X2 = x;
  LineTemp.Y1 = picTemp[k].Top;
  LineTemp.Y2 = picTemp[k].Top + picTemp[k].Height;
  LineTemp.Visible = true;
}

// ---- row arrangements ---------------------------------------------------------------------------

namespace {
template <typename F>
void ForEachTempRowControl(frmdoctor& w, int k, bool withName, F&& f) {
  if (withName) f(w.lblTempItem[k]);
  f(w.updTempLoLimit[k]);
  f(w.lblTempLoLimit[k]);
  f(w.lblTempLoBound[k]);
  f(w.sldTemp[k]);
  f(w.updTempHiLimit[k]);
  f(w.lblTempHiLimit[k]);
  f(w.lblTempHiBound[k]);
  f(w.lblStatusT[k]);
  f(w.lblT[k]);
  f(w.picTemp[k]);
  f(w.picThumb[k]);
}
}  // namespace

void frmdoctor::ChangeLabelTemp() {
  // Row 2 moves up into the place of row 1 (boards without row 1).
  std::vector<int> tops;
  ForEachTempRowControl(*this, 1, true, [&](forms::Control& c) { tops.push_back(c.Top); });
  std::size_t n = 0;
  ForEachTempRowControl(*this, 2, true, [&](forms::Control& c) { c.Top = tops[n++]; });
}

void frmdoctor::ChangeLabelTempForZT50() {
  std::vector<forms::Control*> row0;
  std::vector<forms::Control*> row1;
  ForEachTempRowControl(*this, 0, false, [&](forms::Control& c) { row0.push_back(&c); });
  ForEachTempRowControl(*this, 1, false, [&](forms::Control& c) { row1.push_back(&c); });
  for (std::size_t n = 0; n < row0.size(); ++n) {
    const int top = row0[n]->Top;
    row0[n]->Top = row1[n]->Top.Get();
    row1[n]->Top = top;
  }
}

void frmdoctor::ExchangeCPUAndSystemTempLabel() {
  const std::string first = lblTempItem[0].Caption;
  lblTempItem[0].Caption = lblTempItem[1].Caption.Get();
  lblTempItem[1].Caption = first;
}

}  // namespace veltrix::monitor
