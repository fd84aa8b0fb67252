// ITE environment controller at 0x295/0x296: flat map, conversions, status registers,
// intrusion latch, beep and fan outputs.
#include <gtest/gtest.h>

#include "sim/chip/ite.h"
#include "tests/sim/chip/chip_rig.h"

namespace veltrix::sim {
namespace {

using testing::ChipRig;

AnalogInputs NominalInputs() {
  AnalogInputs in;
  in.pinVolts = {1.5, 2.5, 3.3, 2.98, 3.0, 1.8, 2.2, 3.0, 0.0};
  in.vbatVolts = 3.1;
  in.tempC = {38.0, -5.0, 60.0};
  in.fanRpm = {3375, 2700, 2250};
  return in;
}

TEST(Ite, IdentityAndReadOnlyRegisters) {
  ChipRig rig(ChipModel::IT8712F);
  EXPECT_EQ(rig.Read(0x58), 0x90);
  EXPECT_EQ(rig.Read(0x5B), 0x12);
  rig.Write(0x58, 0x00);
  rig.Write(0x20, 0x00);
  EXPECT_EQ(rig.Read(0x58), 0x90);
  EXPECT_EQ(rig.Read(0xD8), 0x90) << "0x80..0xFF mirror";
  ChipRig it8705(ChipModel::IT8705F);
  EXPECT_EQ(it8705.Read(0x58), 0x90);
  EXPECT_EQ(it8705.Read(0x5B), 0x00);
}

TEST(Ite, ReadingsFollowTheInputsWithinOneCount) {
  ChipRig rig(ChipModel::IT8705F);
  const AnalogInputs in = NominalInputs();
  rig.chip->SetInputs(in);
  for (int n = 0; n < 8; ++n) EXPECT_NEAR(rig.Read(0x20 + n), in.pinVolts[n] / 0.016, 1.0) << "in" << n;
  EXPECT_EQ(rig.Read(0x28), 0x00) << "VBAT waits for the update request";
  rig.Write(0x00, rig.Read(0x00) | 0x41);  // the program's start: START + update VBAT
  rig.chip->RunConversion();
  EXPECT_NEAR(rig.Read(0x28), 3.1 / 0.016, 1.0);
  EXPECT_EQ(rig.Read(0x00) & 0x40, 0) << "one-shot";
  EXPECT_EQ(rig.Read(0x29), 38);
  EXPECT_EQ(rig.Read(0x2A), 0xFB);
  EXPECT_EQ(rig.Read(0x2B), 60);
  // Fans at the power-on divisors 2/2/2.
  EXPECT_EQ(rig.Read(0x0D), 200);
  EXPECT_EQ(rig.Read(0x0E), 250);
  EXPECT_EQ(rig.Read(0x0F), 255) << "2250 rpm is too slow for divisor 2";
  // The program's divisor set-up 0x52: fan1 /4, fan2 /4, fan3 /8.
  rig.Write(0x0B, 0x52);
  rig.chip->RunConversion();
  auto* chip = dynamic_cast<IteChip*>(rig.chip);
  ASSERT_NE(chip, nullptr);
  EXPECT_EQ(chip->FanDivisor(2), 8);
  EXPECT_EQ(rig.Read(0x0D), 100);
  EXPECT_EQ(rig.Read(0x0F), 75);
  // Disabled ADC channel keeps its last value.
  rig.Write(0x50, 0xFE);
  AnalogInputs low = in;
  low.pinVolts[0] = 0.5;
  rig.chip->SetInputs(low);
  EXPECT_NEAR(rig.Read(0x20), 1.5 / 0.016, 1.0);
}

TEST(Ite, StatusClearsOnReadButIntrusionStaysUntilConfigBit5) {
  ChipRig rig(ChipModel::IT8712F);
  AnalogInputs in = NominalInputs();
  in.caseOpen = true;
  rig.chip->SetInputs(in);
  rig.Write(0x31, 200);  // in0 min above the reading
  rig.Write(0x10, 100);  // fan1 limit below its count (200)
  rig.chip->RunConversion();
  EXPECT_EQ(rig.Read(0x01), 0x11) << rig.io.Dump(10);
  EXPECT_EQ(rig.Read(0x02), 0x01);
  EXPECT_EQ(rig.Read(0x81), 0x10) << "fan bit cleared by the read, intrusion latched";
  EXPECT_EQ(rig.Read(0x82), 0x00);
  rig.Write(0x00, rig.Read(0x00) | 0x20);
  EXPECT_EQ(rig.Read(0x01) & 0x10, 0);
  EXPECT_EQ(rig.Read(0x00) & 0x20, 0) << "clear bit reads 0";
  // Temperatures: set above the high limit, released below the low limit.
  rig.Write(0x40, 30);
  rig.Write(0x41, 20);
  rig.chip->RunConversion();
  EXPECT_EQ(rig.Read(0x03) & 0x01, 0x01);
  in.tempC[0] = 25;
  rig.chip->SetInputs(in);
  EXPECT_EQ(rig.Read(0x03) & 0x01, 0x01) << "still above the low limit";
  in.tempC[0] = 15;
  rig.chip->SetInputs(in);
  rig.Read(0x03);
  rig.chip->RunConversion();
  EXPECT_EQ(rig.Read(0x03) & 0x01, 0x00);
}

TEST(Ite, BeepGroupsFollow0x5C) {
  ChipRig rig(ChipModel::IT8705F);
  rig.chip->SetInputs(NominalInputs());
  rig.Write(0x10, 100);  // fan1 too slow
  rig.chip->RunConversion();
  EXPECT_FALSE(rig.chip->BeepOutput());
  rig.Write(0x5C, 0x06);  // voltages and temperatures only
  EXPECT_FALSE(rig.chip->BeepOutput());
  rig.Write(0x5C, 0x01);
  EXPECT_TRUE(rig.chip->BeepOutput());
  rig.Write(0x10, 0xFF);
  rig.chip->RunConversion();
  EXPECT_FALSE(rig.chip->BeepOutput());
}

TEST(Ite, FanOutputsFollowModePolarityAndPwm) {
  ChipRig rig(ChipModel::IT8712F);
  // Power-on: on/off mode, outputs "off", active low: the fans run.
  for (int f = 0; f < 3; ++f) EXPECT_EQ(rig.chip->FanOutput(f), 255);
  rig.Write(0x13, 0x77);  // PWM mode on all three
  rig.Write(0x14, 0xA0);  // active high
  rig.Write(0x15, 47);    // 37 % on the 0..127 scale
  rig.Write(0x16, 0x7F);
  rig.Write(0x17, 0x00);
  EXPECT_NEAR(rig.chip->FanOutput(0), 47 * 255 / 127.0, 1.0);
  EXPECT_EQ(rig.chip->FanOutput(1), 255);
  EXPECT_EQ(rig.chip->FanOutput(2), 0);
  rig.Write(0x17, 0x81);  // automatic mode
  EXPECT_EQ(rig.chip->FanOutput(2), 255);
  // On/off mode, active high, only output 2 on.
  rig.Write(0x13, 0x70);
  rig.Write(0x14, 0x82);
  EXPECT_EQ(rig.chip->FanOutput(0), 0);
  EXPECT_EQ(rig.chip->FanOutput(1), 255);
}

TEST(Ite, InitBitResetsAndStopFreezes) {
  ChipRig rig(ChipModel::IT8712F);
  AnalogInputs in = NominalInputs();
  rig.chip->SetInputs(in);
  rig.Write(0x00, rig.Read(0x00) & 0xFE);
  in.pinVolts[1] = 1.0;
  rig.chip->SetInputs(in);
  EXPECT_NEAR(rig.Read(0x21), 2.5 / 0.016, 1.0);
  rig.Write(0x30, 0x10);
  rig.Write(0x00, 0x80);
  EXPECT_EQ(rig.Read(0x30), 0xFF);
  EXPECT_EQ(rig.Read(0x00) & 0x81, 0x01);
}

}  // namespace
}  // namespace veltrix::sim
