// The step rules of the smart and multiple-level methods at their bounds.
#include <gtest/gtest.h>

#include "monitor/fancontrol/fan_methods.h"
#include "tests/monitor/fancontrol/fan_test_support.h"

namespace veltrix::monitor::fantest {
namespace {

class SmartMethod : public ::testing::Test {
 protected:
  void SetUp() override {
    f().FanControlEnabled = true;
    f().FanControlMethod = kFanMethodSmart;
    f().SmartCPUFanDefault = 41.0F;
    f().SmartSystemFanDefault = 31.0F;
  }
  frmdoctor& f() { return Main(*p); }
  // One adjustment: the CPU fan from `cpuPercent` at `last` -> `now` (°C), the system fan idle.
  int CpuAfter(int cpuPercent, float last, const std::string& now) {
    f().SmartCpuPercent = static_cast<std::int16_t>(cpuPercent);
    f().LastCpuTemp = last;
    f().LastSystemTemp = 20.0F;
    f().SmartTickCount = 6;
    SetTemperatures(*p, "20.0", now);
    f().SmartFanControl();
    return f().SmartCpuPercent;
  }
  int SystemAfter(int systemPercent, float last, const std::string& now) {
    f().SmartSystemPercent = static_cast<std::int16_t>(systemPercent);
    f().LastSystemTemp = last;
    f().LastCpuTemp = 30.0F;
    f().SmartTickCount = 6;
    SetTemperatures(*p, now, "30.0");
    f().SmartFanControl();
    return f().SmartSystemPercent;
  }
  std::unique_ptr<SimProgram> p = Started(kWinbond627);
};

TEST_F(SmartMethod, CpuFanStepsAndFloors) {
  EXPECT_EQ(CpuAfter(80, 42.0F, "43.0"), 100) << "rising above the target";
  EXPECT_EQ(CpuAfter(40, 40.5F, "41.0"), 70) << "rising onto the target counts";
  EXPECT_EQ(CpuAfter(40, 38.0F, "40.5"), 40) << "rising below the target: kept";
  EXPECT_EQ(CpuAfter(40, 42.0F, "42.0"), 40) << "steady above the target: kept";
  EXPECT_EQ(CpuAfter(40, 41.0F, "41.0"), 20) << "steady on the target: lowered";
  EXPECT_EQ(CpuAfter(20, 40.0F, "39.0"), 0);
  EXPECT_EQ(CpuAfter(30, 40.0F, "39.0"), 10);
  EXPECT_EQ(CpuAfter(0, 44.0F, "43.0"), 10) << "2 above and falling: the first floor";
  EXPECT_EQ(CpuAfter(0, 46.0F, "45.0"), 50) << "4 above";
  EXPECT_EQ(CpuAfter(70, 48.5F, "48.0"), 100) << "7 above";
  EXPECT_EQ(CpuAfter(70, 45.0F, "44.0"), 50) << "exactly 3 above is not more than 3";
}

TEST_F(SmartMethod, SystemFanRisesOnAnyRise) {
  EXPECT_EQ(SystemAfter(10, 25.0F, "26.0"), 40) << "below its target too";
  EXPECT_EQ(SystemAfter(40, 33.0F, "33.0"), 40) << "steady above the target: kept";
  EXPECT_EQ(SystemAfter(0, 40.0F, "38.0"), 100) << "falling, but 7 above";
}

TEST_F(SmartMethod, AdjustsOnTheFirstCallThenEverySixth) {
  f().SmartTickCount = 6;
  f().SmartCpuPercent = 40;
  f().LastCpuTemp = 45.0F;
  f().LastSystemTemp = 20.0F;
  SetTemperatures(*p, "20.0", "46.0");
  f().SmartFanControl();
  EXPECT_EQ(f().SmartCpuPercent, 70);
  EXPECT_EQ(Output(*p, 0), 24) << "70 % on a Winbond chip";
  EXPECT_EQ(f().CpuFanPercent, 70);
  SetTemperatures(*p, "20.0", "48.0");
  for (int call = 0; call < 5; ++call) {
    f().SmartFanControl();
    EXPECT_EQ(f().SmartCpuPercent, 70) << call;
  }
  f().SmartFanControl();
  EXPECT_EQ(f().SmartCpuPercent, 100);
  EXPECT_FLOAT_EQ(f().LastCpuTemp, 48.0F);
}

TEST(MultipleLevel, PointSelectionAtTheThresholds) {
  const std::array<float, 6> t{25.0F, 30.0F, 35.0F, 40.0F, 45.0F, 50.0F};
  EXPECT_EQ(MultiLevelPoint(t, 25.0F), 0);
  EXPECT_EQ(MultiLevelPoint(t, 25.1F), 1);
  EXPECT_EQ(MultiLevelPoint(t, 45.0F), 4);
  EXPECT_EQ(MultiLevelPoint(t, 45.1F), 5);
  EXPECT_EQ(MultiLevelPoint(t, 70.0F), 5);
  EXPECT_EQ(MultiLevelPoint(t, -10.0F), 0);
  // The sixth threshold never takes part.
  std::array<float, 6> low = t;
  low[5] = 45.5F;
  EXPECT_EQ(MultiLevelPoint(low, 47.0F), 5);
  low[5] = 10.0F;
  EXPECT_EQ(MultiLevelPoint(low, 20.0F), 0);
}

TEST(MultipleLevel, EachFanFollowsItsOwnCurveAndTemperature) {
  auto p = Started(kWinbond697);
  frmdoctor& f = Main(*p);
  f.MultiCPUFanSpeed = {20, 40, 60, 80, 90, 100};
  f.MultiSystemFanSpeed = {0, 5, 10, 15, 20, 25};
  f.AllTempPath = 0;
  f.ItemPresent[kFirstTempItem + 2] = 0;
  f.lblFanSpeed[0].Caption = "4800";
  f.lblFanSpeed[1].Caption = "2600";
  SetTemperatures(*p, "31.0", "25.1", "99.0");
  f.MultiFanControl();
  EXPECT_EQ(f.CpuFanPercent, 40);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x01), 15) << "40 % on a Winbond chip";
  EXPECT_EQ(f.SystemFanPercent, 10);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x03), 12);

  // A board with a third temperature item that the all-temperature routine does not read:
  // the CPU fan follows that one.
  f.ItemPresent[kFirstTempItem + 2] = 1;
  f.MultiFanControl();
  EXPECT_EQ(f.CpuFanPercent, 100);
  f.AllTempPath = -1;
  f.MultiFanControl();
  EXPECT_EQ(f.CpuFanPercent, 40);

  // A fan shown as stopped counts as 0 % for the display.
  f.lblFanSpeed[1].Caption = "fan stop";
  f.MultiFanControl();
  EXPECT_EQ(f.SystemFanPercent, 0);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x03), 12) << "the output is written all the same";
}

}  // namespace
}  // namespace veltrix::monitor::fantest
