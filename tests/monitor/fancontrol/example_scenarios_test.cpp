// The Hushwind examples under examples/, played on whole programs: the CPU warms up in steps
// and each method's fans answer as the files' comments and examples/README.md say.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "platform/registry/hive_text.h"
#include "sim/scenario/scenario.h"
#include "tests/monitor/fancontrol/fan_test_support.h"

namespace veltrix::monitor::fantest {
namespace {

std::string Example(const std::string& file) {
  return std::string(VELTRIX_SOURCE_DIR) + "/examples/" + file;
}

// A program on the board the examples name, with the preset registry file and the scenario.
std::unique_ptr<SimProgram> Played(const std::string& preset, const std::string& scenarioFile = "cpu-heats-up.scn",
                                   const std::string& board = "ZQ76") {
  auto p = std::make_unique<SimProgram>(board);
  std::ifstream in(Example(preset));
  std::stringstream text;
  text << in.rdbuf();
  const platform::HiveParseResult hive = platform::ParseHive(text.str());
  EXPECT_FALSE(hive.error) << preset << ":" << (hive.error ? hive.error->reason : "");
  std::function<void(const platform::RegistryKey&, const std::string&)> plant = [&](const platform::RegistryKey& key,
                                                                                     const std::string& path) {
    for (const auto& [name, value] : key.values) {
      platform::HKey handle = 0;
      p->Registry().RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, path, &handle);
      p->Registry().RegSetValueExA(handle, name, value.type, value.data.data(),
                                   static_cast<std::uint32_t>(value.data.size()));
      p->Registry().RegCloseKey(handle);
    }
    for (const auto& sub : key.subKeys) plant(sub, path.empty() ? sub.name : path + "\\" + sub.name);
  };
  plant(hive.root, "");
  const auto scenario = sim::LoadScenarioFile(Example(scenarioFile));
  EXPECT_TRUE(scenario.scenario) << scenario.error;
  if (scenario.scenario) {
    EXPECT_EQ(p->Machine().LoadScenario(*scenario.scenario), "");
  }
  EXPECT_FALSE(p->Start());
  return p;
}

// CpuFanPercent after the given second of the scenario (each step lasts ten seconds).
int CpuPercentAt(SimProgram& p, int second) {
  p.AdvanceMs(second * 1000 - p.Scheduler().NowMs());
  return Main(p).CpuFanPercent;
}

TEST(HushwindExamples, MultipleLevelStepsWithTheTemperature) {
  auto p = Played("hushwind-multi-level.reg");
  EXPECT_EQ(Main(*p).FanControlMethod, kFanMethodMultiLevel);
  EXPECT_EQ(CpuPercentAt(*p, 8), 20) << "30 °C";
  EXPECT_EQ(Output(*p, 0), 15);
  EXPECT_EQ(CpuPercentAt(*p, 18), 60) << "38 °C";
  EXPECT_EQ(CpuPercentAt(*p, 28), 80) << "44 °C";
  EXPECT_EQ(CpuPercentAt(*p, 38), 90) << "48 °C";
  EXPECT_EQ(CpuPercentAt(*p, 48), 100) << "56 °C";
  EXPECT_EQ(Output(*p, 0), 255);
  EXPECT_EQ(CpuPercentAt(*p, 58), 60) << "36 °C";
  EXPECT_EQ(Main(*p).SystemFanPercent, 100) << "the system fan's curve is 100 % throughout";
  EXPECT_TRUE(IsNumericCaption(Main(*p).lblFanSpeed[0].Caption.Get()));
  EXPECT_TRUE(p->Boxes().empty());
}

TEST(HushwindExamples, FixedOutputsGiveWayAtFiftyFiveDegrees) {
  auto p = Played("hushwind-fixed.reg");
  EXPECT_EQ(CpuPercentAt(*p, 8), 40);
  EXPECT_EQ(Main(*p).SystemFanPercent, 60);
  EXPECT_EQ(Output(*p, 0), 15);
  EXPECT_EQ(Output(*p, 1), 17);
  EXPECT_EQ(CpuPercentAt(*p, 48), 100);
  EXPECT_EQ(Output(*p, 1), 255);
  EXPECT_EQ(CpuPercentAt(*p, 58), 40) << "back to its own output";
  EXPECT_EQ(Output(*p, 0), 15);
}

TEST(HushwindExamples, SmartControlFollowsTheCpuAroundItsTarget) {
  auto p = Played("hushwind-smart.reg");
  EXPECT_EQ(CpuPercentAt(*p, 8), 0) << "30 °C, below 41: the CPU fan stops";
  EXPECT_EQ(Main(*p).lblFanSpeed[0].Caption.Get(), "fan stop");
  EXPECT_EQ(Main(*p).lblFanSpeed[0].BackColor.Get(), forms::kColorGreen) << "no alarm under fan control";
  EXPECT_EQ(CpuPercentAt(*p, 18), 0) << "38 °C, warming below the target: kept";
  EXPECT_EQ(CpuPercentAt(*p, 29), 30) << "44 °C, above the target: +30";
  EXPECT_EQ(CpuPercentAt(*p, 39), 100) << "48 °C, more than 6 above: full output";
  EXPECT_EQ(CpuPercentAt(*p, 48), 100) << "56 °C";
  const int cooling = CpuPercentAt(*p, 58);
  EXPECT_GE(cooling, 60) << "36 °C: 20 points less every six seconds";
  EXPECT_LE(cooling, 80);
  EXPECT_TRUE(p->Boxes().empty());
}

TEST(HushwindExamples, RecommendedSettingKeepsAnOverheatedRowGreen) {
  // The board the README's command runs on: the default one.
  auto p = Played("hushwind-recommended.reg", "cpu-overheat.scn", "ZQ51/ZQ51S");
  p->AdvanceMs(8000 - p->Scheduler().NowMs());
  EXPECT_EQ(Main(*p).FanControlMethod, kFanMethodRecommended);
  for (int k = 0; k < kTempCount; ++k) {
    EXPECT_EQ(Main(*p).lblStatusT[k].BackColor.Get(), forms::kColorGreen) << k;
  }
  EXPECT_TRUE(p->Boxes().empty());
}

}  // namespace
}  // namespace veltrix::monitor::fantest
