// The simulator's board profiles and the program's board tables describe the same boards.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "monitor/boards/board_tables.h"
#include "sim/board/board_profile.h"

namespace veltrix {
namespace {

using monitor::boards::CatalogChip;
using monitor::boards::ChipsetChassis;
using monitor::boards::Refusal;

sim::ChipModel SimChip(CatalogChip chip) {
  switch (chip) {
    case CatalogChip::kW83627HF:
      return sim::ChipModel::W83627HF;
    case CatalogChip::kW83697HF:
      return sim::ChipModel::W83697HF;
    case CatalogChip::kW83637HF:
      return sim::ChipModel::W83637HF;
    case CatalogChip::kIT8705F:
      return sim::ChipModel::IT8705F;
    case CatalogChip::kIT8712F:
      return sim::ChipModel::IT8712F;
  }
  return sim::ChipModel::W83627HF;
}

// Chip input that carries -12V in each wiring: the input the program's voltage mapping reads it from.
int MinusTwelveInput(const monitor::boards::CatalogBoard& b) {
  switch (b.chip) {
    case CatalogChip::kW83637HF:
      return 4;
    case CatalogChip::kW83627HF:
    case CatalogChip::kW83697HF:
      return 5;
    default:
      break;
  }
  switch (b.boardVariant) {
    case 4:
      return 7;
    case 5:
      return 5;
    default:
      return 6;
  }
}

TEST(CatalogCrossCheck, EveryCatalogBoardHasAMatchingProfile) {
  std::map<std::string_view, const sim::BoardProfile*> profiles;
  for (const auto& p : sim::CatalogProfiles()) {
    EXPECT_TRUE(profiles.emplace(p.model, &p).second) << "two profiles for " << p.model;
  }
  EXPECT_EQ(profiles.size(), monitor::boards::AllKnownModels().size());
  for (const auto& b : monitor::boards::AllKnownModels()) {
    SCOPED_TRACE(std::string(b.model));
    const auto it = profiles.find(b.model);
    ASSERT_NE(it, profiles.end()) << "no simulated profile";
    const auto& p = *it->second;
    EXPECT_EQ(p.chip, SimChip(b.chip));
    EXPECT_EQ(sim::IsWinbond(p.chip), b.chipFamily == 1) << "chip family";
    EXPECT_EQ(p.configPort, b.configPort);
    EXPECT_EQ(p.known, b.refusedAt == Refusal::kNone);
    // Chassis: the chipset that keeps the flag, or the chip's own case-open input.
    const auto expectedChipset = b.chassis == ChipsetChassis::kIntel    ? sim::ChipsetScheme::kIntel
                                 : b.chassis == ChipsetChassis::kVia    ? sim::ChipsetScheme::kVia
                                 : b.chassis == ChipsetChassis::kNvidia ? sim::ChipsetScheme::kNvidia
                                                                        : sim::ChipsetScheme::kNone;
    EXPECT_EQ(p.chipset, expectedChipset);
    EXPECT_EQ(p.caseOpenWired, b.chassis == ChipsetChassis::kWinbond);
    EXPECT_GE(p.pmBase, 0);
    // Items: the third fan and the CPU sensor follow the item table; the wiring variant puts -12V
    // on the input the program reads it from.
    EXPECT_EQ(p.fans[2].Wired(), (b.presentItems & monitor::boards::ItemBit(11)) != 0);
    EXPECT_TRUE(p.temps[0].Wired());
    const auto& minus12 = p.rails[static_cast<std::size_t>(MinusTwelveInput(b))];
    if (minus12.Wired()) {
      EXPECT_EQ(minus12.name, "-12V") << "input " << MinusTwelveInput(b);
    }
    // Fan control drives fans 0 and 1 through chip outputs.
    if (b.fanControl) {
      EXPECT_GE(p.fans[0].output, 0);
      EXPECT_GE(p.fans[1].output, 0);
    }
  }
}

}  // namespace
}  // namespace veltrix
