// Temperatures as the chips hold them (signed, open sensors), and the chip's own limit
// comparison agreeing with what the rows show: the chip beeps exactly while a row is red, and
// never for an input no row reads.
#include <gtest/gtest.h>

#include <string>

#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/channels/voltage_wiring.h"
#include "tests/monitor/channels/channel_support.h"

namespace veltrix::monitor {
namespace {

using channeltest::Main;
using channeltest::OneBoardPerWiring;
using channeltest::Started;

bool Loaded(testsupport::SimProgram& p, const char* form) {
  const forms::Form* f = p.App().FindForm(form);
  return f != nullptr && f->IsLoaded();
}

TEST(TemperatureReading, SubZeroReadingsAreSignedOnEveryChip) {
  auto p = Started("ZQ51/ZQ51S");
  auto& w = Main(*p);
  ASSERT_EQ(boards::TempCalibrationFor("ZQ51/ZQ51S"), nullptr);
  // Winbond temperature 1: -10 degrees is 0xF6 with no half degree, -9.5 is 0xF6 and 0x80.
  const int bank = boards::TempReadBank("ZQ51/ZQ51S", 1);
  p->Machine().InjectGarbage(bank, 0x50, 0xF6);
  p->Machine().InjectGarbage(bank, 0x51, 0x00);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[1].Caption.Get(), "-10.0");
  EXPECT_EQ(w.lblStatusT[1].BackColor, forms::kColorGreen);
  EXPECT_FALSE(Loaded(*p, "frmTemp2"));
  p->Machine().InjectGarbage(bank, 0x51, 0x80);
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[1].Caption.Get(), "-9.5");

  auto ite = Started("ZR61");
  auto& wi = Main(*ite);
  ite->Machine().InjectGarbage(0, 0x2A, 0xF6);
  ite->AdvanceMs(wi.Timer1.Interval);
  EXPECT_EQ(wi.lblStatusT[1].Caption.Get(), "-10.0");
  EXPECT_EQ(wi.lblStatusT[1].BackColor, forms::kColorGreen);
}

TEST(TemperatureReading, AnOpenSensorReadsNotAvailableAndRaisesNothing) {
  auto p = Started("ZQ51/ZQ51S");
  auto& w = Main(*p);
  p->Machine().InjectGarbage(0, 0x27, 0x80);  // -128: no diode at the input
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[0].Caption.Get(), "N/A");
  EXPECT_EQ(w.lblStatusT[0].BackColor, forms::kColorGreen);
  EXPECT_FALSE(Loaded(*p, "frmTemp1"));

  // A real ITE dump holding 25, -55 (an open thermistor) and 35 degrees.
  testsupport::SimProgram ite("ZR41PRO");
  ASSERT_EQ(
      ite.Machine().LoadDumpFile(std::string(VELTRIX_TEST_DATA_DIR) + "/register-dumps/it8705f-khali.dump"),
      "");
  ASSERT_EQ(ite.Start(), std::nullopt);
  ite.AdvanceMs(2 * Main(ite).Timer1.Interval);
  EXPECT_EQ(Main(ite).lblStatusT[0].Caption.Get(), "25.0");
  EXPECT_EQ(Main(ite).lblStatusT[1].Caption.Get(), "N/A");
  EXPECT_EQ(Main(ite).lblStatusT[1].BackColor, forms::kColorGreen);
}

// Raises the real temperature at the sensor row k reads and checks, after each tick, that the
// chip beeps exactly while the row is red.
void SweepRow(testsupport::SimProgram& p, int k) {
  auto& w = Main(p);
  const int sensor =
      p.G().ChipFamily == kChipFamilyWinbond && k > 0 ? boards::TempReadBank(p.G().ModelName, k) : k;
  int red = 0;
  for (double c = 40.0; c <= 115.0; c += 0.5) {
    p.Machine().Physics().HoldTemperature(sensor, c);
    p.AdvanceMs(w.Timer1.Interval);
    const bool rowRed = w.lblStatusT[k].BackColor == forms::kColorRed;
    red += rowRed ? 1 : 0;
    ASSERT_EQ(p.Machine().Chip().BeepOutput(), rowRed)
        << "row " << k << " at " << c << " shows " << w.lblStatusT[k].Caption.Get() << " against "
        << w.lblTempHiLimit[k].Caption.Get();
  }
  EXPECT_GT(red, 0) << "row " << k << " never reached its limit " << w.lblTempHiLimit[k].Caption.Get();
  // Cool again: the beep stops with the red row.
  p.Machine().Physics().HoldTemperature(sensor, 40.0);
  p.AdvanceMs(2 * w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusT[k].BackColor, forms::kColorGreen);
  EXPECT_FALSE(p.Machine().Chip().BeepOutput());
  p.Machine().Physics().HoldTemperature(sensor, std::nullopt);
}

TEST(TemperatureChipLimits, TheChipBeepsExactlyWhileACalibratedRowIsRed) {
  std::vector<std::string> models{"ZQ51/ZQ51S", "ZR61"};
  for (const auto& c : boards::TempCalibrationTable()) {
    const auto* b = boards::FindCatalogBoard(c.model);
    if (b != nullptr && b->refusedAt == boards::Refusal::kNone) models.emplace_back(c.model);
  }
  for (const std::string& model : models) {
    SCOPED_TRACE(model);
    auto p = Started(model);
    auto& w = Main(*p);
    for (int k = 0; k < kTempCount; ++k) {
      if (w.WEnable[kFirstTempItem + k] != 1) continue;
      SweepRow(*p, k);
    }
  }
}

// The chip input a voltage item is read from, as the boards are wired.
int RailInput(const Globals& g, int item) {
  if (g.ChipFamily == kChipFamilyIte) return IteVoltageInput(g.BoardVariant, item) - 0x20;
  if (g.ChipId == kChipW83637HF && item == 4) return 1;
  if (g.ChipId == kChipW83637HF && (item == 5 || item == 6)) return 4;
  return item;
}

TEST(VoltageChipLimits, ARailOutOfItsWindowTurnsItsRowRedAndBeepsOnEveryWiring) {
  std::vector<std::string> models = OneBoardPerWiring();
  // Both W83637HF boards (+12V and -12V on other inputs), and ITE boards lacking rails.
  for (const char* m : {"ZT70", "ZT70E", "ZV41", "ZR43LPLUS"}) models.emplace_back(m);
  for (const std::string& model : models) {
    SCOPED_TRACE(model);
    auto p = Started(model);
    auto& w = Main(*p);
    const Globals& g = p->G();
    auto& physics = p->Machine().Physics();
    ASSERT_FALSE(p->Machine().Chip().BeepOutput()) << "quiet at idle";
    for (int i = 0; i < kVoltageCount; ++i) {
      if (w.WEnable[i] != 1) continue;
      const int input = RailInput(g, i);
      // An ITE chip converts VBAT only when asked (at start-up) and has no limits for it.
      if (g.ChipFamily == kChipFamilyIte && input == 8) continue;
      SCOPED_TRACE("item " + std::to_string(i) + " " + std::string(physics.Wiring(input).name));
      physics.SetRailVolts(input, physics.Wiring(input).nominalVolts * 0.5);
      p->AdvanceMs(w.Timer1.Interval);
      EXPECT_EQ(w.lblStatusV[i].BackColor, forms::kColorRed) << w.lblStatusV[i].Caption.Get();
      EXPECT_TRUE(p->Machine().Chip().BeepOutput());
      physics.RestoreRail(input);
      p->AdvanceMs(w.Timer1.Interval);
      EXPECT_EQ(w.lblStatusV[i].BackColor, forms::kColorGreen);
      EXPECT_FALSE(p->Machine().Chip().BeepOutput());
    }
  }
}

}  // namespace
}  // namespace veltrix::monitor
