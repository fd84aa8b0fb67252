// The Setting key and the Run entry as start-up, "Save", the first-run rule and the
// housekeeping tick leave them.
#include <gtest/gtest.h>

#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "tests/monitor/settings/settings_helpers.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using namespace monitor::testing;
using testsupport::SimProgram;

// A Winbond board outside the ZT/ZV families, so Check3 stays editable.
constexpr const char* kBoard = "ZQ52";

const std::string kLimitKey = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Limit";

TEST(SettingsStore, FreshSystemLoadsUncheckedAtTheShortestLoadedPeriod) {
  SimProgram p(kBoard);
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  for (auto* box : {&f.Check1, &f.Check2, &f.Check3, &f.Check4, &f.Check5}) EXPECT_EQ(box->Value, 0);
  EXPECT_EQ(f.SldInterval.Value, 0);
  EXPECT_EQ(f.Timer1.Interval, 600);
  EXPECT_FALSE(p.Registry().KeyExists(kSettingKey));

  // The housekeeping tick creates the key but writes nothing into it.
  ASSERT_FALSE(p.AdvanceMs(500));
  EXPECT_TRUE(p.Registry().KeyExists(kSettingKey));
  EXPECT_TRUE(ValueNames(p.Registry(), kSettingKey).empty());
  EXPECT_FALSE(p.Registry().KeyExists(kRunKey));
}

TEST(SettingsStore, StoredValuesFillThePageAndTheLoadedPeriod) {
  SimProgram p(kBoard);
  PlantSetting(p.Registry(), "Check1", 1);
  PlantSetting(p.Registry(), "Check2", 7);  // any non-zero value ticks the box
  PlantSetting(p.Registry(), "Check3", 1);
  PlantSetting(p.Registry(), "Check4", 0);
  PlantSetting(p.Registry(), "Check5", 0);
  PlantSetting(p.Registry(), "PollingTime", 4);
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  EXPECT_EQ(f.Check1.Value, 1);
  EXPECT_EQ(f.Check2.Value, 1);
  EXPECT_EQ(f.Check3.Value, 1);
  EXPECT_EQ(f.Check4.Value, 0);
  EXPECT_EQ(f.Check5.Value, 0);
  EXPECT_EQ(f.SldInterval.Value, 4);
  EXPECT_EQ(f.Timer1.Interval, 5100);
  EXPECT_FALSE(StoredSetting(p.Registry(), "MinFlag"));  // Check4 off: MinFlag untouched

  // Moving the slider uses the other column of the table.
  f.SldInterval.Value = 6;
  EXPECT_EQ(f.Timer1.Interval, 15000);
  f.SldInterval.Value = 4;
  EXPECT_EQ(f.Timer1.Interval, 5000);
}

TEST(SettingsStore, PollingPeriodTableHasBothColumns) {
  const int loaded[] = {600, 1100, 2100, 3100, 5100, 10100, 15100, 20100, 25100, 30100};
  for (int pos = 0; pos < kPollingPositions; ++pos) {
    EXPECT_EQ(PollingPeriodTable(pos, PollingColumn::kLoaded), loaded[pos]);
    EXPECT_EQ(PollingPeriodTable(pos, PollingColumn::kMoved), loaded[pos] - 100);
  }
  EXPECT_FALSE(PollingPeriodTable(-1, PollingColumn::kMoved));
  EXPECT_FALSE(PollingPeriodTable(10, PollingColumn::kLoaded));
}

TEST(SettingsStore, DamagedValuesLeaveThePageAsItWas) {
  SimProgram p(kBoard);
  auto& reg = p.Registry();
  Plant(reg, kSettingKey, "Check1", platform::REG_SZ, {'1'});
  Plant(reg, kSettingKey, "Check2", platform::REG_BINARY, {1, 0});
  Plant(reg, kSettingKey, "Check3", platform::REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0});
  Plant(reg, kSettingKey, "Check4", platform::REG_SZ, {'1', 0});
  PlantSetting(reg, "Check5", 0);
  PlantSetting(reg, "PollingTime", 17);  // no such slider position
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  for (auto* box : {&f.Check1, &f.Check2, &f.Check3, &f.Check4}) EXPECT_EQ(box->Value, 0);
  EXPECT_FALSE(reg.ReadValue(kSettingKey, "MinFlag"));
  EXPECT_EQ(f.SldInterval.Value, 1);  // where the window put it
  EXPECT_EQ(f.Timer1.Interval, 1100);

  SimProgram q(kBoard);
  Plant(q.Registry(), kSettingKey, "PollingTime", platform::REG_SZ, {'3'});
  ASSERT_FALSE(q.Start());
  EXPECT_EQ(q.Prog().frmdoctor().SldInterval.Value, 1);
  EXPECT_EQ(q.Prog().frmdoctor().Timer1.Interval, 1100);
}

TEST(SettingsStore, SaveWritesTheWholeKeyAndTheRunEntry) {
  SimProgram p(kBoard);
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  f.Check1.Value = 1;
  f.Check2.Value = 2;  // grayed counts as ticked
  f.Check3.Value = 0;
  f.Check4.Value = 1;
  f.Check5.Value = 1;
  f.SldInterval.Value = 7;
  p.Answers().ClearShown();
  f.cmdSave_Click();

  auto& reg = p.Registry();
  EXPECT_EQ(ValueNames(reg, kSettingKey),
            (std::vector<std::string>{"Check1", "Check2", "Check3", "Check4", "Check5", "PollingTime"}));
  for (const char* name : {"Check1", "Check2", "Check4", "Check5"}) {
    const auto v = reg.ReadValue(kSettingKey, name);
    ASSERT_TRUE(v) << name;
    EXPECT_EQ(v->type, platform::REG_DWORD) << name;
    EXPECT_EQ(v->data, Dword(1)) << name;
  }
  EXPECT_EQ(reg.ReadValue(kSettingKey, "Check3")->data, Dword(0));
  EXPECT_EQ(reg.ReadValue(kSettingKey, "PollingTime")->data, Dword(7));

  const auto run = reg.ReadValue(kRunKey, kRunValueName);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->type, platform::REG_SZ);
  const std::string text = p.ProgramDir() + "\\Kestrine.exe";
  std::vector<std::uint8_t> expected(text.begin(), text.end());
  expected.push_back(0);  // the stored length counts the NUL
  EXPECT_EQ(run->data, expected);

  // The limits went in with the same "Save", and the user is told.
  EXPECT_TRUE(reg.ReadValue(kLimitKey, "LoBound0"));
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_EQ(p.Boxes()[0].text, "Save completed !");
  EXPECT_EQ(p.Boxes()[0].title, "Message");
  EXPECT_EQ(p.Boxes()[0].style, platform::vbOKOnly | platform::vbInformation);

  // Unticking "start with Windows" removes the entry; unticking the tray start clears the
  // one-shot request too.
  PlantSetting(reg, "MinFlag", 1);
  f.Check1.Value = 0;
  f.Check4.Value = 0;
  f.cmdSave_Click();
  EXPECT_FALSE(reg.ReadValue(kRunKey, kRunValueName));
  EXPECT_TRUE(reg.KeyExists(kRunKey));
  EXPECT_EQ(StoredSetting(reg, "Check4"), 0u);
  EXPECT_EQ(StoredSetting(reg, "MinFlag"), 0u);
  EXPECT_EQ(StoredSetting(reg, "Check1"), 0u);
}

TEST(SettingsStore, SaveWithoutTheStartEntryLeavesNoRunKeyBehind) {
  SimProgram p(kBoard);
  ASSERT_FALSE(p.Start());
  p.Prog().frmdoctor().cmdSave_Click();
  EXPECT_FALSE(p.Registry().KeyExists(kRunKey));
  EXPECT_EQ(StoredSetting(p.Registry(), "MinFlag"), 0u);
}

TEST(SettingsStore, SavedPageLoadsBackTheSame) {
  SimProgram p(kBoard);
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  f.Check2.Value = 1;
  f.Check3.Value = 1;
  f.SldInterval.Value = 9;
  f.cmdSave_Click();

  SimProgram q(kBoard);
  CopyStore(p.Registry(), q.Registry());
  ASSERT_FALSE(q.Start());
  auto& g = q.Prog().frmdoctor();
  EXPECT_EQ(g.Check1.Value, 0);
  EXPECT_EQ(g.Check2.Value, 1);
  EXPECT_EQ(g.Check3.Value, 1);
  EXPECT_EQ(g.SldInterval.Value, 9);
  EXPECT_EQ(g.Timer1.Interval, 30100);
}

TEST(SettingsStore, TrayStartHidesTheWindowOnceAfterMonitoringBegins) {
  SimProgram p(kBoard);
  PlantSetting(p.Registry(), "Check4", 1);
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  EXPECT_EQ(f.Check4.Value, 1);
  EXPECT_EQ(StoredSetting(p.Registry(), "MinFlag"), 1u);

  // Not while monitoring is stopped.
  f.Show();
  f.Timer1.Enabled = false;
  ASSERT_FALSE(p.AdvanceMs(1000));
  EXPECT_TRUE(f.Visible);
  EXPECT_EQ(StoredSetting(p.Registry(), "MinFlag"), 1u);

  f.Timer1.Enabled = true;
  ASSERT_FALSE(p.AdvanceMs(500));
  EXPECT_FALSE(f.Visible);
  EXPECT_TRUE(f.IsLoaded());
  EXPECT_EQ(StoredSetting(p.Registry(), "MinFlag"), 0u);

  // Restored from the tray, it stays up.
  f.Show();
  ASSERT_FALSE(p.AdvanceMs(3000));
  EXPECT_TRUE(f.Visible);
}

TEST(SettingsStore, AFirstStartStoresItsDefaultsInOneSave) {
  SimProgram first(kBoard);
  ASSERT_FALSE(first.Start());
  EXPECT_EQ(first.RegistrySaves(), 1) << "one durable write for every default of the start";
  EXPECT_TRUE(first.Registry().ReadValue(kLimitKey, "LoBound0"));
  EXPECT_TRUE(first.Registry().ReadValue(kLimitKey, "WBeep15"));

  SimProgram later(kBoard);
  CopyStore(first.Registry(), later.Registry());
  const int planted = later.RegistrySaves();
  ASSERT_FALSE(later.Start());
  EXPECT_EQ(later.RegistrySaves(), planted) << "a later start writes nothing";
}

TEST(SettingsStore, FirstStartWritesTheLimitsOnceAndShowsTheBoxesClear) {
  // A store from an earlier run, with one limit value lost.
  SimProgram earlier(kBoard);
  ASSERT_FALSE(earlier.Start());

  SimProgram p(kBoard);
  CopyStore(earlier.Registry(), p.Registry());
  platform::HKey limit = 0;
  ASSERT_EQ(p.Registry().RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kLimitKey, &limit),
            platform::ERROR_SUCCESS);
  p.Registry().RegDeleteValueA(limit, "WErr30");
  p.Registry().RegCloseKey(limit);
  for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check5"})
    PlantSetting(p.Registry(), name, 1);
  PlantSetting(p.Registry(), "FirstTime", 1);

  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  for (auto* box : {&f.Check1, &f.Check2, &f.Check3, &f.Check4, &f.Check5}) EXPECT_EQ(box->Value, 0);
  EXPECT_TRUE(p.Registry().ReadValue(kLimitKey, "WErr30"));
  EXPECT_EQ(StoredSetting(p.Registry(), "FirstTime"), 0u);
  for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check5"}) {
    EXPECT_EQ(StoredSetting(p.Registry(), name), 1u) << name;
  }
  // Unticking the period box on the page fell back to the unsampled period.
  EXPECT_EQ(f.Timer1.Interval, kUnsampledIntervalMs);

  // Later starts leave the store alone.
  SimProgram again(kBoard);
  CopyStore(p.Registry(), again.Registry());
  platform::HKey key = 0;
  again.Registry().RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kLimitKey, &key);
  again.Registry().RegDeleteValueA(key, "WErr30");
  again.Registry().RegCloseKey(key);
  ASSERT_FALSE(again.Start());
  EXPECT_FALSE(again.Registry().ReadValue(kLimitKey, "WErr30"));
  EXPECT_EQ(again.Prog().frmdoctor().Check1.Value, 1);
}

}  // namespace
}  // namespace veltrix::monitor
