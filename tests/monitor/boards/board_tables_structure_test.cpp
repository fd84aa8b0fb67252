// Shape of every model table: group counts, names per group, families, repeated entries, outcomes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "monitor/boards/board_tables.h"

namespace veltrix::monitor::boards {
namespace {

std::string Prefix(std::string_view model) {
  const std::string p(model.substr(0, 2));
  return (p == "ZQ" || p == "ZR" || p == "ZT" || p == "ZV") ? p : "none";
}

// Names of a table that an earlier entry already holds (they can never match where they stand).
template <typename O>
std::vector<std::string> RepeatedEntries(ModelTable<O> table) {
  std::set<std::string_view> seen;
  std::vector<std::string> repeats;
  for (const auto& group : table) {
    for (auto name : group.names) {
      if (!seen.insert(name).second) repeats.emplace_back(name);
    }
  }
  return repeats;
}

template <typename O>
std::set<std::string_view> LiveNames(ModelTable<O> table) {
  std::set<std::string_view> names;
  for (const auto& group : table) names.insert(group.names.begin(), group.names.end());
  return names;
}

std::map<std::string, int> Families(NameList names) {
  std::map<std::string, int> out;
  for (auto n : names) ++out[Prefix(n)];
  return out;
}

TEST(StartupTable, SixGroupsOfIteBoardsWithOneDeadRepeat) {
  const auto table = StartupTable();
  ASSERT_EQ(table.size(), 6u);
  const std::vector<std::size_t> sizes{2, 2, 8, 5, 9, 9};
  const std::vector<Classification> outcomes{{2, 1}, {2, 3}, {2, 4}, {2, 5}, {2, 2}, {2, 2}};
  const std::vector<std::map<std::string, int>> families{
      {{"ZR", 2}},
      {{"ZR", 1}, {"ZQ", 1}},
      {{"ZR", 8}},
      {{"ZQ", 5}},
      {{"ZR", 6}, {"ZQ", 3}},  // the ninth entry repeats the ZR name of group 2
      {{"ZT", 1}, {"ZV", 7}, {"none", 1}}};
  for (std::size_t g = 0; g < table.size(); ++g) {
    EXPECT_EQ(table[g].names.size(), sizes[g]) << "group " << g + 1;
    EXPECT_EQ(table[g].outcome, outcomes[g]) << "group " << g + 1;
    EXPECT_EQ(Families(table[g].names), families[g]) << "group " << g + 1;
  }
  const auto repeats = RepeatedEntries(table);
  ASSERT_EQ(repeats.size(), 1u);
  EXPECT_TRUE(Contains(table[1].names, repeats[0])) << repeats[0] << " should repeat a group-2 name";
  EXPECT_EQ(table[4].names.back(), repeats[0]);
  EXPECT_EQ(ClassifyBoard(repeats[0]), (Classification{2, 3})) << "first group wins for " << repeats[0];
  EXPECT_EQ(LiveNames(table).size(), 34u);
}

TEST(StartupTable, UnlistedNamesAreWinbondVariantZero) {
  EXPECT_EQ(ClassifyBoard("NOT-A-BOARD"), (Classification{1, 0}));
  const auto first = StartupTable()[0].names[0];
  std::string lower(first);
  for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(ClassifyBoard(lower), (Classification{1, 0})) << "comparison is case-sensitive";
}

TEST(ChkMBModelTable, GroupsAndNamesPerOutcome) {
  const auto table = ChkMBModelTable();
  ASSERT_EQ(table.size(), 47u);
  std::map<LabelOutcome, std::pair<int, std::set<std::string_view>>> byOutcome;
  std::set<std::string_view> seen;
  for (const auto& group : table) {
    auto& [groups, names] = byOutcome[group.outcome];
    ++groups;
    for (auto n : group.names) {
      if (seen.insert(n).second) names.insert(n);
    }
  }
  const std::map<LabelOutcome, std::pair<int, std::size_t>> expected{
      {LabelOutcome::kDefaultLabels, {27, 159}},
      {LabelOutcome::kChangeLabelFan, {5, 16}},
      {LabelOutcome::kChangeLabelTemp, {8, 47}},
      {LabelOutcome::kChangeLabelTempThenFan, {1, 1}},
      {LabelOutcome::kExchangeCpuAndSystemTemp, {1, 3}},
      {LabelOutcome::kChangeLabelFanThenTempForZT50, {1, 8}},
      {LabelOutcome::kChangeLabelTempForZT50, {1, 1}},
      {LabelOutcome::kFan1Fan2Texts, {1, 4}},
      {LabelOutcome::kFanThenFan1AndCpuTempTexts, {1, 5}},
      {LabelOutcome::kFanThenFan1Text, {1, 3}},
  };
  for (const auto& [outcome, counts] : expected) {
    EXPECT_EQ(byOutcome[outcome].first, counts.first) << "groups of outcome " << static_cast<int>(outcome);
    EXPECT_EQ(byOutcome[outcome].second.size(), counts.second)
        << "names of outcome " << static_cast<int>(outcome);
  }
  EXPECT_EQ(seen.size(), 247u);
  EXPECT_EQ(RepeatedEntries(table).size(), 2u);
  for (const auto& group : table) {
    if (group.outcome == LabelOutcome::kChangeLabelFanThenTempForZT50 ||
        group.outcome == LabelOutcome::kChangeLabelTempForZT50) {
      for (auto n : group.names) EXPECT_EQ(n.substr(0, 4), "ZT50") << n;
    }
  }
}

TEST(ChkMBModelTable, FirstAndLastGroupsAndDeadRepeats) {
  const auto table = ChkMBModelTable();
  ASSERT_EQ(table.front().names.size(), 1u);
  EXPECT_EQ(Prefix(table.front().names[0]), "none") << table.front().names[0];
  std::set<std::string_view> before;
  for (std::size_t g = 0; g + 1 < table.size(); ++g)
    before.insert(table[g].names.begin(), table[g].names.end());
  int live = 0;
  for (auto n : table.back().names) live += before.count(n) == 0 ? 1 : 0;
  EXPECT_EQ(live, 2);
  for (const auto& repeat : RepeatedEntries(table)) {
    const auto* first = FindGroup(table, repeat);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(FindChkMBModelOutcome(repeat), first->outcome) << repeat;
  }
  EXPECT_FALSE(FindChkMBModelOutcome("UNKNOWN-BOARD").has_value());
}

TEST(DisplayNameTable, KindsAndTheirTextForms) {
  const auto table = DisplayNameTable();
  ASSERT_EQ(table.size(), 250u);
  std::map<DisplayNameKind, int> kinds;
  std::set<std::string_view> models;
  for (const auto& e : table) {
    ++kinds[e.kind];
    EXPECT_TRUE(models.insert(e.model).second) << "duplicate display entry " << e.model;
    const std::string model(e.model), text(e.text);
    switch (e.kind) {
      case DisplayNameKind::kSame:
        EXPECT_EQ(text, model);
        EXPECT_EQ(model.find('/'), std::string::npos) << model;
        break;
      case DisplayNameKind::kMixedCaseSuffix:
      case DisplayNameKind::kMixedCaseSuffixSpaced: {
        bool matched = false;
        for (auto [upper, mixed] : {std::pair{"PRO", "Pro"}, {"MAX", "Max"}, {"PLUS", "Plus"}}) {
          const std::string u(upper);
          if (model.size() > u.size() && model.ends_with(u)) {
            const std::string base = model.substr(0, model.size() - u.size());
            const std::string sep = e.kind == DisplayNameKind::kMixedCaseSuffixSpaced ? " " : "";
            EXPECT_EQ(text, base + sep + mixed) << model;
            matched = true;
          }
        }
        EXPECT_TRUE(matched) << model << " has no suffix word";
        break;
      }
      case DisplayNameKind::kSlashAlternatives: {
        const auto slash = model.find('/');
        ASSERT_NE(slash, std::string::npos) << model;
        EXPECT_EQ(text, model.substr(0, slash) + " or " + model.substr(slash + 1)) << model;
        break;
      }
      case DisplayNameKind::kTwoAlternatives:
        EXPECT_TRUE(text.starts_with(model + " or ")) << model;
        break;
      case DisplayNameKind::kPlusAsWord:
        ASSERT_TRUE(model.ends_with("+")) << model;
        EXPECT_EQ(text, model.substr(0, model.size() - 1) + " Plus") << model;
        break;
      case DisplayNameKind::kSeries:
        EXPECT_GE(std::count(model.begin(), model.end(), '/'), 2) << model;
        EXPECT_TRUE(text.ends_with(" Serials")) << model;
        break;
    }
  }
  const std::map<DisplayNameKind, int> expected{{DisplayNameKind::kSame, 166},
                                                {DisplayNameKind::kMixedCaseSuffix, 67},
                                                {DisplayNameKind::kMixedCaseSuffixSpaced, 6},
                                                {DisplayNameKind::kSlashAlternatives, 7},
                                                {DisplayNameKind::kTwoAlternatives, 2},
                                                {DisplayNameKind::kPlusAsWord, 1},
                                                {DisplayNameKind::kSeries, 1}};
  EXPECT_EQ(kinds, expected);
  EXPECT_EQ(DisplayName("UNKNOWN-BOARD"), "");
}

TEST(ChipSetupLists, SizesAndOutcomes) {
  const auto ten = ChassisPrepNvidiaModels();
  EXPECT_EQ(ten.size(), 10u);
  for (auto n : ten) {
    EXPECT_TRUE(Prefix(n) == "ZT" || Prefix(n) == "ZV") << n;
    EXPECT_EQ(ChassisPreparationFor(n), ChassisPreparation::kNvidiaPortSet) << n;
  }
  EXPECT_EQ(Prefix(ChassisPrepException()), "none");
  EXPECT_EQ(ChassisPreparationFor(ChassisPrepException()), ChassisPreparation::kNothing);
  EXPECT_EQ(ChassisPreparationFor("ZQ1"), ChassisPreparation::kIntelFlagClear);
  EXPECT_EQ(ChassisPreparationFor("ZR1"), ChassisPreparation::kIntelFlagClear);
  EXPECT_EQ(ChassisPreparationFor("ZT1"), ChassisPreparation::kViaFlagClear);
  EXPECT_EQ(ChassisPreparationFor("XZQ1"), ChassisPreparation::kRefuse) << "prefix must be at the start";
  EXPECT_EQ(ChassisPreparationFor("zq1"), ChassisPreparation::kRefuse);

  const auto offsets = TemperatureOffsetTable();
  ASSERT_EQ(offsets.size(), 2u);
  EXPECT_EQ(offsets[0].names.size(), 3u);
  EXPECT_EQ(offsets[0].outcome, (TemperatureOffsets{{17, 42, 42}, true}));
  EXPECT_EQ(offsets[1].names.size(), 2u);
  EXPECT_EQ(offsets[1].outcome, (TemperatureOffsets{{10, 37, 0}, false}));
  EXPECT_EQ(TemperatureOffsetsFor("UNKNOWN"), TemperatureOffsets{});
  EXPECT_EQ(RepeatedEntries(offsets).size(), 0u);

  EXPECT_EQ(ResumeRestartModels().size(), 3u);
  ASSERT_EQ(VcoreFactorModels().size(), 2u);
  EXPECT_FLOAT_EQ(DefaultVcoreFactor(0x80, VcoreFactorModels()[0]), 0.0165F);
  EXPECT_FLOAT_EQ(DefaultVcoreFactor(0x80, VcoreFactorModels()[1]), 0.0158F);
  EXPECT_FLOAT_EQ(DefaultVcoreFactor(0x21, VcoreFactorModels()[0]), 0.016F) << "only on a W83637HF";
}

TEST(TemperatureTables, WiringAndCalibrationValues) {
  const auto wiring = TempWiringTable();
  ASSERT_EQ(wiring.size(), 3u);
  EXPECT_EQ(wiring[0].outcome, TempRoutine::kProcessAllTemperature);
  EXPECT_GT(wiring[0].names.size(), wiring[1].names.size());
  EXPECT_GT(wiring[1].names.size(), wiring[2].names.size()) << "CPU3 is the smallest group";
  EXPECT_EQ(wiring[2].outcome, TempRoutine::kProcessTemperatureCPU3_Sys1_Pin);
  EXPECT_TRUE(RepeatedEntries(wiring).empty());
  EXPECT_NEAR(static_cast<double>(LiveNames(wiring).size()), 250.0, 10.0);

  std::set<int> row0Offsets, row12Offsets, extensions;
  int row0Factors = 0, row12Factors = 0, otherBank = 0;
  std::map<TempBankRouting, std::vector<std::string_view>> routings;
  for (const auto& c : TempCalibrationTable()) {
    for (int k = 0; k < 3; ++k) {
      const auto& row = c.rows[static_cast<std::size_t>(k)];
      if (row.offset != 0) (k == 0 ? row0Offsets : row12Offsets).insert(row.offset);
      if (row.gaugeExtension != 0) extensions.insert(row.gaugeExtension);
      EXPECT_TRUE(row.windowLowering == 0 || row.windowLowering == 30 || row.windowLowering == 42) << c.model;
      EXPECT_TRUE(row.captionLowering == 0 || row.captionLowering == 15 || row.captionLowering == 30)
          << c.model;
    }
    if (c.rows[0].factor != 1.0F) {
      ++row0Factors;
      EXPECT_EQ(TempRoutineFor(c.model), TempRoutine::kProcessTemperatureCPU3_Sys1_Pin) << c.model;
    }
    if (c.rows[1].factor != 1.0F || c.rows[2].factor != 1.0F) ++row12Factors;
    // The alarm of a calibrated row can fire: the sensor's top reading (127 degrees, 255 half
    // degrees) shows above the limit the row has by default (a limit edit shows the limit of
    // some rows lower by their caption lowering; start-up runs one).
    const CatalogBoard* board = FindCatalogBoard(c.model);
    for (int k = 0; k < 3; ++k) {
      if (board == nullptr || (board->presentItems & ItemBit(12 + k)) == 0) continue;
      const auto& row = c.rows[static_cast<std::size_t>(k)];
      const int scale = k == 0 ? 1 : 2;
      const double top = (127.0 * scale + scale - 1 + row.offset) * static_cast<double>(row.factor) / scale;
      const double limit =
          static_cast<double>(TempLimitDefaultsFor(c.model).hiLimit[static_cast<std::size_t>(k)]) -
          row.captionLowering;
      EXPECT_GT(top, limit + 10.0) << c.model << " row " << k;
    }
    routings[c.readBanks].push_back(c.model);
    otherBank += c.limitsToOtherBank ? 1 : 0;
  }
  EXPECT_EQ(row0Offsets, (std::set<int>{-42, -37, -30}));
  EXPECT_EQ(row12Offsets, (std::set<int>{-74, -60, -30}));
  EXPECT_EQ(extensions, (std::set<int>{25, 27, 29, 50}));
  EXPECT_EQ(row0Factors, 1);
  EXPECT_EQ(row12Factors, 2);
  EXPECT_EQ(otherBank, 2);
  ASSERT_EQ(routings[TempBankRouting::kSwapped].size(), 1u);
  ASSERT_EQ(routings[TempBankRouting::kBothBank1].size(), 1u);
  ASSERT_EQ(routings[TempBankRouting::kBothBank2].size(), 1u);
  const auto swapped = routings[TempBankRouting::kSwapped][0];
  EXPECT_EQ(TempRoutineFor(swapped), TempRoutine::kProcessAllTemperature);
  EXPECT_EQ(TempReadBank(swapped, 1), 2);
  EXPECT_EQ(TempReadBank(swapped, 2), 1);
  for (auto m : {routings[TempBankRouting::kBothBank1][0], routings[TempBankRouting::kBothBank2][0]}) {
    EXPECT_EQ(TempRoutineFor(m), TempRoutine::kProcessTemperatureCPU2_Sys1_Pin) << m;
  }
  EXPECT_EQ(TempReadBank(routings[TempBankRouting::kBothBank2][0], 1), 2);
  EXPECT_EQ(TempReadBank("UNKNOWN", 2), 2);
}

TEST(ItemAndLimitTables, GroupShapes) {
  std::map<ItemChip, std::vector<std::size_t>> sizes;
  for (const auto& g : ItemTable()) sizes[g.outcome.chip].push_back(g.names.size());
  const auto& w627 = sizes[ItemChip::kW83627HF];
  ASSERT_EQ(w627.size(), 8u);
  EXPECT_EQ(w627[2], *std::max_element(w627.begin(), w627.end())) << "group C is the largest";
  EXPECT_EQ(w627[3], 1u) << "one model lacks 6, 11 and 14";
  const auto& w697 = sizes[ItemChip::kW83697HF];
  ASSERT_EQ(w697.size(), 3u);
  EXPECT_EQ(w697[0], 1u);
  EXPECT_EQ(w697[1], 3u);
  EXPECT_EQ(sizes[ItemChip::kW83637HF], (std::vector<std::size_t>{1, 1}));
  ASSERT_EQ(sizes[ItemChip::kIte].size(), 3u);
  EXPECT_EQ(sizes[ItemChip::kIte][2], 1u);
  for (const auto& g : ItemTable()) {
    if (g.outcome.chip == ItemChip::kW83697HF) {
      EXPECT_EQ(g.outcome.absentItems & (ItemBit(6) | ItemBit(11)), ItemBit(6) | ItemBit(11))
          << "every W83697HF board lacks items 6 and 11";
    }
  }
  EXPECT_TRUE(RepeatedEntries(ItemTable()).empty());

  std::vector<std::size_t> limitSizes;
  for (const auto& g : TempLimitTable()) limitSizes.push_back(g.names.size());
  EXPECT_EQ(limitSizes, (std::vector<std::size_t>{1, 1, 6, 3, 1, 20}));
  const auto hot = TempLimitTable()[0].names[0];
  EXPECT_FLOAT_EQ(TempLimitDefaultsFor(hot).hiLimit[0], 102.0F);
  EXPECT_TRUE(TempLimitDefaultsFor(hot).captionPreset[0]);
  const auto plain = TempLimitDefaultsFor("UNKNOWN");
  EXPECT_EQ(plain.hiLimit, (std::array<float, 3>{60.0F, 60.0F, 90.0F}));
  EXPECT_EQ(plain.captionPreset, (std::array<bool, 3>{}));
}

TEST(AlarmLists, SizesAndFamilies) {
  const auto a = FanLabelListA();
  ASSERT_EQ(a.size(), 12u);
  int zr6 = 0, zq6 = 0;
  for (auto n : a) {
    zr6 += n.substr(0, 3) == "ZR6" ? 1 : 0;
    zq6 += n.substr(0, 3) == "ZQ6" ? 1 : 0;
  }
  EXPECT_EQ(zr6, 8);
  EXPECT_EQ(zq6, 4);
  EXPECT_EQ(FanLabelListB().size(), 5u);
  for (auto n : FanLabelListB()) EXPECT_TRUE(Contains(a, n) && n.substr(0, 3) == "ZR6") << n;
  EXPECT_EQ(FanLabelListC().size(), 4u);
  for (auto n : FanLabelListC()) EXPECT_TRUE(Contains(a, n) && n.substr(0, 3) == "ZQ6") << n;
  EXPECT_EQ(Zt50AlarmList().size(), 6u);
  for (auto n : Zt50AlarmList()) EXPECT_EQ(n.substr(0, 4), "ZT50") << n;
  EXPECT_EQ(Families(TempSwapList()), (std::map<std::string, int>{{"ZR", 2}}));
  EXPECT_EQ(Families(FanNameListModels()), (std::map<std::string, int>{{"ZR", 1}, {"ZT", 2}}));
}

TEST(ChassisTables, DetectionAndClearCounts) {
  const auto detect = ChassisDetectionTable();
  EXPECT_EQ(detect.size(), 26u);
  auto countBy = [](ModelTable<ChassisMethod> t) {
    std::map<ChassisMethod, int> m;
    for (const auto& g : t) m[g.outcome] += static_cast<int>(g.names.size());
    return m;
  };
  using M = ChassisMethod;
  EXPECT_EQ(
      countBy(detect),
      (std::map<M, int>{{M::kIntel, 95}, {M::kWinbond, 71}, {M::kVia, 14}, {M::kNvidia, 14}, {M::kNone, 6}}));
  EXPECT_EQ(LiveNames(detect).size(), 200u);
  EXPECT_EQ(
      countBy(ChassisDisableClearTable()),
      (std::map<M, int>{{M::kIntel, 95}, {M::kWinbond, 62}, {M::kVia, 14}, {M::kNvidia, 14}, {M::kNone, 4}}));
  EXPECT_EQ(LiveNames(ChassisDisableClearTable()).size(), 189u);
  EXPECT_EQ(LiveNames(ChassisIgnoreClearTable()).size(), 190u);
  // The two clear lists agree but for five models.
  const auto disable = LiveNames(ChassisDisableClearTable());
  const auto ignore = LiveNames(ChassisIgnoreClearTable());
  std::set<std::string_view> all(disable);
  all.insert(ignore.begin(), ignore.end());
  int differing = 0;
  for (auto n : all) {
    const bool same = disable.count(n) && ignore.count(n) && DisableClearFor(n) == IgnoreClearFor(n);
    differing += same ? 0 : 1;
  }
  EXPECT_EQ(differing, 5);
  EXPECT_FALSE(ChassisMethodFor("UNKNOWN").has_value());
  EXPECT_EQ(DisableClearFor("UNKNOWN"), ChassisMethod::kNone);
}

TEST(FanControlList, OneHundredFortyTwoByFamily) {
  const auto fans = SupportedFanModels();
  EXPECT_EQ(std::set<std::string_view>(fans.begin(), fans.end()).size(), 142u);
  EXPECT_EQ(Families(fans),
            (std::map<std::string, int>{{"ZQ", 62}, {"ZR", 31}, {"ZT", 34}, {"ZV", 14}, {"none", 1}}));
}

}  // namespace
}  // namespace veltrix::monitor::boards
