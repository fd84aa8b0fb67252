// The fan-speed captions on both chip families: at start-up, and by the rule of each method.
#include <gtest/gtest.h>

#include "monitor/fancontrol/fan_methods.h"
#include "monitor/startup/tray_window.h"
#include "tests/monitor/channels/channel_support.h"
#include "tests/monitor/fancontrol/fan_test_support.h"

namespace veltrix::monitor::fantest {
namespace {

TEST(FanSpeedDisplay, EverySpinningFanShowsItsSpeedAfterStartUp) {
  for (const std::string& model : channeltest::OneBoardPerWiring()) {
    auto p = Started(model);
    p->AdvanceMs(2500);
    const frmdoctor& f = Main(*p);
    for (int j = 0; j < kFanCount; ++j) {
      if (f.WEnable[kFirstFanItem + j] != 1) continue;
      const std::string caption = f.lblFanSpeed[j].Caption;
      if (p->Machine().Physics().FanRpm(j) > 0.0) {
        EXPECT_TRUE(IsNumericCaption(caption)) << model << " fan " << j << ": \"" << caption << "\"";
      } else {
        EXPECT_FALSE(caption.empty()) << model << " fan " << j;
      }
    }
  }
}

class MethodCaptions : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { p = Started(GetParam()); }
  frmdoctor& f() { return Main(*p); }
  // One monitoring tick with the method's percentages fixed (the fan timer is not running).
  void Tick(std::int16_t cpuPercent) {
    f().CpuFanPercent = cpuPercent;
    f().FanTimer.Enabled = false;
    p->AdvanceMs(f().Timer1.Interval);
  }
  std::unique_ptr<SimProgram> p;
};

TEST_P(MethodCaptions, MultiLevelAndSmartShowTheCountUntilTheFullSpeedIsKnown) {
  f().FanControlMethod = kFanMethodSmart;
  f().FullSpeedRpm = {0, 0, 0};
  Tick(30);
  EXPECT_TRUE(IsNumericCaption(f().lblFanSpeed[0].Caption.Get()))
      << "not measured yet: the count is shown, not a blank";
  Tick(0);
  EXPECT_EQ(f().lblFanSpeed[0].Caption.Get(), "fan stop");
}

TEST_P(MethodCaptions, FixedMethodShowsItsShareOfTheFullSpeed) {
  f().FanControlMethod = kFanMethodFixed;
  f().FixCPUFanSpeed = 100;
  f().FullSpeedRpm = {0, 0, 0};
  Tick(100);
  EXPECT_GT(f().FullSpeedRpm[0], 0) << "measured at full output";
  f().FixCPUFanSpeed = 40;
  f().FullSpeedRpm[0] = 4000;
  Tick(40);
  EXPECT_EQ(f().lblFanSpeed[0].Caption.Get(), "1600");
  f().FixCPUFanSpeed = 0;
  Tick(0);
  EXPECT_EQ(f().lblFanSpeed[0].Caption.Get(), "fan stop");
}

TEST_P(MethodCaptions, RecommendedSettingKeepsTheCaptionsCurrent) {
  f().FanControlMethod = kFanMethodRecommended;
  for (int j = 0; j < kFanCount; ++j) f().lblFanSpeed[j].Caption = "";
  Tick(100);
  for (int j = 0; j < kFanCount; ++j) {
    if (f().WEnable[kFirstFanItem + j] == 1 && p->Machine().Physics().FanRpm(j) > 0.0) {
      EXPECT_TRUE(IsNumericCaption(f().lblFanSpeed[j].Caption.Get())) << j;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothChipFamilies, MethodCaptions, ::testing::Values(kWinbond627, kIte));

TEST(FanSpeedDisplay, ShowingTheWindowFromTheTrayMeasuresTheFullSpeedFirst) {
  auto p = Started(kWinbond627);
  frmdoctor& f = Main(*p);
  f.FanControlMethod = kFanMethodSmart;
  f.FullSpeedRpm = {0, 0, 0};
  SetFanSpeed(p->Prog(), 0, 30);
  f.CpuFanPercent = 30;
  const std::int64_t before = p->Scheduler().NowMs();
  f.mnuShow.UserClick();
  EXPECT_TRUE(f.Visible);
  EXPECT_EQ(Output(*p, 0), 255) << "full output for the measurement";
  EXPECT_GE(p->Scheduler().NowMs() - before, 1000) << "the fan had time to spin up";
  EXPECT_GT(f.FullSpeedRpm[0], 0);
  EXPECT_GT(f.FullSpeedRpm[1], 0);
}

}  // namespace
}  // namespace veltrix::monitor::fantest
