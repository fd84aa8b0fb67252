// On every chip and wiring the main window shows what the simulated board presents: rails,
// fan speeds and temperatures within one count.
#include <gtest/gtest.h>

#include <cmath>

#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/channels/voltage_wiring.h"
#include "tests/monitor/channels/channel_support.h"

namespace veltrix::monitor {
namespace {

using channeltest::Main;
using channeltest::OneBoardPerWiring;
using channeltest::Started;

// The chip input voltage item i reads on this board.
int InputOf(const Globals& g, int item) {
  if (g.ChipFamily == kChipFamilyIte) return IteVoltageInput(g.BoardVariant, item) - 0x20;
  if (g.ChipId == kChipW83637HF && item == 4) return 1;
  if (g.ChipId == kChipW83637HF && (item == 5 || item == 6)) return 4;
  return item;
}

// Volts of one count for item i (the slope of its conversion).
double VoltsPerCount(frmdoctor& w, const Globals& g, int item) {
  if (g.ChipId == kChipW83637HF && (item == 5 || item == 6)) return 0.016 / 0.2;
  if (!w.IsNegativeRail(item)) return w.VoltageChannel[item].Factor;
  return std::fabs(w.CalRealNegVoltage(static_cast<std::int16_t>(item), 101) -
                   w.CalRealNegVoltage(static_cast<std::int16_t>(item), 100));
}

TEST(Readings, ShownValuesFollowTheSimulatedBoardOnEveryWiring) {
  const auto models = OneBoardPerWiring();
  ASSERT_GE(models.size(), 7u);
  for (const std::string& model : models) {
    SCOPED_TRACE(model);
    auto p = Started(model, 0);
    auto& w = Main(*p);
    // ITE fans are driven by PWM once the channel set-up ran; fan control would set them.
    if (p->G().ChipFamily == kChipFamilyIte) {
      for (std::int16_t fan = 0; fan < 3; ++fan) p->Run([&] { SetFanSpeed(p->Prog(), fan, 100); });
    }
    p->AdvanceMs(4000);
    const Globals& g = p->G();
    auto& physics = p->Machine().Physics();
    ASSERT_GE(p->Prog().MonitoringTicks(), 2u);

    for (int i = 0; i < kVoltageCount; ++i) {
      if (w.WEnable[i] != 1) continue;
      const int input = InputOf(g, i);
      if (physics.Wiring(input).name.empty()) continue;
      SCOPED_TRACE("voltage item " + std::to_string(i) + " " + std::string(physics.Wiring(input).name));
      const double shown = CaptionValue(w.lblStatusV[i].Caption.Get());
      EXPECT_NEAR(shown, physics.RailVolts(input), VoltsPerCount(w, g, i) + 0.006);
      EXPECT_EQ(w.lblStatusV[i].BackColor, forms::kColorGreen) << "a nominal rail is within its limits";
    }

    for (int j = 0; j < kFanCount; ++j) {
      if (w.WEnable[kFirstFanItem + j] != 1) continue;
      const double rpm = physics.FanRpm(j);
      const std::string caption = w.lblFanSpeed[j].Caption;
      SCOPED_TRACE("fan " + std::to_string(j) + " " + caption);
      if (rpm < 100) continue;
      ASSERT_FALSE(caption.empty());
      const int divisor = w.FanChannel[j].Fan_Divisor;
      const double expectedCount = 1350000.0 / (rpm * divisor);
      const double shownCount = 1350000.0 / (CaptionValue(caption) * divisor);
      // One count, plus the tachometer's own jitter.
      EXPECT_NEAR(shownCount, expectedCount, 1.0 + expectedCount * sim::SensorPhysics::kFanJitter);
    }

    // Calibrated boards too: the calibration brings the sensor's reading back to the real
    // temperature (one raw step is up to 1.5 degrees there).
    const bool scaled = boards::TempCalibrationFor(g.ModelName) != nullptr;
    for (int k = 0; k < kTempCount; ++k) {
      if (w.WEnable[kFirstTempItem + k] != 1) continue;
      const int input =
          g.ChipFamily == kChipFamilyWinbond && k > 0 ? boards::TempReadBank(g.ModelName, k) : k;
      SCOPED_TRACE("temperature " + std::to_string(k));
      EXPECT_NEAR(CaptionValue(w.lblStatusT[k].Caption.Get()), physics.TemperatureC(input),
                  scaled ? 1.6 : 1.0);
    }
  }
}

}  // namespace
}  // namespace veltrix::monitor
