// The chip's own temperature limits. The chip compares its raw readings with them and beeps when
// one is exceeded; the rows judge calibrated readings against their own limits. Every limit the
// chip holds is the raw reading at which the rows that read that sensor start to alarm, so the
// beep and the red row come together; a sensor no present row reads gets a limit it can never
// exceed.
#include <algorithm>
#include <cmath>
#include <optional>

#include "monitor/channels/number_format.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

std::uint8_t WholeDegreesByte(int units) {
  return static_cast<std::uint8_t>((units & 0x1FE) / 2);
}
std::uint8_t HalfDegreeByte(int units) {
  return (units & 1) != 0 ? winbond::kTempHalfDegree : 0x00;
}

void WriteSensorLimits(Program& program, int sensor, int high, int low) {
  if (program.G().ChipFamily == kChipFamilyIte) {
    WriteMonitorRegister(program, static_cast<std::uint8_t>(ite::kTempHighLimitBase + 2 * sensor),
                         static_cast<std::uint8_t>(high & 0xFF));
    WriteMonitorRegister(program, static_cast<std::uint8_t>(ite::kTempLowLimitBase + 2 * sensor),
                         static_cast<std::uint8_t>(low & 0xFF));
    return;
  }
  // Sensor 0's limits are outside the banked window (bank 0 is selected for it); sensor n (1, 2)
  // has its registers in bank n.
  static_assert(winbond::kTemp2Bank == 1 && winbond::kTemp3Bank == 2);
  SelectBank(program, static_cast<std::uint8_t>(sensor));
  if (sensor == 0) {
    WriteMonitorRegister(program, winbond::kTemp1Over, static_cast<std::uint8_t>(high & 0xFF));
    WriteMonitorRegister(program, winbond::kTemp1Hysteresis, static_cast<std::uint8_t>(low & 0xFF));
  } else {
    WriteMonitorRegister(program, winbond::kTempOverHigh, WholeDegreesByte(high));
    WriteMonitorRegister(program, winbond::kTempOverLow, HalfDegreeByte(high));
    WriteMonitorRegister(program, winbond::kTempHysteresisHigh, WholeDegreesByte(low));
    WriteMonitorRegister(program, winbond::kTempHysteresisLow, HalfDegreeByte(low));
  }
}

}  // namespace

int frmdoctor::JudgedTempTop(int k) const {
  if (TempRuleOf(k) == TempRule::kCaption) {
    // Out of range when the shown value is above the caption's limit.
    const double limit = CaptionValue(lblTempHiLimit[k].Caption.Get()) * TempUnitsPerDegree(k);
    return static_cast<int>(std::floor(limit + 1e-9));
  }
  return sldTemp[k].SelStart + sldTemp[k].SelLength;
}

int frmdoctor::RawTempAtMost(int k, int units) const {
  const int scale = TempUnitsPerDegree(k);
  const int lowest = -128 * scale;
  for (int raw = 127 * scale + scale - 1; raw > lowest; --raw) {
    if (CalibratedTempUnits(k, raw) <= units) return raw;
  }
  return lowest;
}

void frmdoctor::WriteTempLimitsToChip() {
  const Globals& g = program_.G();
  if (g.ChipFamily != kChipFamilyWinbond && g.ChipFamily != kChipFamilyIte) return;
  const int sensors = g.ChipFamily == kChipFamilyWinbond && g.ChipId == kChipW83697HF ? 2 : 3;
  for (int sensor = 0; sensor < sensors; ++sensor) {
    std::optional<int> high;
    std::optional<int> low;
    for (int k = 0; k < kTempCount; ++k) {
      if (ItemPresent[kFirstTempItem + k] != 1 || TempSensorOf(k) != sensor) continue;
      // Two rows on one sensor: the chip trips as soon as either would.
      const int rowHigh = RawTempAtMost(k, JudgedTempTop(k));
      const int rowLow = tempChipLowIsHigh_[static_cast<std::size_t>(k)]
                             ? rowHigh
                             : std::min(rowHigh, RawTempAtMost(k, sldTemp[k].SelStart));
      high = std::min(high.value_or(rowHigh), rowHigh);
      low = std::min(low.value_or(rowLow), rowLow);
    }
    const int scale = g.ChipFamily == kChipFamilyWinbond && sensor > 0 ? 2 : 1;
    const int never = 127 * scale + scale - 1;  // the highest reading the sensor can report
    WriteSensorLimits(program_, sensor, high.value_or(never), low.value_or(never));
  }
}

}  // namespace veltrix::monitor
