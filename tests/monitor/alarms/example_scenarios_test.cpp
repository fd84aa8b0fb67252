// The scenario files under examples/, played on whole programs: what each example's comment
// promises is what happens.
#include <gtest/gtest.h>

#include <vector>

#include "sim/scenario/scenario.h"
#include "tests/monitor/alarms/alarm_test_support.h"

namespace veltrix::testsupport {
namespace {

void Play(SimProgram& p, const std::string& file) {
  const auto parsed = sim::LoadScenarioFile(std::string(VELTRIX_SOURCE_DIR) + "/examples/" + file);
  ASSERT_TRUE(parsed.scenario) << parsed.error;
  ASSERT_EQ(p.Machine().LoadScenario(*parsed.scenario), "");
}

// Whether `form` was showing after each monitoring tick, with the tick's time.
struct Sample {
  std::int64_t ms;
  bool showing;
};
std::vector<Sample> Watch(SimProgram& p, const std::string& form, std::int64_t untilMs) {
  std::vector<Sample> samples;
  p.Prog().OnMonitoringTick = [&](std::uint64_t) {
    samples.push_back({p.Scheduler().NowMs(), Showing(p, form)});
  };
  p.AdvanceMs(untilMs - p.Scheduler().NowMs());
  p.Prog().OnMonitoringTick = nullptr;
  return samples;
}
bool ShownBetween(const std::vector<Sample>& samples, std::int64_t from, std::int64_t to) {
  for (const Sample& s : samples) {
    if (s.ms >= from && s.ms <= to && s.showing) return true;
  }
  return false;
}

TEST(ExampleScenarios, CpuFanThatStops) {
  SimProgram p(PlainWinbondBoard());
  Play(p, "cpu-fan-stops.scn");
  ASSERT_FALSE(p.Start());
  p.AdvanceMs(6000 - p.Scheduler().NowMs());
  EXPECT_TRUE(Showing(p, "frmFan1"));
  EXPECT_EQ(Main(p).lblFanSpeed[0].BackColor.Get(), forms::kColorRed);
}

TEST(ExampleScenarios, TwelveVoltSagWithFirstSampleRule) {
  SimProgram p(PlainWinbondBoard());
  Play(p, "rail-12v-sag.scn");
  ASSERT_FALSE(p.Start());
  const auto samples = Watch(p, "frmVp12", 12000);
  EXPECT_TRUE(ShownBetween(samples, 3000, 4500));
  EXPECT_FALSE(ShownBetween(samples, 5000, 7900)) << "closed by the first good sample";
  EXPECT_TRUE(ShownBetween(samples, 8000, 10000));
  EXPECT_FALSE(ShownBetween(samples, 10500, 12000));
}

TEST(ExampleScenarios, TwelveVoltSagWithThreeSampleRuleSetInTheRegistry) {
  // First run: the program writes the board's default limits and flags.
  SimProgram first(PlainWinbondBoard());
  ASSERT_FALSE(first.Start());
  SimProgram p(PlainWinbondBoard());
  for (const platform::RegistryEntry& e : first.Registry().AllValues()) {
    platform::HKey key = 0;
    ASSERT_EQ(p.Registry().RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, e.keyPath, &key), 0);
    std::vector<std::uint8_t> data = e.value.data;
    if (e.name == "WErr14") data = {0, 0, 0, 0};
    p.Registry().RegSetValueExA(key, e.name, e.value.type, data.data(),
                                static_cast<std::uint32_t>(data.size()));
    p.Registry().RegCloseKey(key);
  }
  Play(p, "rail-12v-sag.scn");
  ASSERT_FALSE(p.Start());
  ASSERT_EQ(Main(p).WErr1[4], 0);
  const auto samples = Watch(p, "frmVp12", 12000);
  EXPECT_FALSE(ShownBetween(samples, 0, 7900)) << "two bad samples are not enough";
  EXPECT_TRUE(ShownBetween(samples, 8000, 10500)) << "the third bad sample in a row shows it";
}

TEST(ExampleScenarios, OverheatingCpuIsGreenUnderTheRecommendedFanSetting) {
  const auto board = FindBoard([](const monitor::boards::CatalogBoard& b) {
    return b.chipFamily == 1 && b.fanControl &&
           monitor::boards::TempRoutineFor(b.model) == monitor::boards::TempRoutine::kProcessAllTemperature;
  });
  for (const bool recommended : {false, true}) {
    SimProgram p(board);
    Play(p, "cpu-overheat.scn");
    ASSERT_FALSE(p.Start());
    if (recommended) Main(p).FanControlMethod = monitor::kFanMethodRecommended;
    p.AdvanceMs(8000 - p.Scheduler().NowMs());
    bool anyRed = false;
    bool anyDialog = false;
    for (int k = 0; k < monitor::kTempCount; ++k) {
      anyRed = anyRed || Main(p).lblStatusT[k].BackColor.Get() == forms::kColorRed;
      anyDialog = anyDialog || Showing(p, std::string(monitor::AlarmFormName(monitor::kFirstTempItem + k)));
    }
    EXPECT_EQ(anyRed, !recommended) << board;
    EXPECT_EQ(anyDialog, !recommended) << board;
  }
}

TEST(ExampleScenarios, OverheatingCpuAlarmsOnTheRowCaptionedCpu) {
  // The boards the examples' README names: the default board, a ZT50 board, a board without a
  // second temperature.
  const std::pair<const char*, const char*> cases[] = {
      {"ZQ51/ZQ51S", "frmTemp2"}, {"ZT50L", "frmTemp1"}, {"ZQ79LPLUS", "frmTemp3"}};
  for (const auto& [board, dialog] : cases) {
    SCOPED_TRACE(board);
    SimProgram p(board);
    Play(p, "cpu-overheat.scn");
    ASSERT_FALSE(p.Start());
    p.AdvanceMs(8000 - p.Scheduler().NowMs());
    for (int k = 0; k < monitor::kTempCount; ++k) {
      const std::string form(monitor::AlarmFormName(monitor::kFirstTempItem + k));
      EXPECT_EQ(Showing(p, form), form == dialog) << form;
    }
  }
}

class ChassisExample : public ::testing::TestWithParam<const char*> {};

TEST_P(ChassisExample, OpenedCaseStaysReportedUntilIgnoreThenDisable) {
  SimProgram p(GetParam());
  Play(p, "chassis-open.scn");
  ASSERT_FALSE(p.Start());
  Main(p).WBeep[monitor::kChassisItem] = 1;
  p.AdvanceMs(6000 - p.Scheduler().NowMs());
  ASSERT_TRUE(Showing(p, "frmCaseOpen"));
  EXPECT_EQ(Main(p).lblCaseOpen.Caption.Get(), "PC chassis is opened!!!");
  EXPECT_TRUE(p.Machine().Speaker().SpeakerOn());

  Dialog(p, "frmCaseOpen")->Command[monitor::kIgnoreButton].UserClick();
  Ticks(p, 2);
  EXPECT_FALSE(Showing(p, "frmCaseOpen"));
  EXPECT_EQ(Main(p).lblCaseOpen.Caption.Get(), "PC chassis is closed...");

  p.Machine().SetCaseOpen(true);
  Ticks(p, 1);
  ASSERT_TRUE(Showing(p, "frmCaseOpen"));
  Dialog(p, "frmCaseOpen")->Command[monitor::kDisableButton].UserClick();
  Ticks(p, 2);
  EXPECT_FALSE(Showing(p, "frmCaseOpen"));
  EXPECT_FALSE(Main(p).lblCaseOpen.Visible.Get());
  EXPECT_FALSE(p.Machine().Speaker().SpeakerOn());
}

// The boards the example's comment names, one per kind of flag.
INSTANTIATE_TEST_SUITE_P(Boards, ChassisExample, ::testing::Values("ZQ52", "ZT50AEPRO", "ZT50L", "ZQ76"));

TEST(ExampleScenarios, ShutdownOptionEndsTheSessionAtTheFirstDialog) {
  // The board the example names: every fan it has spins, so nothing alarms before the scenario.
  SimProgram p("ZQ87MAX");
  platform::HKey key = 0;
  p.Registry().RegCreateKeyA(platform::HKEY_LOCAL_MACHINE,
                             "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Setting", &key);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  p.Registry().RegSetValueExA(key, "Check2", 4, one, 4);
  p.Registry().RegCloseKey(key);
  Play(p, "shutdown-option.scn");
  ASSERT_FALSE(p.Start());
  EXPECT_EQ(p.AdvanceMs(20000), std::optional<int>(0));
  EXPECT_TRUE(p.System().SessionEnded());
  std::string loaded;
  for (forms::Form* f : p.App().Forms()) {
    if (f->IsLoaded() && f->Name() != "frmdoctor") loaded += f->Name() + " ";
  }
  EXPECT_EQ(loaded, "frmFan1 ") << "at " << p.Scheduler().NowMs() << " ms";
}

}  // namespace
}  // namespace veltrix::testsupport
