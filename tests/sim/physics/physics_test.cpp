#include <gtest/gtest.h>

#include <cmath>

#include "sim/board/board_profile.h"
#include "sim/physics/sensor_physics.h"

namespace veltrix::sim {
namespace {

constexpr std::array<double, kFanInputs> kFull{1.0, 1.0, 1.0};

const BoardProfile& Board() {
  return *FindProfile("ZQ6A-PRO");
}

TEST(SensorPhysics, SameSeedSameWorldOtherSeedOtherNoise) {
  SensorPhysics a(Board(), 42), b(Board(), 42), c(Board(), 43);
  bool differs = false;
  for (int i = 0; i < 50; ++i) {
    a.Advance(100, kFull);
    b.Advance(100, kFull);
    c.Advance(100, kFull);
    for (int n = 0; n < kVoltageInputs; ++n) {
      ASSERT_EQ(a.Inputs().pinVolts[n], b.Inputs().pinVolts[n]);
      differs |= a.Inputs().pinVolts[n] != c.Inputs().pinVolts[n];
    }
    ASSERT_EQ(a.Inputs().fanRpm, b.Inputs().fanRpm);
  }
  EXPECT_TRUE(differs);
}

TEST(SensorPhysics, RailNoiseStaysWithinAFewMillivolts) {
  SensorPhysics p(Board(), 7);
  const RailWiring& w12 = p.Wiring(4);
  for (int i = 0; i < 200; ++i) {
    p.Advance(50, kFull);
    EXPECT_NEAR(p.Inputs().pinVolts[4], w12.PinVolts(12.0), SensorPhysics::kRailNoiseVolts + 1e-12);
  }
  p.SetRailVolts(4, 10.8);
  EXPECT_NEAR(w12.RailVolts(p.Inputs().pinVolts[4]), 10.8, 0.02);
  p.RestoreRail(4);
  EXPECT_NEAR(w12.RailVolts(p.Inputs().pinVolts[4]), 12.0, 0.02);
}

TEST(SensorPhysics, FanFollowsItsOutputWithLagAndStopsAtZero) {
  SensorPhysics p(Board(), 1);
  const double full = Board().fans[0].fullRpm;
  EXPECT_NEAR(p.FanRpm(0), full, 1.0);  // running from power-on
  std::array<double, kFanInputs> drive{0.0, 1.0, 1.0};
  p.Advance(1000, drive);
  EXPECT_GT(p.FanRpm(0), 0.0);  // still coasting after one second
  p.Advance(30000, drive);
  EXPECT_EQ(p.FanRpm(0), 0.0);
  EXPECT_EQ(p.Inputs().fanRpm[0], 0.0);

  drive[0] = SensorPhysics::kHalfSpeedDuty;
  p.Advance(500, drive);
  EXPECT_GT(p.FanRpm(0), 0.0);
  EXPECT_LT(p.FanRpm(0), full * 0.5 * 0.5);  // spin-up takes time
  p.Advance(15000, drive);
  EXPECT_NEAR(p.FanRpm(0), full * 0.5, full * 0.01);
}

TEST(SensorPhysics, FanSpeedCurveSaturatesAndStallsAtTheBottom) {
  EXPECT_EQ(SensorPhysics::SpeedFraction(0.0), 0.0);
  EXPECT_EQ(SensorPhysics::SpeedFraction(SensorPhysics::kStallDuty * 0.9), 0.0);
  EXPECT_NEAR(SensorPhysics::SpeedFraction(SensorPhysics::kHalfSpeedDuty), 0.5, 1e-9);
  // The outputs the program writes for 80 % and 95 % (Winbond 37 and 120 of 255) land near
  // those speeds; full drive is full speed.
  EXPECT_NEAR(SensorPhysics::SpeedFraction(37.0 / 255.0), 0.8, 0.03);
  EXPECT_NEAR(SensorPhysics::SpeedFraction(120.0 / 255.0), 0.95, 0.05);
  EXPECT_EQ(SensorPhysics::SpeedFraction(1.0), 1.0);
  EXPECT_EQ(SensorPhysics::SpeedFraction(7.0), 1.0);
  double last = 0.0;
  for (int d = 0; d <= 255; ++d) {
    const double f = SensorPhysics::SpeedFraction(d / 255.0);
    EXPECT_GE(f, last) << d;
    last = f;
  }
}

TEST(SensorPhysics, StalledFailedAndHeldFans) {
  SensorPhysics p(Board(), 1);
  p.SetFanFault(1, FanFault::kStalled);
  p.Advance(3000, kFull);
  EXPECT_EQ(p.Inputs().fanRpm[1], 0.0);
  p.SetFanFault(1, FanFault::kNone);
  p.Advance(15000, kFull);
  EXPECT_NEAR(p.FanRpm(1), Board().fans[1].fullRpm, 30.0);

  p.SetFanFault(0, FanFault::kFailed);
  EXPECT_EQ(p.Inputs().fanRpm[0], 0.0);  // no pulses at once

  p.HoldFanRpm(2, 1234.0);
  p.Advance(5000, {0.0, 0.0, 0.0});
  EXPECT_EQ(p.Inputs().fanRpm[2], 1234.0);
}

TEST(SensorPhysics, TemperatureRisesWithLoadAndWithoutAirflow) {
  SensorPhysics p(Board(), 3);
  const TempWiring& cpu = Board().temps[0];
  EXPECT_NEAR(p.TemperatureC(0), cpu.ambientC, 0.01);
  p.SetLoadPercent(100);
  p.Advance(cpu.timeConstantS * 1000, kFull);
  double afterOneTau = p.TemperatureC(0);
  EXPECT_NEAR(afterOneTau, cpu.ambientC + cpu.loadRiseC * (1 - std::exp(-1.0)), 0.3);
  p.Advance(cpu.timeConstantS * 10000, kFull);
  EXPECT_NEAR(p.TemperatureC(0), cpu.ambientC + cpu.loadRiseC, 0.1);

  // The CPU fan stops: the CPU heats further.
  p.Advance(cpu.timeConstantS * 10000, {0.0, 1.0, 1.0});
  EXPECT_NEAR(p.TemperatureC(0), cpu.ambientC + cpu.loadRiseC + cpu.stillAirRiseC, 0.2);

  p.HoldTemperature(0, 95.0);
  p.Advance(1000, kFull);
  EXPECT_EQ(p.Inputs().tempC[0], 95.0);
  p.HoldTemperature(0, std::nullopt);
  p.Advance(1000, kFull);
  EXPECT_LT(p.Inputs().tempC[0], 95.0);
}

}  // namespace
}  // namespace veltrix::sim
