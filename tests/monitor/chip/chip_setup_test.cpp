#include "monitor/chip/chip_setup.h"

#include <gtest/gtest.h>

#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "tests/support/port_trace.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using sim::ChipModel;
using testsupport::SimProgram;

// A program on a board with this chip, its globals as start-up leaves them for `model`.
struct Bench {
  Bench(ChipModel chip, std::string model) : p(Board(chip)) {
    auto& g = p.G();
    g.ModelName = std::move(model);
    g.ChipFamily = sim::IsWinbond(chip) ? kChipFamilyWinbond : kChipFamilyIte;
    g.ChipId = boards::ChipIdOf(static_cast<boards::CatalogChip>(static_cast<int>(chip)));
    g.PmBase = 0x4000;
    p.Ports().Reset();
  }
  static sim::BoardProfile Board(ChipModel chip) {
    sim::BoardProfile b = sim::DefaultProfile();
    b.chip = chip;
    return b;
  }
  std::uint8_t Reg(int bank, std::uint8_t reg) { return p.Machine().Chip().GetRegister(bank, reg); }
  void SetReg(int bank, std::uint8_t reg, std::uint8_t v) { p.Machine().Chip().SetRegister(bank, reg, v); }
  SimProgram p;
};

TEST(PrepareChassisSensor, ChipsetStepByFamilyPrefix) {
  {
    Bench b(ChipModel::W83627HF, "ZQ6XX");  // unlisted ZQ name: still the Intel scheme
    b.p.Ports().Reset();
    b.p.Run([&] { PrepareChassisSensor(b.p.Prog()); });
    EXPECT_EQ(b.p.Ports().WrittenTo(0x4066), (std::vector<std::uint8_t>{1}));
    EXPECT_EQ(b.Reg(0, 0x46) & 0x80, 0) << "the case-open clear bit is self-clearing on the chip";
  }
  {
    const std::string nvidia(boards::ChassisPrepNvidiaModels().front());
    Bench b(ChipModel::IT8712F, nvidia);
    b.p.Run([&] { PrepareChassisSensor(b.p.Prog()); });
    EXPECT_EQ(b.p.Ports().Reads(0x4449), 1u);
    ASSERT_EQ(b.p.Ports().WrittenTo(0x4449).size(), 1u);
    EXPECT_EQ(b.p.Ports().WrittenTo(0x4449)[0] & 0x11, 0x11);
    EXPECT_EQ(b.p.Ports().TotalWrites(), 1u) << "ITE chips get no register 0x46 write";
  }
  {
    Bench b(ChipModel::W83697HF, "ZV62E");
    b.p.Run([&] { PrepareChassisSensor(b.p.Prog()); });
    EXPECT_EQ(b.p.Ports().WrittenTo(0x4020), (std::vector<std::uint8_t>{0x40}));
  }
  {
    Bench b(ChipModel::IT8705F, std::string(boards::ChassisPrepException()));
    EXPECT_FALSE(b.p.Run([&] { PrepareChassisSensor(b.p.Prog()); }));
    EXPECT_TRUE(b.p.Boxes().empty());
  }
}

TEST(PrepareChassisSensor, BoardOfNoKnownFamilyIsRefusedAtOnce) {
  Bench b(ChipModel::W83627HF, "XB100");
  b.p.G().LangPrefix = "33";
  EXPECT_EQ(b.p.Run([&] { PrepareChassisSensor(b.p.Prog()); }), 9) << "refused: a non-zero status";
  ASSERT_EQ(b.p.Boxes().size(), 1u);
  EXPECT_EQ(b.p.Boxes()[0].text, "Hushwind/Veltrix III cannot support this Mainboard!!!");
  EXPECT_EQ(b.p.Boxes()[0].title, "Hushwind/Veltrix III");
  EXPECT_EQ(b.p.Boxes()[0].style, platform::vbCritical);
  EXPECT_EQ(b.p.Ports().WrittenTo(0x4066).size() + b.p.Ports().WrittenTo(0x4020).size(), 0u);
}

TEST(ApplySensorSetup, ThermistorTypesVbatAndOffsetsOnAnUnlistedBoard) {
  Bench b(ChipModel::W83627HF, "ZQ6XX");
  b.SetReg(0, 0x5D, 0xE0);
  b.SetReg(4, 0x54, 5);
  ApplySensorSetup(b.p.Prog());
  EXPECT_EQ(b.Reg(0, 0x59), 0x70);
  EXPECT_EQ(b.Reg(0, 0x5D), 0x01);
  EXPECT_EQ(b.Reg(4, 0x54), 0);
  EXPECT_EQ(b.Reg(4, 0x55), 0);
  EXPECT_EQ(b.Reg(4, 0x56), 0);
}

TEST(ApplySensorSetup, ListedBoardsKeepSensorTypesAndGetTheirOffsets) {
  for (const auto& group : boards::TemperatureOffsetTable()) {
    const std::string model(group.names.front());
    SCOPED_TRACE(model);
    ASSERT_TRUE(boards::InSensorSetupList(model));
    Bench b(ChipModel::W83697HF, model);
    b.SetReg(0, 0x59, 0x20);
    b.SetReg(0, 0x5D, 0x10);
    ApplySensorSetup(b.p.Prog());
    EXPECT_EQ(b.Reg(0, 0x5D), 0x17);
    EXPECT_EQ(b.Reg(0, 0x59), group.outcome.clearSensorTypeFirst ? 0 : 0x20);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(static_cast<std::int8_t>(b.Reg(4, static_cast<std::uint8_t>(0x54 + i))),
                group.outcome.offsets[static_cast<std::size_t>(i)]);
    }
  }
}

TEST(ApplySensorSetup, W83637HFAndIteChips) {
  Bench w(ChipModel::W83637HF, "ZT70");
  w.SetReg(0, 0x59, 0x70);
  w.SetReg(0, 0x5D, 0xF0);
  ApplySensorSetup(w.p.Prog());
  EXPECT_EQ(w.Reg(0, 0x59), 0);
  EXPECT_EQ(w.Reg(0, 0x5D), 0x1F);

  Bench i(ChipModel::IT8712F, "ZR60");
  ApplySensorSetup(i.p.Prog());
  EXPECT_EQ(i.p.Ports().TotalWrites() + i.p.Ports().TotalReads(), 0u);
}

TEST(SetDefaultVcoreLimits, ByChipAndUnchangedForAnUnknownChip) {
  struct Case {
    ChipModel chip;
    float hi;
  };
  for (const Case& c :
       {Case{ChipModel::W83627HF, 2.1F}, Case{ChipModel::W83697HF, 3.9F}, Case{ChipModel::W83637HF, 2.1F},
        Case{ChipModel::IT8705F, 2.1F}, Case{ChipModel::IT8712F, 2.1F}}) {
    Bench b(c.chip, "ZQ6XX");
    b.SetReg(0, 0x18, 0xFF);
    float lo = 0, hi = 0;
    SetDefaultVcoreLimits(b.p.Prog(), lo, hi);
    EXPECT_EQ(lo, 1.2F);
    EXPECT_EQ(hi, c.hi);
    if (c.chip == ChipModel::W83637HF) {
      EXPECT_EQ(b.Reg(0, 0x18), 0xFE);
    }
  }
  Bench b(ChipModel::W83627HF, "ZQ6XX");
  b.p.G().ChipId = 0x42;
  float lo = 0.5F, hi = 7.5F;
  SetDefaultVcoreLimits(b.p.Prog(), lo, hi);
  EXPECT_EQ(lo, 0.5F);
  EXPECT_EQ(hi, 7.5F);
}

TEST(BeepEnables, SuspendClearsAllResumeArmsFans) {
  Bench b(ChipModel::W83627HF, "ZQ6XX");
  b.SetReg(4, 0x53, 0xFF);
  b.SetReg(0, 0x56, 0xFF);
  b.SetReg(0, 0x57, 0xFF);
  ClearBeepEnables(b.p.Prog());
  EXPECT_EQ(b.Reg(4, 0x53), 0xFC);
  EXPECT_EQ(b.Reg(0, 0x56), 0);
  EXPECT_EQ(b.Reg(0, 0x57), 0);
  SetResumeBeepEnables(b.p.Prog());
  EXPECT_EQ(b.Reg(4, 0x53), 0xFF);
  EXPECT_EQ(b.Reg(0, 0x56), 0xC0);
  EXPECT_EQ(b.Reg(0, 0x57), 0x08);
}

TEST(ApplyChipQuirk, OnlyTheW83637HF) {
  Bench w(ChipModel::W83637HF, "ZT70");
  w.SetReg(0, 0x18, 0x03);
  ApplyChipQuirk(w.p.Prog());
  EXPECT_EQ(w.Reg(0, 0x18), 0x02);
  Bench o(ChipModel::W83627HF, "ZQ6XX");
  ApplyChipQuirk(o.p.Prog());
  EXPECT_EQ(o.p.Ports().TotalWrites(), 0u);
}

}  // namespace
}  // namespace veltrix::monitor
