// Winbond hardware-monitor registers at 0x295/0x296: identity, banking, conversions, status
// registers, chassis latch, beep and fan outputs.
#include <gtest/gtest.h>

#include "sim/chip/winbond.h"
#include "tests/sim/chip/chip_rig.h"

namespace veltrix::sim {
namespace {

using testing::ChipRig;

AnalogInputs NominalInputs() {
  AnalogInputs in;
  in.pinVolts = {1.50, 2.50, 3.30, 2.98, 3.16, 1.20, 2.10, 0.0, 0.0};
  in.vsbVolts = 5.0;
  in.vbatVolts = 3.1;
  in.tempC = {40.0, 45.5, -10.0};
  in.fanRpm = {3375, 2700, 0};
  return in;
}

TEST(Winbond, VendorAndChipIdThroughTheProgramsSequence) {
  const std::pair<ChipModel, std::uint8_t> chips[] = {
      {ChipModel::W83627HF, 0x21}, {ChipModel::W83697HF, 0x60}, {ChipModel::W83637HF, 0x80}};
  for (const auto& [model, chipId] : chips) {
    ChipRig rig(model);
    rig.SelectBank(0);
    rig.Write(0x4E, rig.Read(0x4E) | 0x80);
    const int high = rig.Read(0x4F);
    rig.Write(0x4E, rig.Read(0x4E) & 0x7F);
    const int low = rig.Read(0x4F);
    EXPECT_EQ(high << 8 | low, 0x5CA3) << ChipModelName(model) << "\n" << rig.io.Dump(12);
    EXPECT_EQ(rig.Read(0x58), chipId);
    rig.Write(0x58, 0x00);
    rig.Write(0x4F, 0x00);
    EXPECT_EQ(rig.Read(0x58), chipId) << "chip id is read-only";
    EXPECT_EQ(rig.Read(0x4F), 0xA3);
  }
}

TEST(Winbond, BankSelectReachesOnly0x50To0x5FAndKeepsBit7) {
  ChipRig rig(ChipModel::W83627HF);
  rig.chip->SetInputs(NominalInputs());
  rig.Write(0x4E, 0x80);
  rig.SelectBank(1);
  EXPECT_EQ(rig.Read(0x4E), 0x81);
  EXPECT_EQ(rig.Read(0x4F), 0x5C) << "HBACS survives a bank select";
  EXPECT_EQ(rig.Read(0x27), 40) << "0x27 is the same in every bank";
  EXPECT_EQ(rig.Read(0x50), 45) << "bank 1 0x50 = temp2";
  rig.SelectBank(0);
  EXPECT_EQ(rig.Read(0x58), 0x21);
  rig.Write(0x4E, 0xFD);  // reserved bits 6..3 do not stick
  EXPECT_EQ(rig.Read(0x4E), 0x85);
  // The address register is 7 bits: 0xA7 reaches 0x27, and 0x60..0x7F alias the value RAM.
  rig.Out(0x295, 0xA7);
  EXPECT_EQ(rig.In(0x295), 0x27);
  EXPECT_EQ(rig.In(0x296), 40);
  EXPECT_EQ(rig.Read(0x67), 40);
  // The W83627HF has nothing at 0x00..0x1F.
  rig.Write(0x05, 0x12);
  EXPECT_EQ(rig.Read(0x05), 0xFF);
}

TEST(Winbond, ReadingsFollowTheInputsWithinOneCount) {
  ChipRig rig(ChipModel::W83627HF);
  const AnalogInputs in = NominalInputs();
  rig.chip->SetInputs(in);
  for (int n = 0; n < 7; ++n) {
    EXPECT_NEAR(rig.Read(0x20 + n), in.pinVolts[n] / 0.016, 1.0) << "in" << n;
  }
  auto* chip = dynamic_cast<WinbondChip*>(rig.chip);
  ASSERT_NE(chip, nullptr);
  EXPECT_NEAR(rig.BankRead(5, 0x50), 5.0 * chip->VsbRatio() / 0.016, 1.0) << "5VSB";
  EXPECT_EQ(rig.BankRead(5, 0x51), 0x00) << "VBAT is not converted until 0x5D bit 0 is set";
  rig.SelectBank(0);
  rig.Write(0x5D, rig.Read(0x5D) | 0x01);
  rig.chip->RunConversion();
  EXPECT_NEAR(rig.BankRead(5, 0x51), 3.1 / 0.016, 1.0);

  // Temperatures: temp1 signed whole degrees, temp2/3 nine bits in half degrees.
  EXPECT_EQ(rig.BankRead(0, 0x27), 40);
  EXPECT_EQ(rig.BankRead(1, 0x50), 45);
  EXPECT_EQ(rig.BankRead(1, 0x51), 0x80);
  EXPECT_EQ(rig.BankRead(2, 0x50), 0xF6);  // -10.0
  EXPECT_EQ(rig.BankRead(2, 0x51), 0x00);

  // Fans: 1350000 / (rpm * divisor); the power-on divisor is 2; a stopped fan counts 255.
  rig.SelectBank(0);
  EXPECT_EQ(rig.Read(0x28), 200);
  EXPECT_EQ(rig.Read(0x29), 250);
  EXPECT_EQ(rig.Read(0x2A), 255);
  // Divisor 8 for fan1 through 0x47 bits 5:4 = 3; then 0x5D bit 5 makes it 128.
  rig.Write(0x47, (rig.Read(0x47) & 0xCF) | 0x30);
  rig.chip->RunConversion();
  EXPECT_EQ(rig.Read(0x28), 50);
  rig.Write(0x5D, rig.Read(0x5D) | 0x20);
  rig.chip->RunConversion();
  EXPECT_EQ(chip->FanDivisor(0), 128);
  EXPECT_EQ(rig.Read(0x28), 3);
  AnalogInputs slow = in;
  slow.fanRpm[0] = 30;  // 1350000 / (30 * 128) = 351: beyond the 8-bit counter
  rig.chip->SetInputs(slow);
  EXPECT_EQ(rig.Read(0x28), 255);
  rig.chip->SetInputs(in);

  // Saturation and the temperature offset of bank 4.
  AnalogInputs hot = in;
  hot.pinVolts[0] = 9.0;
  hot.tempC[0] = 200;
  rig.chip->SetInputs(hot);
  EXPECT_EQ(rig.BankRead(0, 0x20), 255);
  EXPECT_EQ(rig.Read(0x27), 127);
  rig.SelectBank(4);
  rig.Write(0x55, static_cast<std::uint8_t>(-5));
  rig.chip->RunConversion();
  EXPECT_EQ(rig.BankRead(1, 0x50), 40) << "offset -5 applied to temp2";
}

TEST(Winbond, ChipVariantsDifferAsTheRealParts) {
  ChipRig w637(ChipModel::W83637HF);
  AnalogInputs in = NominalInputs();
  in.pinVolts[0] = 1.5;
  w637.chip->SetInputs(in);
  EXPECT_NEAR(w637.Read(0x20), 1.5 / 0.016, 1.0);
  w637.Write(0x18, 0x01);  // VRM9 scaling: 4.88 mV per count above 0.7 V
  w637.chip->RunConversion();
  EXPECT_NEAR(w637.Read(0x20), (1500 - 700) / 4.88, 1.0);
  w637.Write(0x11, 0x40);
  EXPECT_EQ(w637.chip->FanOutput(2), 0x40);

  ChipRig w697(ChipModel::W83697HF);
  w697.chip->SetInputs(in);
  EXPECT_EQ(w697.Read(0x2A), 0xFF) << "no fan3";
  w697.Write(0x01, 0x80);
  w697.Write(0x03, 0x10);
  EXPECT_EQ(w697.chip->FanOutput(0), 0x80);
  EXPECT_EQ(w697.chip->FanOutput(1), 0x10);
  EXPECT_EQ(w697.Read(0x47) & 0x0F, 0) << "no VID inputs";

  ChipRig w627(ChipModel::W83627HF);
  w627.Write(0x5A, 0x33);
  w627.Write(0x5B, 0x00);
  EXPECT_EQ(w627.chip->FanOutput(0), 0x33);
  EXPECT_EQ(w627.chip->FanOutput(1), 0x00);
  EXPECT_EQ(w627.chip->FanOutput(2), 0xFF) << "fan3 has no output and runs";
}

TEST(Winbond, InterruptStatusClearsOnReadAndComesBackWhileTheFaultLasts) {
  ChipRig rig(ChipModel::W83627HF);
  rig.chip->SetInputs(NominalInputs());
  rig.SelectBank(0);
  rig.Write(0x2C, 100);  // in0 low limit above the 1.5 V reading (94)
  rig.Write(0x3B, 150);  // fan1 limit below its count (200): too slow
  EXPECT_EQ(rig.Read(0x41), 0x00) << "nothing before the next conversion";
  rig.chip->RunConversion();
  EXPECT_EQ(rig.Read(0x41), 0x41) << rig.io.Dump(8);
  EXPECT_EQ(rig.Read(0xC1), 0x00) << "mirror read after the first read sees it cleared";
  EXPECT_EQ(rig.BankRead(4, 0x59), 0x41) << "real-time status is not cleared";
  rig.chip->RunConversion();
  EXPECT_EQ(rig.BankRead(0, 0x41), 0x41);
  rig.Write(0x2C, 0);
  rig.Write(0x3B, 255);
  rig.chip->RunConversion();
  EXPECT_EQ(rig.Read(0x41), 0x00);
  // Raw access for dump loading bypasses the clear.
  rig.chip->SetRegister(0, 0x41, 0x81);
  EXPECT_EQ(rig.chip->GetRegister(0, 0x41), 0x81);
  EXPECT_EQ(rig.chip->GetRegister(0, 0x41), 0x81);
}

TEST(Winbond, CaseOpenLatchSurvivesReadsUntilClearedThroughRegister46) {
  ChipRig rig(ChipModel::W83697HF);
  AnalogInputs in = NominalInputs();
  in.caseOpen = true;
  rig.chip->SetInputs(in);
  rig.SelectBank(0);
  EXPECT_EQ(rig.Read(0x42) & 0x10, 0x10);
  EXPECT_EQ(rig.Read(0x42) & 0x10, 0x10) << "intrusion is latched, not clear-on-read";
  // The program's clear: 0x46 | 0x80 written twice.
  const std::uint8_t v = rig.Read(0x46) | 0x80;
  rig.Write(0x46, v);
  rig.Write(0x46, v);
  EXPECT_EQ(rig.Read(0x42) & 0x10, 0);
  EXPECT_EQ(rig.Read(0x46) & 0x80, 0) << "clear bit is self-clearing";
  rig.chip->RunConversion();  // switch still open: no new event
  EXPECT_EQ(rig.Read(0x42) & 0x10, 0);
  in.caseOpen = false;
  rig.chip->SetInputs(in);
  in.caseOpen = true;
  rig.chip->SetInputs(in);
  EXPECT_EQ(rig.Read(0x42) & 0x10, 0x10) << "opened again";
}

TEST(Winbond, BeepOutputNeedsTheItemBitTheGlobalEnableAndTheBeepPin) {
  ChipRig rig(ChipModel::W83627HF);
  rig.chip->SetInputs(NominalInputs());
  rig.SelectBank(0);
  rig.Write(0x57, 0x80);
  rig.Write(0x56, 0x01);  // in0
  rig.chip->RunConversion();
  EXPECT_FALSE(rig.chip->BeepOutput()) << "in0 within limits";
  rig.Write(0x2B, 50);  // in0 high limit below the reading
  rig.chip->RunConversion();
  EXPECT_TRUE(rig.chip->BeepOutput());
  rig.Write(0x57, 0x00);
  EXPECT_FALSE(rig.chip->BeepOutput()) << "global enable off";
  rig.Write(0x57, 0x80);
  rig.Write(0x4D, rig.Read(0x4D) & 0x7F);
  EXPECT_FALSE(rig.chip->BeepOutput()) << "pin routed away from BEEP";
  rig.Write(0x4D, rig.Read(0x4D) | 0x80);
  rig.Write(0x56, 0x00);
  EXPECT_FALSE(rig.chip->BeepOutput()) << "item bit off";
  // 5VSB (in7) through bank 4 0x53 bit 0; limits in bank 5.
  rig.SelectBank(5);
  rig.Write(0x54, 10);
  rig.chip->RunConversion();
  EXPECT_FALSE(rig.chip->BeepOutput());
  rig.SelectBank(4);
  rig.Write(0x53, 0x01);
  EXPECT_TRUE(rig.chip->BeepOutput());
  EXPECT_EQ(rig.Read(0x50), 0x01) << "interrupt status 3";
  EXPECT_EQ(rig.Read(0x50), 0x00);
  // The chassis latch beeps through 0x57 bit 4.
  rig.Write(0x53, 0x00);
  AnalogInputs in = NominalInputs();
  in.caseOpen = true;
  rig.chip->SetInputs(in);
  rig.SelectBank(5);
  rig.Write(0x54, 0xFF);
  rig.chip->RunConversion();
  rig.SelectBank(0);
  rig.Write(0x57, 0x90);
  EXPECT_TRUE(rig.chip->BeepOutput());
}

TEST(Winbond, Temp1AlarmsOnCrossingAndAgainBelowHysteresis) {
  ChipRig rig(ChipModel::W83627HF);
  AnalogInputs in = NominalInputs();
  rig.chip->SetInputs(in);
  rig.SelectBank(0);
  rig.Write(0x39, 50);
  rig.Write(0x3A, 45);
  in.tempC[0] = 55;
  rig.chip->SetInputs(in);
  EXPECT_EQ(rig.Read(0x41) & 0x10, 0x10);
  rig.chip->SetInputs(in);
  EXPECT_EQ(rig.Read(0x41) & 0x10, 0) << "one event per crossing";
  in.tempC[0] = 47;
  rig.chip->SetInputs(in);
  EXPECT_EQ(rig.Read(0x41) & 0x10, 0) << "between hysteresis and limit: no event";
  in.tempC[0] = 40;
  rig.chip->SetInputs(in);
  EXPECT_EQ(rig.Read(0x41) & 0x10, 0x10);
}

TEST(Winbond, StartBitFreezesReadingsAndInitRestoresPowerOnValues) {
  ChipRig rig(ChipModel::W83627HF);
  AnalogInputs in = NominalInputs();
  rig.chip->SetInputs(in);
  rig.SelectBank(0);
  rig.Write(0x40, rig.Read(0x40) & 0xFE);
  in.pinVolts[2] = 2.0;
  rig.chip->SetInputs(in);
  EXPECT_NEAR(rig.Read(0x22), 3.3 / 0.016, 1.0);
  rig.Write(0x40, rig.Read(0x40) | 0x01);
  EXPECT_NEAR(rig.Read(0x22), 2.0 / 0.016, 1.0);

  rig.Write(0x2B, 0x12);
  rig.Write(0x4E, 0x04);
  rig.Write(0x40, 0x80);
  EXPECT_EQ(rig.Read(0x2B), 0xFF);
  EXPECT_EQ(rig.Read(0x4E), 0x80);
  EXPECT_EQ(rig.Read(0x40), 0x01) << "INIT self-clears";
}

TEST(Winbond, LoadedDumpIsHeldAndDrivesTheAlarms) {
  ChipRig rig(ChipModel::W83627HF);
  std::vector<std::uint8_t> dump(256, 0x00);
  dump[0x20] = 0x70;
  dump[0x2B] = 0x60;  // in0 above its high limit in the dump
  dump[0x40] = 0x01;
  dump[0x4E] = 0x00;
  dump[0x57] = 0x80;
  dump[0x56] = 0x01;
  dump[0x4D] = 0x95;
  dump[0xA0] = 0x33;  // mirror half is ignored
  rig.chip->HoldReadings(true);
  rig.chip->LoadRegisters(0, dump);
  rig.chip->SetInputs(NominalInputs());
  EXPECT_EQ(rig.Read(0x20), 0x70);
  EXPECT_TRUE(rig.chip->BeepOutput());
}

}  // namespace
}  // namespace veltrix::sim
