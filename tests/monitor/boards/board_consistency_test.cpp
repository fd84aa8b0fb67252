// A board is the same board in every table: chip, family, items, chassis, fan control, refusals.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "monitor/boards/board_tables.h"

namespace veltrix::monitor::boards {
namespace {

bool IsIte(CatalogChip c) {
  return c == CatalogChip::kIT8705F || c == CatalogChip::kIT8712F;
}

std::string_view PrefixOf(std::string_view m) {
  const auto p = m.substr(0, 2);
  return (p == "ZQ" || p == "ZR" || p == "ZT" || p == "ZV") ? p : std::string_view{};
}

TEST(BoardConsistency, SupportedBoardsAreExactlyTheChkMBModelNames) {
  std::set<std::string_view> catalog, supported;
  for (const auto& b : AllKnownModels()) {
    EXPECT_TRUE(catalog.insert(b.model).second) << "duplicate catalog entry " << b.model;
    if (b.refusedAt == Refusal::kNone) supported.insert(b.model);
  }
  std::set<std::string_view> listed;
  for (const auto& g : ChkMBModelTable()) listed.insert(g.names.begin(), g.names.end());
  EXPECT_EQ(supported, listed);
}

TEST(BoardConsistency, EveryBoardAgreesAcrossTables) {
  for (const auto& b : AllKnownModels()) {
    SCOPED_TRACE(std::string(b.model));
    const auto cls = ClassifyBoard(b.model);
    EXPECT_EQ(cls.chipFamily, b.chipFamily);
    EXPECT_EQ(cls.boardVariant, b.boardVariant);
    EXPECT_EQ(cls.chipFamily == 2, IsIte(b.chip)) << "classification family vs chip";
    EXPECT_TRUE(b.configPort == 0x2E || b.configPort == 0x4E);
    if (b.refusedAt == Refusal::kNone || b.refusedAt == Refusal::kChkMBModel) {
      EXPECT_TRUE(TempRoutineFor(b.model).has_value()) << "listed board without temperature wiring";
      EXPECT_FALSE(DisplayName(b.model).empty());
    }
    if (b.refusedAt != Refusal::kNone) {
      EXPECT_FALSE(IsFanControlSupported(b.model));
      continue;
    }
    // Item table: the group's chip is the board's chip, and the present items follow from it.
    const auto chipId = ChipIdOf(b.chip);
    const auto decision = ItemDecisionFor(chipId, b.model);
    EXPECT_FALSE(decision.refused);
    std::uint16_t absent = decision.absentItems;
    if (b.chipFamily == 1) absent |= ItemBit(1);
    EXPECT_EQ(b.presentItems, static_cast<std::uint16_t>(~absent));
    if (!IsIte(b.chip)) {
      EXPECT_NE(FindItemTableGroup(chipId, b.model), nullptr);
    }
    // The row-2-moves-up arrangement is for boards without temperature 1.
    const auto label = FindChkMBModelOutcome(b.model);
    const bool movesTempRow =
        label == LabelOutcome::kChangeLabelTemp || label == LabelOutcome::kChangeLabelTempThenFan;
    EXPECT_EQ(movesTempRow, (b.presentItems & ItemBit(13)) == 0);
    // Chassis: detection method, chipset scheme, family prefix and chip fit together.
    EXPECT_NE(ChassisPreparationFor(b.model), ChassisPreparation::kRefuse);
    const auto method = ChassisMethodFor(b.model);
    switch (b.chassis) {
      case ChipsetChassis::kUnsupported:
        EXPECT_FALSE(method.has_value());
        break;
      case ChipsetChassis::kIntel:
        EXPECT_EQ(method, ChassisMethod::kIntel);
        EXPECT_TRUE(PrefixOf(b.model) == "ZQ" || PrefixOf(b.model) == "ZR");
        break;
      case ChipsetChassis::kVia:
      case ChipsetChassis::kNvidia:
        EXPECT_EQ(method, b.chassis == ChipsetChassis::kVia ? ChassisMethod::kVia : ChassisMethod::kNvidia);
        EXPECT_TRUE(PrefixOf(b.model) == "ZT" || PrefixOf(b.model) == "ZV");
        break;
      case ChipsetChassis::kWinbond:
        EXPECT_EQ(method, ChassisMethod::kWinbond);
        EXPECT_FALSE(IsIte(b.chip)) << "the chassis input is a Winbond chip's";
        break;
      case ChipsetChassis::kNone:
        EXPECT_EQ(method, ChassisMethod::kNone);
        break;
    }
    EXPECT_EQ(method == ChassisMethod::kNone, (b.presentItems & ItemBit(15)) == 0)
        << "a board without the chassis item is listed with no method";
    if (ChassisPreparationFor(b.model) == ChassisPreparation::kNvidiaPortSet) {
      EXPECT_EQ(b.chassis, ChipsetChassis::kNvidia);
    }
    EXPECT_EQ(b.fanControl, IsFanControlSupported(b.model));
  }
}

TEST(BoardConsistency, ListsNameBoardsOfTheRightKind) {
  auto board = [](std::string_view m) {
    const auto* b = FindCatalogBoard(m);
    EXPECT_NE(b, nullptr) << m << " is not in the catalog";
    return b;
  };
  for (auto m : VcoreFactorModels()) {
    if (auto* b = board(m)) {
      EXPECT_EQ(b->chip, CatalogChip::kW83637HF) << m;
    }
  }
  for (const auto& g : TemperatureOffsetTable()) {
    for (auto m : g.names) {
      if (auto* b = board(m)) {
        EXPECT_TRUE(b->chip == CatalogChip::kW83627HF || b->chip == CatalogChip::kW83697HF) << m;
      }
    }
  }
  for (auto m : ResumeRestartModels()) {
    EXPECT_TRUE(InSensorSetupList(m)) << m;
  }
  for (const auto& c : TempCalibrationTable()) {
    if (auto* b = board(c.model)) {
      EXPECT_FALSE(IsIte(b->chip)) << c.model;
      if (c.rows[0].factor != 1.0F || c.rows[1].factor != 1.0F) {
        EXPECT_EQ(b->chip, CatalogChip::kW83637HF);
      }
    }
  }
  for (auto m : TempSwapList()) {
    if (auto* b = board(m)) {
      EXPECT_EQ(b->chipFamily, 1) << m;
    }
  }
  // The temperature-swap list and the boards whose limits of temperature 1 go to bank 2 are the
  // boards that read temperature 1 from bank 2: their chip comparators are the other way round.
  std::set<std::string_view> readFromBank2;
  for (const auto& b : AllKnownModels()) {
    if (b.chipFamily == 1 && (b.presentItems & ItemBit(13)) != 0 && TempReadBank(b.model, 1) == 2) {
      readFromBank2.insert(b.model);
    }
  }
  EXPECT_EQ(std::set<std::string_view>(TempSwapList().begin(), TempSwapList().end()), readFromBank2);
  for (const auto& c : TempCalibrationTable()) {
    EXPECT_EQ(c.limitsToOtherBank, readFromBank2.count(c.model) == 1) << c.model;
  }
  if (auto* b = board(OnOffFanModel())) {
    EXPECT_EQ(b->chipFamily, 2);
  }
  board(Zv50Model());
  for (auto m : SupportedFanModels()) {
    if (auto* b = board(m)) {
      EXPECT_EQ(b->refusedAt, Refusal::kNone) << m;
    }
  }
  for (auto m : FanLabelListC()) {
    EXPECT_EQ(FindChkMBModelOutcome(m), LabelOutcome::kFan1Fan2Texts) << m;
  }
  for (auto m : FanLabelListB()) {
    EXPECT_EQ(FindChkMBModelOutcome(m), LabelOutcome::kFanThenFan1AndCpuTempTexts) << m;
  }
  for (auto m : Zt50AlarmList()) {
    EXPECT_EQ(FindChkMBModelOutcome(m), LabelOutcome::kChangeLabelFanThenTempForZT50) << m;
  }
  for (auto m : FanNameListModels()) board(m);
  for (const auto& g : TempLimitTable()) {
    for (auto m : g.names) board(m);
  }
}

TEST(BoardConsistency, EachRefusalPointHasABoardThatStopsThere) {
  std::set<Refusal> seen;
  for (const auto& b : AllKnownModels()) {
    if (b.refusedAt == Refusal::kNone) continue;
    SCOPED_TRACE(std::string(b.model));
    seen.insert(b.refusedAt);
    const bool chassisRefuses = ChassisPreparationFor(b.model) == ChassisPreparation::kRefuse;
    const bool itemsRefuse = ItemDecisionFor(ChipIdOf(b.chip), b.model).refused;
    const bool checkRefuses = !FindChkMBModelOutcome(b.model).has_value();
    switch (b.refusedAt) {
      case Refusal::kChassisSetup:
        EXPECT_TRUE(chassisRefuses);
        break;
      case Refusal::kItemTable:
        EXPECT_FALSE(chassisRefuses);
        EXPECT_TRUE(itemsRefuse);
        break;
      case Refusal::kChkMBModel:
        EXPECT_FALSE(chassisRefuses);
        EXPECT_FALSE(itemsRefuse);
        EXPECT_TRUE(checkRefuses);
        EXPECT_EQ(b.chipFamily, 2) << "passes start-up as a listed ITE board";
        break;
      case Refusal::kNone:
        break;
    }
  }
  EXPECT_EQ(seen, (std::set<Refusal>{Refusal::kChassisSetup, Refusal::kItemTable, Refusal::kChkMBModel}));
}

TEST(BoardConsistency, NoAccidentalDuplicates) {
  // Repeated names are allowed only where the tables keep a dead entry on purpose.
  auto duplicates = [](auto table) {
    std::set<std::string_view> seen;
    int dups = 0;
    for (const auto& g : table) {
      for (auto n : g.names) dups += seen.insert(n).second ? 0 : 1;
    }
    return dups;
  };
  EXPECT_EQ(duplicates(StartupTable()), 1);
  EXPECT_EQ(duplicates(ChkMBModelTable()), 2);
  EXPECT_EQ(duplicates(ChassisDetectionTable()), 0);
  EXPECT_EQ(duplicates(ChassisDisableClearTable()), 0);
  EXPECT_EQ(duplicates(ChassisIgnoreClearTable()), 0);
  EXPECT_EQ(duplicates(TempWiringTable()), 0);
  EXPECT_EQ(duplicates(ItemTable()), 0);
  EXPECT_EQ(duplicates(TempLimitTable()), 0);
  for (NameList list :
       {SupportedFanModels(), FanLabelListA(), ChassisPrepNvidiaModels(), FanNameListModels()}) {
    EXPECT_EQ(std::set<std::string_view>(list.begin(), list.end()).size(), list.size());
  }
}

}  // namespace
}  // namespace veltrix::monitor::boards
