// Fan and temperature channels: limits, stopped fans, the low-limit spinner, fan output and the
// temperature readings and rules.
#include <gtest/gtest.h>

#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "tests/monitor/channels/channel_support.h"

namespace veltrix::monitor {
namespace {

using channeltest::Main;
using channeltest::Started;

bool Loaded(testsupport::SimProgram& p, const char* form) {
  const forms::Form* f = p.App().FindForm(form);
  return f != nullptr && f->IsLoaded();
}

TEST(Fan, LimitCaptionAndSpinner) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  ASSERT_EQ(w.FanChannel[0].Fan_Divisor, 4);
  EXPECT_EQ(w.lblFanLoLimit[0].Caption.Get(), "2265");  // 1350000 / (4 × 149)
  EXPECT_EQ(w.updFanLoLimit[0].Value, 255 - 149);

  w.updFanLoLimit[0].Value = 253;  // snaps back
  EXPECT_EQ(w.updFanLoLimit[0].Value, 252);
  EXPECT_EQ(w.FanChannel[0].Fan_Limit, 3);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x3B), 3);
  EXPECT_EQ(w.lblFanLoLimit[0].Caption.Get(), std::to_string(RoundHalfEven(1350000.0 / 12)));
}

TEST(Fan, AFanStoppedAtSetUpGetsItsStoredLimitBackWhenItRuns) {
  testsupport::SimProgram p("ZT50E");
  p.Machine().InjectGarbage(0, 0x29, 255);
  ASSERT_EQ(p.Start(), std::nullopt);
  auto& w = Main(p);
  EXPECT_EQ(w.lblFanSpeed[1].Caption.Get(), "fan off");
  EXPECT_EQ(w.lblFanLoLimit[1].Caption.Get(), "1324");  // 1350000 / (4 × 255)
  EXPECT_EQ(p.Machine().Chip().GetRegister(0, 0x3C), 255);
  EXPECT_FALSE(w.updFanLoLimit[1].Enabled);
  p.Machine().ClearGarbage(0, 0x29);
  p.AdvanceMs(3000);
  EXPECT_TRUE(w.updFanLoLimit[1].Enabled);
  EXPECT_EQ(w.FanChannel[1].Fan_Limit, 149);
  EXPECT_EQ(p.Machine().Chip().GetRegister(0, 0x3C), 149);
  EXPECT_EQ(w.lblFanLoLimit[1].Caption.Get(), "2265");
}

TEST(Fan, CountAtTheLimitIsInRangeOneMoreIsNot) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  p->Machine().InjectGarbage(0, 0x28, 149);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblFanSpeed[0].BackColor, forms::kColorGreen);
  p->Machine().InjectGarbage(0, 0x28, 150);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblFanSpeed[0].BackColor, forms::kColorRed);
}

TEST(Fan, AStoppedFanAlarmsEveryTickAndAZeroCountEndsTheFanCheck) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  p->Machine().InjectGarbage(0, 0x29, 255);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblFanSpeed[1].Caption.Get(), "fan off");
  EXPECT_EQ(w.lblFanSpeed[1].BackColor, forms::kColorRed);
  EXPECT_FALSE(w.updFanLoLimit[1].Enabled);
  EXPECT_EQ(w.SystemFanPercent, 0);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblFanSpeed[1].BackColor, forms::kColorRed) << "still alarmed while stopped";

  // Running again: the spinner comes back and refreshes the limit register.
  p->Machine().ClearGarbage(0, 0x29);
  p->Machine().Chip().SetRegister(0, 0x3C, 0);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_TRUE(w.updFanLoLimit[1].Enabled);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x3C), w.FanChannel[1].Fan_Limit);

  // Count 0 on fan 0: fans 1 and 2 are not looked at this tick.
  p->Machine().InjectGarbage(0, 0x28, 0);
  p->Machine().InjectGarbage(0, 0x29, 255);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblFanSpeed[1].BackColor, forms::kColorGreen);
}

TEST(Fan, UnderFanControlAStopIsNotedOnceAndNotAlarmed) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  w.FanControlEnabled = true;
  p->Machine().InjectGarbage(0, 0x29, 255);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.LastFanCount[1], 255);
  EXPECT_EQ(w.FanStopLatch[1], 0);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblFanSpeed[1].BackColor, forms::kColorGreen);
}

TEST(Fan, AFanDeadFromPowerOnAlarmsOnEveryTickAndAgainAfterLoadDefault) {
  testsupport::SimProgram p("ZT50E");
  p.Machine().SetFanFault(*p.Machine().FindFan("SYS"), sim::FanFault::kFailed);
  ASSERT_EQ(p.Start(), std::nullopt);
  auto& w = Main(p);
  for (int tick = 0; tick < 3; ++tick) {
    p.AdvanceMs(w.Timer1.Interval);
    EXPECT_EQ(w.lblFanSpeed[1].BackColor, forms::kColorRed) << "tick " << tick;
    EXPECT_TRUE(Loaded(p, "frmFan2")) << "tick " << tick;
  }
  // Load Default unloads the dialog and starts stop detection over: the fan alarms again.
  w.cmdDefault.UserClick();
  EXPECT_EQ(w.LastFanCount[1], 0);
  p.AdvanceMs(w.Timer1.Interval);
  EXPECT_TRUE(Loaded(p, "frmFan2"));
}

TEST(Fan, FanControlQuietsSlowFansInTheChannelButAStopWithoutControlAlarms) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  // A fan-control dialog in use: a slow fan is intended.
  w.FanDialogOpen = true;
  p->Machine().InjectGarbage(0, 0x29, 200);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblFanSpeed[1].BackColor, forms::kColorGreen);
  EXPECT_FALSE(Loaded(*p, "frmFan2"));
  // With control itself off, a stopped fan is a failure even while the flag is left set.
  p->Machine().InjectGarbage(0, 0x29, 255);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblFanSpeed[1].BackColor, forms::kColorRed);
  EXPECT_TRUE(Loaded(*p, "frmFan2"));
}

TEST(Fan, SpeedsAndLimitsUseTheDivisorTheChipCountsWithNotAStoredOne) {
  for (const char* model : {"ZT50E", "ZR45"}) {
    SCOPED_TRACE(model);
    testsupport::SimProgram first(model);
    ASSERT_EQ(first.Start(), std::nullopt);
    testsupport::SimProgram p(model);
    for (const platform::RegistryEntry& e : first.Registry().AllValues()) {
      platform::HKey key = 0;
      ASSERT_EQ(p.Registry().RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, e.keyPath, &key), 0);
      std::vector<std::uint8_t> data = e.value.data;
      if (e.name.rfind("Fan_Divisor", 0) == 0) data = {2, 0, 0, 0};
      p.Registry().RegSetValueExA(key, e.name, e.value.type, data.data(),
                                  static_cast<std::uint32_t>(data.size()));
      p.Registry().RegCloseKey(key);
    }
    ASSERT_EQ(p.Start(), std::nullopt);
    auto& w = Main(p);
    const bool ite = p.G().ChipFamily == kChipFamilyIte;
    EXPECT_EQ(w.FanChannel[0].Fan_Divisor, 4);
    EXPECT_EQ(w.FanChannel[2].Fan_Divisor, ite ? 8 : 4);
    EXPECT_EQ(w.lblFanLoLimit[0].Caption.Get(), "2265");
    if (ite) {
      for (std::int16_t fan = 0; fan < kFanCount; ++fan) p.Run([&] { SetFanSpeed(p.Prog(), fan, 100); });
    }
    p.AdvanceMs(5000);
    const double shown = CaptionValue(w.lblFanSpeed[2].Caption.Get());
    EXPECT_NEAR(shown, p.Machine().Physics().FanRpm(2), 0.05 * shown) << "fan 2 reads its real speed";
  }
}

TEST(FanOutput, PercentTablesRegistersAndBadFanNumbers) {
  auto wb = Started("ZT50E", 0);
  wb->Run([&] { SetFanSpeed(wb->Prog(), 0, 37); });
  EXPECT_EQ(wb->Machine().Chip().GetRegister(0, 0x5A), 37);
  wb->Run([&] { SetFanSpeed(wb->Prog(), 1, 95); });
  EXPECT_EQ(wb->Machine().Chip().GetRegister(0, 0x5B), 120);
  wb->Run([&] { SetFanSpeed(wb->Prog(), 3, 50); });
  EXPECT_EQ(wb->Answers().CountWithText("Invalid Fan number !"), 1);

  auto ite = Started("ZR61", 0);
  ite->Run([&] { SetFanSpeed(ite->Prog(), 0, 37); });
  EXPECT_EQ(ite->Machine().Chip().GetRegister(0, 0x15), 47);  // int(37 × 1.275)
  ite->Run([&] { SetFanSpeed(ite->Prog(), 2, 100); });
  EXPECT_EQ(ite->Machine().Chip().GetRegister(0, 0x17), 100);
  EXPECT_EQ(Main(*ite).FanChannel[2].Fan_Divisor, 8);
  EXPECT_EQ(FanAnimationFile(0), "/GIF/fan0.gif");
  EXPECT_EQ(FanAnimationFile(20), "/GIF/fan5.gif");
  EXPECT_EQ(FanAnimationFile(81), "/GIF/fan1.gif");
}

TEST(FanOutput, MultiLevelCaptionEstimatesAtLowOutput) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  w.FanControlMethod = kFanMethodMultiLevel;
  w.CpuFanPercent = 30;
  w.FullSpeedRpm[0] = 4500;
  w.ProcessFanForMultiMethod(0, 100);
  EXPECT_EQ(w.lblFanSpeed[0].Caption.Get(), "1350");
  w.CpuFanPercent = 80;
  w.ProcessFanForMultiMethod(0, 40);  // 8437 rpm: counting noise, ignored
  EXPECT_EQ(w.lblFanSpeed[0].Caption.Get(), "1350");
}

TEST(Temperature, WinbondHalfDegreesAndSignedWholeDegrees) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  if (boards::TempCalibrationFor("ZT50E") != nullptr) GTEST_SKIP() << "calibrated board";
  const int bank = boards::TempReadBank("ZT50E", 1);
  p->Machine().InjectGarbage(bank, 0x50, 45);
  p->Machine().InjectGarbage(bank, 0x51, 0x80);
  p->Machine().InjectGarbage(0, 0x27, 0xF6);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[1].Caption.Get(), "45.5");
  EXPECT_EQ(w.lblStatusT[0].Caption.Get(), "-10.0");
  p->Machine().InjectGarbage(bank, 0x51, 0x81);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[1].Caption.Get(), "45.0");
}

TEST(Temperature, HighLimitIsInclusiveAndTheRecommendedMethodSilencesIt) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  if (boards::TempCalibrationFor("ZT50E") != nullptr) GTEST_SKIP() << "calibrated board";
  w.updTempHiLimit[0].Value = 100;
  EXPECT_EQ(w.lblTempHiLimit[0].Caption.Get(), "100.00");
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x39), 100);
  p->Machine().InjectGarbage(0, 0x27, 100);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[0].BackColor, forms::kColorGreen);
  p->Machine().InjectGarbage(0, 0x27, 101);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[0].BackColor, forms::kColorRed);
  w.FanControlMethod = kFanMethodRecommended;
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[0].BackColor, forms::kColorGreen);
}

TEST(Temperature, WinbondLowLimitWritesHalfDegreeRegisters) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  w.updTempLoLimit[1].Value = 119;
  EXPECT_FLOAT_EQ(w.TempChannel[1].Temp_LoLimit, 59.5F);
  EXPECT_EQ(p->Machine().Chip().GetRegister(1, 0x53), 59);
  EXPECT_EQ(p->Machine().Chip().GetRegister(1, 0x54), 0x80);
}

TEST(Temperature, EveryIteTemperatureHasItsLimitsInTheChip) {
  auto p = Started("ZR61");
  auto& w = Main(*p);
  // The third temperature's pair too, so the chip's temperature beep trips where the row does.
  w.updTempHiLimit[2].Value = 70;
  EXPECT_EQ(w.lblTempHiLimit[2].Caption.Get(), "70.00");
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x44), 70);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x45), 70);
  w.updTempHiLimit[0].Value = 70;
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x40), 70);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x41), 70);
}

}  // namespace
}  // namespace veltrix::monitor
