#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "sim/board/board_profile.h"
#include "sim/machine/sim_machine.h"
#include "sim/scenario/scenario.h"

namespace veltrix::sim {
namespace {

TEST(ScenarioParser, ReadsEventsInTimeOrder) {
  const char* text =
      "# fan failure demo\n"
      "\n"
      "at 10s fan CPU stop   # the CPU fan dies\r\n"
      "at 2s rail +12V 10.8V\n"
      "at 500ms load 80%\n"
      "at 2s case open\n"
      "at 1.5m temp CPU 95\n"
      "at 3s garbage reg 0x20 0xFF bank 5\n"
      "at 4s garbage off reg 0x20\n"
      "at 12s suspend\n"
      "at 13s resume\n"
      "at 14s rail +12V nominal";
  ScenarioParseResult r = ParseScenario(text, "demo.scn");
  ASSERT_TRUE(r.scenario) << r.error;
  const auto& ev = r.scenario->events;
  ASSERT_EQ(ev.size(), 10u);
  EXPECT_EQ(ev[0].action, ScenarioAction::kLoad);
  EXPECT_EQ(ev[0].atMs, 500.0);
  EXPECT_EQ(ev[0].value, 80.0);
  // Equal times keep file order.
  EXPECT_EQ(ev[1].action, ScenarioAction::kRailSet);
  EXPECT_EQ(ev[1].target, "+12V");
  EXPECT_DOUBLE_EQ(ev[1].value, 10.8);
  EXPECT_EQ(ev[2].action, ScenarioAction::kCaseOpen);
  EXPECT_EQ(ev[3].action, ScenarioAction::kGarbage);
  EXPECT_EQ(ev[3].reg, 0x20);
  EXPECT_EQ(ev[3].byte, 0xFF);
  EXPECT_EQ(ev[3].bank, 5);
  EXPECT_EQ(ev[4].action, ScenarioAction::kGarbageClear);
  EXPECT_EQ(ev[5].action, ScenarioAction::kFanStop);
  EXPECT_EQ(ev[5].line, 3);
  EXPECT_EQ(ev[9].action, ScenarioAction::kTempSet);
  EXPECT_EQ(ev[9].atMs, 90000.0);
}

TEST(ScenarioParser, ErrorsNameFileAndLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"at 1s load 50\nat 2s dance\n", "s.scn:2: unknown event 'dance'"},
      {"at ten fan CPU stop", "s.scn:1: bad time 'ten' (use e.g. 10s, 1.5s, 500ms, 2m)"},
      {"at -1s load 5", "s.scn:1: bad time '-1s' (use e.g. 10s, 1.5s, 500ms, 2m)"},
      {"\n\nfan CPU stop", "s.scn:3: expected 'at TIME EVENT ...'"},
      {"at 1s fan CPU", "s.scn:1: expected 'fan NAME stop|fail|run|rpm N'"},
      {"at 1s load 150", "s.scn:1: load must be 0 to 100 percent"},
      {"at 1s rail +12V lots", "s.scn:1: rail value must be volts from -30 to 30 or 'nominal'"},
      {"at 1s garbage reg 0x80 0x00", "s.scn:1: register must be hex 0x00 to 0x7f"},
      {"at 1s garbage reg 0x20 0x1FF", "s.scn:1: garbage value must be a hex byte like 0xff"},
      {"at 1s suspend now", "s.scn:1: 'suspend' takes no arguments"},
      {"at 1s temp CPU nan", "s.scn:1: temperature must be -55 to 150 degrees or 'auto'"},
      {"at 1s load 5\0x", "s.scn:1: control character in line"},
  };
  for (const Case& c : cases) {
    std::string_view text = c.text;
    if (text == "at 1s load 5") text = std::string_view("at 1s load 5\0x", 14);
    ScenarioParseResult r = ParseScenario(text, "s.scn");
    EXPECT_FALSE(r.scenario) << c.text;
    EXPECT_EQ(r.error, c.error);
  }
}

TEST(ScenarioParser, EmptyScriptHasNoEvents) {
  ScenarioParseResult r = ParseScenario("# nothing\n\n   \n", "e.scn");
  ASSERT_TRUE(r.scenario);
  EXPECT_TRUE(r.scenario->events.empty());
  EXPECT_EQ(LoadScenarioFile("/nonexistent/x.scn").error,
            "/nonexistent/x.scn: cannot read (No such file or directory)");
}

// Inputs that are not script files are refused at once, before anything is read into memory.
TEST(ScenarioParser, OnlyRegularFilesOfBoundedSizeAreRead) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("veltrix-scenario-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string fifo = (folder / "pipe.scn").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LoadScenarioFile(fifo).error, fifo + ": cannot read (it is not a regular file)");
  EXPECT_EQ(LoadScenarioFile("/dev/zero").error, "/dev/zero: cannot read (it is not a regular file)");
  const std::string big = (folder / "big.scn").string();
  std::string comments;
  while (comments.size() <= kMaxScenarioFileBytes) comments += std::string(99, '#') + "\n";
  std::ofstream(big) << comments;
  EXPECT_EQ(LoadScenarioFile(big).error, big + ": cannot read (it is larger than the limit of 1 MiB)");
  std::filesystem::resize_file(big, kMaxScenarioFileBytes);
  EXPECT_TRUE(LoadScenarioFile(big).scenario) << "the limit itself is allowed";
  std::filesystem::remove_all(folder);
}

TEST(ScenarioOnMachine, UnknownNamesAreRejectedWithNothingApplied) {
  SimMachine m(*FindProfile("ZR45-MAX"), 1);  // W83697HF board: two fans, no +2.5V
  auto parsed = ParseScenario("at 0s load 90\nat 0s case open\nat 5s fan AUX stop\n", "bad.scn");
  ASSERT_TRUE(parsed.scenario);
  EXPECT_EQ(m.LoadScenario(*parsed.scenario), "bad.scn:3: board ZR45-MAX has no fan 'AUX'");
  EXPECT_EQ(m.Physics().LoadPercent(), 0.0);
  EXPECT_FALSE(m.CaseOpen());
  EXPECT_EQ(m.PendingScenarioEvents(), 0u);

  parsed = ParseScenario("at 1s rail +2.5V 2.0\n", "bad.scn");
  EXPECT_EQ(m.LoadScenario(*parsed.scenario), "bad.scn:1: board ZR45-MAX has no rail '+2.5V'");
}

}  // namespace
}  // namespace veltrix::sim
