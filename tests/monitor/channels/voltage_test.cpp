// Voltage conversions, limit windows and the limit spin controls, down to the chip registers.
#include <gtest/gtest.h>

#include "monitor/channels/number_format.h"
#include "tests/monitor/channels/channel_support.h"

namespace veltrix::monitor {
namespace {

using channeltest::Main;
using channeltest::Started;

TEST(Voltage, VcoreGaugeIsCappedAt255AndTheWindowEndsAreInRange) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  // 4.1 V / 0.016 = 256.25 -> 256, capped.
  EXPECT_EQ(w.SldVoltage[0].Max, 255);
  EXPECT_EQ(w.updHiLimit[0].Max, 255);
  EXPECT_EQ(w.SldVoltage[0].Min, 62);    // 1 / 0.016 = 62.5 -> 62
  const int hi = w.updHiLimit[0].Value;  // 2.1 / 0.016 = 131.25 -> 131
  const int lo = w.updLoLimit[0].Value;  // 1.2 / 0.016 = 75
  EXPECT_EQ(hi, 131);
  EXPECT_EQ(lo, 75);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x2B), 131);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x2C), 75);
  EXPECT_EQ(w.LblHiLimit[0].Caption.Get(), "2.10");

  p->Machine().InjectGarbage(0, 0x20, static_cast<std::uint8_t>(hi));
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[0].BackColor, forms::kColorGreen);
  p->Machine().InjectGarbage(0, 0x20, static_cast<std::uint8_t>(hi + 1));
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[0].BackColor, forms::kColorRed);
  p->Machine().InjectGarbage(0, 0x20, static_cast<std::uint8_t>(lo));
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[0].BackColor, forms::kColorGreen);
  p->Machine().InjectGarbage(0, 0x20, static_cast<std::uint8_t>(lo - 1));
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[0].BackColor, forms::kColorRed);
}

TEST(Voltage, ACountBelowTheGaugeIsShownAsReadNotAsTheGaugeEnd) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  p->Machine().InjectGarbage(0, 0x20, 10);  // 0.16 V, far below the gauge's 1 V end
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[0].Caption.Get(), "0.16");
  EXPECT_EQ(w.SldVoltage[0].Value, w.SldVoltage[0].Min) << "the gauge itself clamps";
  EXPECT_EQ(w.lblStatusV[0].BackColor, forms::kColorRed);
}

TEST(Voltage, UpdatedDdrWiringNegativeRailAtBothEnds) {
  auto p = Started("ZR61");  // variant 4: -12V on input 7
  auto& w = Main(*p);
  ASSERT_EQ(p->G().BoardVariant, 4);
  p->Machine().InjectGarbage(0, 0x27, 0);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[7].Caption.Get(), "-16.97");
  p->Machine().InjectGarbage(0, 0x27, 255);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[7].Caption.Get(), "3.99");
  EXPECT_EQ(w.lblStatusV[7].BackColor, forms::kColorRed);
  // Its limit window in counts comes from the inverse formula.
  EXPECT_EQ(w.updLoLimit[7].Value, w.TransVoltageToLimitReg(7, -13.5F));
  EXPECT_EQ(w.updHiLimit[7].Value, w.TransVoltageToLimitReg(7, -10.5F));
}

TEST(Voltage, W83637HFReadsPlus12OnInput1AndMinus12ThroughItsOwnNetwork) {
  auto p = Started("ZT70E");  // the W83637HF board that has -12V
  auto& w = Main(*p);
  ASSERT_EQ(p->G().ChipId, kChipW83637HF);
  ASSERT_EQ(w.WEnable[5], 1);
  p->Machine().InjectGarbage(0, 0x21, 200);
  p->Machine().InjectGarbage(0, 0x24, 30);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[4].Caption.Get(), Format2(200 * w.VoltageChannel[4].Factor));
  EXPECT_EQ(w.lblStatusV[5].Caption.Get(), "-12.00");  // (30 × 0.016 − 2.88) / 0.2
  EXPECT_EQ(w.lblStatusV[5].BackColor, forms::kColorGreen);
}

TEST(Voltage, NegativeRailFormulasAndTheirInverse) {
  auto p = Started("ZT50E");
  auto& w = Main(*p);
  // Winbond: forward 5.15, inverse 5.14: a placed limit reads back a fraction off.
  const std::int16_t count = w.TransVoltageToLimitReg(5, -12.0F);
  EXPECT_NEAR(w.CalRealNegVoltage(5, count), -12.0, 0.1);
  EXPECT_EQ(w.CalRealNegVoltage(3, 100), 0.0F) << "not a negative rail";
  EXPECT_EQ(w.TransVoltageToLimitReg(3, 5.0F), 0);
}

TEST(Voltage, SpinControlsMoveTheWindowCaptionRecordAndRegister) {
  for (const char* model : {"ZT50E", "ZR61"}) {
    SCOPED_TRACE(model);
    auto p = Started(model);
    auto& w = Main(*p);
    const bool winbond = p->G().ChipFamily == kChipFamilyWinbond;
    const int lo = w.updLoLimit[3].Value;
    w.updHiLimit[3].Value = w.updHiLimit[3].Value - 1;
    const int hi = w.updHiLimit[3].Value;
    EXPECT_EQ(w.SldVoltage[3].SelLength, hi - lo);
    EXPECT_EQ(w.updLoLimit[3].Max, hi);
    EXPECT_EQ(w.LblHiLimit[3].Caption.Get(), Format2(hi * w.VoltageChannel[3].Factor));
    EXPECT_FLOAT_EQ(w.VoltageChannel[3].HiLimit, hi * w.VoltageChannel[3].Factor);
    EXPECT_EQ(p->Machine().Chip().GetRegister(0, winbond ? 0x2B + 6 : 0x36), hi);

    w.updLoLimit[3].Value = lo + 1;
    EXPECT_EQ(w.SldVoltage[3].SelStart, lo + 1);
    EXPECT_EQ(w.updHiLimit[3].Min, lo + 1);
    EXPECT_EQ(p->Machine().Chip().GetRegister(0, winbond ? 0x2C + 6 : 0x37), lo + 1);

    // The low limit cannot pass the high one: the window never turns negative.
    w.updLoLimit[3].Value = 255;
    EXPECT_EQ(w.updLoLimit[3].Value, w.updHiLimit[3].Value);
    EXPECT_EQ(w.SldVoltage[3].SelLength, 0);

    // Save writes the edited limit as text.
    p->Run([&] { w.SaveLimitStore(); });
    std::uint8_t text[32] = {};
    std::uint32_t size = sizeof text;
    std::uint32_t type = 0;
    platform::HKey key = 0;
    ASSERT_EQ(p->Registry().RegOpenKeyA(platform::HKEY_LOCAL_MACHINE,
                                        "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Limit", &key),
              platform::ERROR_SUCCESS);
    ASSERT_EQ(p->Registry().RegQueryValueExA(key, "HiLimit3", &type, text, &size), platform::ERROR_SUCCESS);
    EXPECT_EQ(type, platform::REG_SZ);
    EXPECT_NEAR(std::stof(std::string(reinterpret_cast<char*>(text), size)), w.VoltageChannel[3].HiLimit,
                1e-6);
  }
}

}  // namespace
}  // namespace veltrix::monitor
