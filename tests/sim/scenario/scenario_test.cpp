#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <array>
#include <utility>

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

TEST(ScenarioParser, DriveLines) {
  auto r = ParseScenario(
      "at 0s aspi adapters 2\n"
      "at 0s drive 1:0 cdrom\n"
      "at 0s drive 0:3 type 31\n"
      "at 1s drive 1:0 slow 800ms\n"
      "at 2s drive 1:0 hang\n"
      "at 3s DRIVE 1:0 Check\n"
      "at 4s drive 1:0 ok\n"
      "at 5s drive 1:0 remove\n"
      "at 6s aspi none\n",
      "d.scn");
  ASSERT_TRUE(r.scenario) << r.error;
  const auto& ev = r.scenario->events;
  ASSERT_EQ(ev.size(), 9u);
  EXPECT_EQ(ev[0].action, ScenarioAction::kAspiAdapters);
  EXPECT_EQ(ev[0].value, 2.0);
  EXPECT_EQ(ev[1].action, ScenarioAction::kDriveAdd);
  EXPECT_EQ((std::array{ev[1].aspiAdapter, ev[1].aspiTarget}), (std::array{1, 0}));
  EXPECT_EQ(ev[1].value, 5.0);
  EXPECT_EQ(ev[2].value, 31.0);
  EXPECT_EQ(ev[3].action, ScenarioAction::kDriveSlow);
  EXPECT_EQ(ev[3].value, 800.0);
  EXPECT_EQ(ev[4].action, ScenarioAction::kDriveHang);
  EXPECT_EQ(ev[5].action, ScenarioAction::kDriveCheck);
  EXPECT_EQ(ev[6].action, ScenarioAction::kDriveOk);
  EXPECT_EQ(ev[7].action, ScenarioAction::kDriveRemove);
  EXPECT_EQ(ev[8].action, ScenarioAction::kAspiNone);

  const std::pair<const char*, const char*> bad[] = {
      {"at 0s drive 8 cdrom",
       "x.scn:1: drive address must be ADAPTER:TARGET with adapter 0 to 14 and target 0 to 7 (e.g. 1:0)"},
      {"at 0s drive 0:8 cdrom",
       "x.scn:1: drive address must be ADAPTER:TARGET with adapter 0 to 14 and target 0 to 7 (e.g. 1:0)"},
      {"at 0s drive 0:0 floppy",
       "x.scn:1: unknown drive action 'floppy' (cdrom, disk, tape, type N, slow TIME, hang, check, ok or "
       "remove)"},
      {"at 0s drive 0:0 type 32", "x.scn:1: device type must be 0 to 31"},
      {"at 0s drive 0:0 slow 11m", "x.scn:1: the delay must be a time up to 10m (e.g. 800ms, 3s)"},
      {"at 0s drive 0:0 hang now", "x.scn:1: expected 'drive A:T hang|check|ok|remove'"},
      {"at 0s aspi adapters 16", "x.scn:1: the number of host adapters must be 0 to 15"},
      {"at 0s aspi", "x.scn:1: expected 'aspi none' or 'aspi adapters N'"},
  };
  for (const auto& [text, error] : bad) EXPECT_EQ(ParseScenario(text, "x.scn").error, error) << text;
}

TEST(ScenarioOnMachine, DriveEventsChangeTheAspiLayerAtTheirTime) {
  SimMachine m(*FindProfile("ZR45-MAX"), 1);
  // The machine comes with one adapter and a CD-ROM drive at 0:0.
  EXPECT_EQ(m.Aspi().AdapterCount(), 1);
  EXPECT_TRUE(m.Aspi().HasDevice(0, 0));

  auto parsed = ParseScenario(
      "at 0s aspi adapters 2\nat 0s drive 1:0 cdrom\nat 0s drive 0:0 disk\nat 2s drive 1:0 remove\n"
      "at 3s aspi none\n",
      "d.scn");
  ASSERT_TRUE(parsed.scenario) << parsed.error;
  ASSERT_EQ(m.LoadScenario(*parsed.scenario), "");
  EXPECT_EQ(m.Aspi().AdapterCount(), 2);
  EXPECT_TRUE(m.Aspi().HasDevice(1, 0));
  EXPECT_TRUE(m.Aspi().HasDevice(0, 0));
  m.Advance(2500);
  EXPECT_FALSE(m.Aspi().HasDevice(1, 0));
  EXPECT_TRUE(m.Aspi().Present());
  m.Advance(1000);
  EXPECT_FALSE(m.Aspi().Present());

  // Drives and adapters are checked against the layer as it will be at the line's time.
  SimMachine fresh(*FindProfile("ZR45-MAX"), 1);
  for (const auto& [text, error] :
       {std::pair{"at 0s drive 1:0 cdrom",
                  "e.scn:1: no host adapter 1 (the simulated ASPI layer has 1; use 'aspi adapters N' first)"},
        std::pair{"at 0s drive 0:1 hang", "e.scn:1: no drive at 0:1"},
        std::pair{"at 0s aspi adapters 3\nat 1s drive 0:0 slow 1s", "e.scn:2: no drive at 0:0"},
        std::pair{"at 1s drive 0:0 remove\nat 2s drive 0:0 ok", "e.scn:2: no drive at 0:0"}}) {
    auto p = ParseScenario(text, "e.scn");
    ASSERT_TRUE(p.scenario) << p.error;
    EXPECT_EQ(fresh.LoadScenario(*p.scenario), error) << text;
  }
  EXPECT_TRUE(fresh.Aspi().HasDevice(0, 0)) << "a rejected scenario changes nothing";
}

}  // namespace
}  // namespace veltrix::sim
