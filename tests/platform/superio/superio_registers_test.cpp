// The register names against the chips' data sheets and against real register dumps. The
// program and the simulated chips both take their addresses from these names, so a wrong
// value would go unnoticed by every test that runs one against the other.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "platform/superio/ite_registers.h"
#include "platform/superio/superio_registers.h"
#include "platform/superio/winbond_registers.h"
#include "sim/dump/register_dump.h"

namespace veltrix {
namespace {

constexpr bool Is(winbond::BankedRegister r, int bank, int reg) {
  return r.bank == bank && r.reg == reg;
}

// ---- data-sheet values ------------------------------------------------------------------------

static_assert(superio::kLogicalDeviceSelect == 0x07 && superio::kChipIdByte1 == 0x20 &&
              superio::kChipIdByte2 == 0x21 && superio::kActivate == 0x30 &&
              superio::kBaseAddressHigh == 0x60 && superio::kBaseAddressLow == 0x61);
static_assert(superio::MonitorIndexPort(0x290) == 0x295 && superio::MonitorDataPort(0x295) == 0x296);
static_assert(superio::MonitorIndexPort(0x295) == 0x295, "the base's low three bits are ignored");

static_assert(winbond::kMonitorDevice == 0x0B && ite::kMonitorDevice == 0x04);
static_assert(winbond::kEntryKey == 0x87 && winbond::kExitKey == 0xAA);
static_assert(ite::EntryKeyLast(0x2E) == 0x55 && ite::EntryKeyLast(0x4E) == 0xAA);

// Winbond: bank select, vendor id, chip id.
static_assert(winbond::kBankSelect == 0x4E && winbond::kHbacs == 0x80 && winbond::kBankMask == 0x07);
static_assert(winbond::kVendorId == 0x4F && winbond::kVendorIdValue == 0x5CA3);
static_assert(Is(winbond::kChipId, 0, 0x58) && winbond::kChipIdW83627HF == 0x21 &&
              winbond::kChipIdW83697HF == 0x60 && winbond::kChipIdW83637HF == 0x80);
// Fans: counts, limits, divisor fields and the third divisor bits.
static_assert(winbond::kFanCountBase == 0x28 && winbond::kFanLimitBase == 0x3B);
static_assert(winbond::kFanDivisor == 0x47 && winbond::kFan1DivisorMask == 0x30 &&
              winbond::kFan2DivisorMask == 0xC0);
static_assert(winbond::kPinControl == 0x4B && winbond::kFan3DivisorMask == 0xC0);
static_assert(Is(winbond::kVbatMonitorControl, 0, 0x5D) && winbond::kFan1DivisorBit2 == 0x20 &&
              winbond::kFan3DivisorBit2 == 0x80 && winbond::kVbatMonitorEnable == 0x01);
// Fan outputs: W83627HF bank 0 0x5A/0x5B, W83697HF/W83637HF 0x01/0x03 (and 0x11).
static_assert(Is(winbond::kPwmOut1, 0, 0x5A) && Is(winbond::kPwmOut2, 0, 0x5B));
static_assert(winbond::kPwm1Duty == 0x01 && winbond::kPwm2Duty == 0x03 && winbond::kPwm3Duty == 0x11);
// Voltages, temperatures, limits.
static_assert(winbond::kVoltageBase == 0x20 && winbond::kTemp1 == 0x27);
static_assert(winbond::kVoltageHighLimitBase + 2 * 6 == 0x37 &&
              winbond::kVoltageLowLimitBase + 2 * 6 == 0x38);
static_assert(winbond::kTemp1Over == 0x39 && winbond::kTemp1Hysteresis == 0x3A);
static_assert(Is(winbond::k5Vsb, 5, 0x50) && Is(winbond::kVbat, 5, 0x51) &&
              Is(winbond::k5VsbHighLimit, 5, 0x54) && Is(winbond::kVbatLowLimit, 5, 0x57));
static_assert(winbond::kTemp2Bank == 1 && winbond::kTemp3Bank == 2 && winbond::kTempHigh == 0x50 &&
              winbond::kTempOverHigh == 0x55 && winbond::kTempHysteresisHigh == 0x53);
static_assert(Is(winbond::kTemp1Offset, 4, 0x54) && Is(winbond::kTemp3Offset, 4, 0x56));
// Beep enables, status, chassis.
static_assert(Is(winbond::kBeepControl1, 0, 0x56) && Is(winbond::kBeepControl2, 0, 0x57) &&
              Is(winbond::kBeepControl3, 4, 0x53) && winbond::kGlobalBeepEnable == 0x80);
static_assert(winbond::kConfiguration == 0x40 && winbond::kStart == 0x01 && winbond::kInitialization == 0x80);
static_assert(winbond::kInterruptStatus1 == 0x41 && winbond::kInterruptStatus2 == 0x42 &&
              Is(winbond::kInterruptStatus3, 4, 0x50));
static_assert(winbond::kChassisClear == 0x46 && winbond::kClearCaseOpen == 0x80);
static_assert(winbond::kFanInOutBeepControl == 0x4D && winbond::kBeepPinSelect == 0x80);
static_assert(winbond::kVrmOvtConfig == 0x18 && Is(winbond::kDiodeSelect, 0, 0x59));
// The combined status word: chassis bit 12, temp3 bit 13, in7/in8 bits 16/17, global beep bit 15.
static_assert(winbond::kCaseOpenStatusBit == 12 && winbond::kTempStatusBit[2] == 13 &&
              winbond::kVoltageStatusBit[7] == 16 && winbond::kVoltageStatusBit[8] == 17 &&
              winbond::kGlobalBeepBit == 15 && winbond::kFanStatusBit[2] == 11);
static_assert(1 << (winbond::kCaseOpenStatusBit - 8) == winbond::kCaseOpenStatus);
static_assert(1 << (winbond::kGlobalBeepBit - 8) == winbond::kGlobalBeepEnable);

// ITE.
static_assert(ite::kVendorId == 0x58 && ite::kVendorIdValue == 0x90);
static_assert(ite::kChipIdIT8705F == 0x8705 && ite::kChipIdIT8712F == 0x8712);
static_assert(ite::kConfiguration == 0x00 && ite::kStart == 0x01 && ite::kCaseOpenClear == 0x20 &&
              ite::kUpdateVbat == 0x40);
static_assert(ite::kFanDivisor == 0x0B && ite::kFanCountBase == 0x0D && ite::kFanLimitBase == 0x10);
static_assert(ite::kFanMainControl == 0x13 && ite::kFanControl == 0x14 && ite::kPwmControlBase == 0x15);
static_assert(ite::kVoltageBase == 0x20 && ite::kVbat == 0x28 && ite::kTempBase == 0x29);
static_assert(ite::kVoltageHighLimitBase == 0x30 && ite::kVoltageLowLimitBase == 0x31 &&
              ite::kTempHighLimitBase == 0x40 && ite::kTempLowLimitBase == 0x41);
static_assert(ite::kBeepEnable == 0x5C && ite::kBeepFans == 0x01 && ite::kBeepVoltages == 0x02 &&
              ite::kBeepTemperatures == 0x04);
static_assert(ite::kInterruptStatus1 == 0x01 && ite::kCaseOpenStatus == 1 << ite::kCaseOpenStatusBit);

// ---- real dumps -----------------------------------------------------------------------------------

const std::string kDumpDir = std::string(VELTRIX_TEST_DATA_DIR) + "/register-dumps/";

sim::DumpTable FirstTable(const std::string& file) {
  const sim::DumpParseResult parsed = sim::LoadRegisterDumpFile(kDumpDir + file);
  if (!parsed.dump || parsed.dump->tables.empty()) {
    ADD_FAILURE() << file << ": " << parsed.error;
    return {};
  }
  return parsed.dump->tables.front();
}

int At(const sim::DumpTable& t, int reg) {
  return t.At(reg).value_or(-1);
}

// The 0x80..0xFF half of an isadump table is the second read of each register: a clear-on-read
// register shows 0 there, a latched bit stays.
int SecondRead(const sim::DumpTable& t, int reg) {
  return At(t, 0x80 + reg);
}

TEST(RegisterNames, ReadARealW83627HfAsItsDataSheetDescribes) {
  const sim::DumpTable t = FirstTable("w83627hf-gcu.dump");
  // Bank 0 with HBACS clear: the vendor id's low byte and the chip id.
  EXPECT_EQ(At(t, winbond::kBankSelect) & (winbond::kHbacs | winbond::kBankMask), 0);
  EXPECT_EQ(At(t, winbond::kVendorId), winbond::kVendorIdLowByte);
  EXPECT_EQ(At(t, winbond::kChipId.reg), winbond::kChipIdW83627HF);
  EXPECT_EQ(At(t, winbond::kConfiguration) & winbond::kStart, winbond::kStart);
  // Power-on values: global beep enable, Pentium II diodes, both PWM outputs at full duty.
  EXPECT_EQ(At(t, winbond::kBeepControl2.reg), winbond::kGlobalBeepEnable);
  EXPECT_EQ(At(t, winbond::kDiodeSelect.reg), winbond::kDiodePentiumAll);
  EXPECT_EQ(At(t, winbond::kPwmOut1.reg), 0xFF);
  EXPECT_EQ(At(t, winbond::kPwmOut2.reg), 0xFF);
  // The three fans of this board stood still: count 255 each.
  for (int fan = 0; fan < 3; ++fan) EXPECT_EQ(At(t, winbond::kFanCountBase + fan), 0xFF) << fan;
  // The value RAM alias.
  for (int offset = 0; offset < 0x20; ++offset) {
    const int alias = winbond::kValueRamAlias + offset;
    EXPECT_EQ(At(t, alias), At(t, alias - winbond::kValueRamAliasDistance)) << std::hex << alias;
  }
  // Interrupt status clears on read, except the latched case-open bit.
  EXPECT_NE(At(t, winbond::kInterruptStatus1), 0);
  EXPECT_EQ(SecondRead(t, winbond::kInterruptStatus1), 0);
  EXPECT_EQ(SecondRead(t, winbond::kInterruptStatus2), winbond::kCaseOpenStatus);
}

TEST(RegisterNames, ReadRealIteMonitorsAsTheirDataSheetDescribes) {
  for (const char* file :
       {"it8712f-evenflow.dump", "it8705f-ruik.dump", "it8705f-sewitt.dump", "it8712f-edhel-nopwm.dump"}) {
    SCOPED_TRACE(file);
    const sim::DumpTable t = FirstTable(file);
    EXPECT_EQ(At(t, ite::kVendorId), ite::kVendorIdValue);
    EXPECT_EQ(At(t, ite::kConfiguration) & (ite::kStart | ite::kConfigurationReadsOne),
              ite::kStart | ite::kConfigurationReadsOne);
    EXPECT_EQ(SecondRead(t, ite::kInterruptStatus2), 0) << "clear on read";
    EXPECT_EQ(SecondRead(t, ite::kInterruptStatus3), 0) << "clear on read";
  }
  // This board's case was open: the bit stays across the read.
  const sim::DumpTable open = FirstTable("it8712f-evenflow.dump");
  EXPECT_EQ(At(open, ite::kInterruptStatus1), ite::kCaseOpenStatus);
  EXPECT_EQ(SecondRead(open, ite::kInterruptStatus1), ite::kCaseOpenStatus);
  // Tachometers on, outputs in ON/OFF mode; fan 1 turns at a plausible speed with its divisor.
  EXPECT_EQ(At(open, ite::kFanMainControl), ite::kFanTachEnableMask);
  const int divisor = 1 << (At(open, ite::kFanDivisor) & ite::kFan1DivisorMask);
  const int rpm = 1350000 / (At(open, ite::kFanCountBase) * divisor);
  EXPECT_GT(rpm, 1000);
  EXPECT_LT(rpm, 6000);
}

TEST(RegisterNames, ReadRealIteConfigurationSpaces) {
  for (const auto& [file, id] : {std::pair{"it8712f-edhel-superio.dump", ite::kChipIdIT8712F},
                                 std::pair{"it8705f-khali-superio.dump", ite::kChipIdIT8705F}}) {
    SCOPED_TRACE(file);
    const sim::DumpTable t = FirstTable(file);
    EXPECT_EQ(At(t, superio::kChipIdByte1) << 8 | At(t, superio::kChipIdByte2), id);
    EXPECT_EQ(At(t, superio::kLogicalDeviceSelect), ite::kMonitorDevice);
    EXPECT_EQ(At(t, superio::kActivate) & superio::kActivateBit, superio::kActivateBit);
    const auto base =
        static_cast<std::uint16_t>(At(t, superio::kBaseAddressHigh) << 8 | At(t, superio::kBaseAddressLow));
    EXPECT_EQ(superio::MonitorIndexPort(base), 0x295);
  }
}

}  // namespace
}  // namespace veltrix
