// A successful start on every chip, the globals it leaves, and the orderly exit.
#include <gtest/gtest.h>

#include <algorithm>

#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/startup/chk_mb_model.h"
#include "monitor/channels/fan_output.h"
#include "monitor/startup/exit_program.h"
#include "monitor/startup/exit_status.h"
#include "monitor/startup/frm_init.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/startup/startup.h"
#include "tests/support/port_trace.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using Lines = std::vector<std::string>;
using sim::ChipModel;
using testsupport::PortLines;
using testsupport::SimProgram;

// Supported boards of the catalog, one per chip, on the simulator's default wiring.
struct ChipCase {
  const char* model;
  ChipModel chip;
  std::uint16_t port;
  std::uint16_t expectedConfigPort;  // the W83637HF's device id is not one the probe accepts
  std::uint32_t chipId;
};
const ChipCase kChips[] = {
    {"ZT50E", ChipModel::W83627HF, 0x2E, 0x2E, kChipW83627HF},
    {"ZV62E", ChipModel::W83697HF, 0x2E, 0x2E, kChipW83697HF},
    {"ZT70", ChipModel::W83637HF, 0x2E, 0, kChipW83637HF},
    {"ZR41E", ChipModel::IT8705F, 0x2E, 0x2E, kChipIT8705F},
    {"ZR61", ChipModel::IT8712F, 0x4E, 0x4E, kChipIT8712F},
};

sim::BoardProfile Board(const ChipCase& c) {
  sim::BoardProfile b = sim::DefaultProfile();
  b.model = c.model;
  b.chip = c.chip;
  b.configPort = c.port;
  return b;
}

std::uint8_t Activation(SimProgram& p) {
  auto& chip = p.Machine().Chip();
  return chip.Config().GetRegister(chip.MonitorLdn(), 0x30);
}

TEST(Startup, RunsToTheEndOnEveryChip) {
  for (const ChipCase& c : kChips) {
    SCOPED_TRACE(c.model);
    SimProgram p(Board(c));
    ASSERT_EQ(p.Start(), std::nullopt) << (p.Boxes().empty() ? "" : p.Boxes()[0].text);

    const auto& g = p.G();
    const auto& catalog = *boards::FindCatalogBoard(c.model);
    EXPECT_EQ(g.ModelName, c.model);
    EXPECT_EQ(g.ChipFamily, catalog.chipFamily);
    EXPECT_EQ(g.BoardVariant, catalog.boardVariant);
    EXPECT_EQ(g.ConfigPort, c.expectedConfigPort);
    EXPECT_EQ(g.ChipId, c.chipId);
    EXPECT_EQ(g.VendorId, sim::IsWinbond(c.chip) ? kVendorWinbond : kVendorIte);
    EXPECT_EQ(g.HmIndexPort, 0x295);
    EXPECT_EQ(g.PmBase, p.Profile().pmBase);
    EXPECT_EQ(g.FirstBoot, 0);
    EXPECT_EQ(g.LangPrefix, "33");
    // The tray icon is up, the main window loaded and hidden, and from now on an end without
    // the orderly exit has a restore list to play.
    EXPECT_TRUE(p.Shell().TrayIconPresent());
    EXPECT_TRUE(p.Prog().frmdoctor().IsLoaded());
    EXPECT_FALSE(p.Prog().frmdoctor().Visible);
    EXPECT_TRUE(p.Prog().ChipProgrammed());
    EXPECT_GT(p.Prog().LastResort().Size(), 0u);
    EXPECT_TRUE(p.Prog().frmInit().IsLoaded());
    EXPECT_TRUE(p.Prog().frmInit().Visible);
    EXPECT_TRUE(p.Prog().frmInit().TopMost());
    EXPECT_EQ(p.Prog().frmInit().LastWindowPos().flags, SWP_NOMOVE | SWP_NOSIZE);
    if (sim::IsWinbond(c.chip)) {
      EXPECT_EQ(p.Machine().Chip().GetRegister(0, 0x4D) & 0x80, 0x80);
    }
    EXPECT_EQ(p.Machine().Bus().InitialBusCalls(), 1);
  }
}

TEST(Startup, ActivatesAnInactiveMonitorDeviceAndTheExitDeactivatesIt) {
  SimProgram p(Board(kChips[0]));
  auto& chip = p.Machine().Chip();
  chip.Config().SetRegister(chip.MonitorLdn(), 0x30, 0);
  ASSERT_EQ(p.Start(), std::nullopt);
  EXPECT_EQ(p.G().SavedActivation, 0);
  EXPECT_EQ(Activation(p), 1);
  EXPECT_TRUE(p.Prog().StartupActivatedMonitor());
  p.Run([&] { ExitProgram(p.Prog()); });
  EXPECT_EQ(Activation(p), 0);
}

TEST(Startup, LeavesAnActiveMonitorDeviceAlone) {
  SimProgram p(Board(kChips[3]));
  auto& chip = p.Machine().Chip();
  chip.Config().SetRegister(chip.MonitorLdn(), 0x30, 0x01);
  ASSERT_EQ(p.Start(), std::nullopt);
  EXPECT_EQ(p.G().SavedActivation, 1);
  p.Ports().Reset();
  p.Run([&] { ExitProgram(p.Prog()); });
  EXPECT_EQ(p.Ports().Writes(0x2E), 0u) << "register 0x30 is not written at exit";
  EXPECT_EQ(Activation(p), 1);
}

TEST(Startup, WithoutAConfigurationPortRegister0x30IsNeverTouched) {
  // The W83637HF's device id is not one the probe knows; its monitor is still found at 0x295.
  SimProgram p(Board(kChips[2]));
  ASSERT_EQ(p.Start(), std::nullopt);
  EXPECT_EQ(p.G().ConfigPort, 0);
  const Lines lines = PortLines(p.Ports());
  const Lines probeOnly{"out 2E 87", "out 2E 87", "out 2E 20", "in 2F -> 70", "out 2E AA",
                        "out 4E 87", "out 4E 87", "out 4E 20", "in 4F -> FF", "out 4E AA"};
  ASSERT_GE(lines.size(), probeOnly.size());
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 10), probeOnly);
  EXPECT_EQ(p.Ports().Writes(0x2E) + p.Ports().Writes(0x4E), 8u) << "the two probes only";
  p.Ports().Reset();
  p.Run([&] { ExitProgram(p.Prog()); });
  EXPECT_EQ(p.Ports().Writes(0x2E) + p.Ports().Writes(0x4E), 0u);
}

TEST(Startup, ModelNameLanguageAndChipsetBase) {
  {
    SimProgram p("LOWERCASE-NAME");  // the library answers "zq6a-pro"
    p.Run([&] {
      ReadModelName(p.Prog());
      ClassifyBoard(p.Prog());
    });
    EXPECT_EQ(p.G().ModelName, "ZQ6A-PRO");
  }
  {
    SimProgram p("ZQ6A-NOPMBASE");
    ReadPmBase(p.Prog());
    EXPECT_EQ(p.G().PmBase, 0x4000);
  }
  for (auto [lcid, prefix] : {std::pair{1028u, "28"}, std::pair{2052u, "52"}, std::pair{1036u, "33"}}) {
    testsupport::SimProgramOptions o;
    o.lcid = lcid;
    SimProgram p(Board(kChips[0]), o);
    ChooseLanguage(p.Prog());
    EXPECT_EQ(p.G().LangPrefix, prefix);
    EXPECT_EQ(p.G().LanguageId, lcid == 1036 ? 1033u : lcid);
  }
}

// The exit's port sequence on every chip, after a normal start.
TEST(ExitProgram, RestoresTheChip) {
  for (const ChipCase& c : kChips) {
    SCOPED_TRACE(c.model);
    SimProgram p(Board(c));
    auto& chip = p.Machine().Chip();
    ASSERT_EQ(p.Start(), std::nullopt);
    const bool winbond = sim::IsWinbond(c.chip);
    // Fans held back and the chip programmed, as a fan method and the alarms leave it.
    const std::uint8_t outputs[2] = {FanOutputRegister(p.Prog(), 0), FanOutputRegister(p.Prog(), 1)};
    for (std::uint8_t reg : outputs) chip.SetRegister(0, reg, 0x20);
    if (winbond) {
      chip.SetRegister(4, 0x54, 17);
      chip.SetRegister(0, 0x57, 0xFF);
    }
    p.Machine().Aspi().ClearSetCdSpeedLog();
    ASSERT_TRUE(p.Shell().TrayIconPresent());
    p.Ports().Reset();
    EXPECT_EQ(p.Run([&] { ExitProgram(p.Prog()); }), std::nullopt);
    // The CD-ROM speed is released on the simulated drive (255 = 0xFFFF kB/s, the drive's maximum).
    ASSERT_FALSE(p.Machine().Aspi().SetCdSpeedLog().empty());
    EXPECT_EQ(p.Machine().Aspi().SetCdSpeedLog().back().readKBps, 65535);
    EXPECT_FALSE(p.Shell().TrayIconPresent());
    EXPECT_EQ(p.Prog().LastResort().Size(), 0u) << "nothing left for the last-resort path";

    const Lines lines = PortLines(p.Ports());
    // Three times: bank 4 selected (read-modify-write of 0x4E), offset register := 0.
    ASSERT_GE(lines.size(), 18u);
    for (int i = 0; i < 3; ++i) {
      const std::size_t at = static_cast<std::size_t>(i) * 6;
      EXPECT_EQ(lines[at], "out 295 4E");
      EXPECT_EQ(lines[at + 2], "out 295 4E");
      char reg[16];
      std::snprintf(reg, sizeof reg, "out 295 %02X", 0x54 + i);
      EXPECT_EQ(lines[at + 4], reg);
      EXPECT_EQ(lines[at + 5], "out 296 00");
    }
    // Then both fans at full output, twice each.
    const std::uint8_t full = winbond ? 255 : 100;
    for (std::uint8_t reg : outputs) {
      char out[16];
      std::snprintf(out, sizeof out, "out 295 %02X", reg);
      EXPECT_EQ(std::count(lines.begin() + 18, lines.end(), std::string(out)), 2) << out;
      EXPECT_EQ(chip.GetRegister(0, reg), full);
    }
    const auto speaker = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
      return l.rfind("in 61", 0) == 0;
    });
    if (winbond) {
      // Speaker and beeps off after the fans.
      ASSERT_NE(speaker, lines.end());
      ASSERT_GE(lines.end() - speaker, 8);
      EXPECT_EQ(speaker[1].substr(0, 7), "out 61 ");
      EXPECT_EQ(speaker[6], "out 295 57");
      EXPECT_EQ(speaker[7], "out 296 00");
      EXPECT_EQ(chip.GetRegister(4, 0x54), 0);
      EXPECT_EQ(chip.GetRegister(0, 0x57), 0);
      EXPECT_FALSE(p.Machine().Speaker().SpeakerOn());
    } else {
      EXPECT_EQ(speaker, lines.end()) << "no beep or speaker step on ITE boards";
    }
  }
}

TEST(ExitProgram, UnloadsLoadedSecondaryWindowsOnly) {
  SimProgram p(Board(kChips[0]));
  ASSERT_EQ(p.Start(), std::nullopt);
  forms::Form fan1(p.App(), "frmFan1");
  forms::Form graph(p.App(), "frmGraph2");
  forms::Form other(p.App(), "frmOther");
  fan1.Show();
  other.Show();
  p.Run([&] { ExitProgram(p.Prog()); });
  EXPECT_FALSE(fan1.IsLoaded());
  EXPECT_FALSE(graph.IsLoaded()) << "a window that was not loaded stays unloaded";
  EXPECT_TRUE(other.IsLoaded());
}

TEST(ChkMBModel, KnownBoardsGetTheirLabelsOthersTheRefusalAndTheOrderlyExit) {
  // A board of each label outcome the table uses.
  std::vector<std::string> calls;
  ModelLabelActions a;
  a.ChangeLabelFan = [&] { calls.push_back("fan"); };
  a.ChangeLabelTemp = [&] { calls.push_back("temp"); };
  a.ExchangeCPUAndSystemTempLabel = [&] { calls.push_back("exchange"); };
  a.ChangeLabelTempForZT50 = [&] { calls.push_back("zt50"); };
  a.SetFanLabel = [&](int n, const std::string& s) { calls.push_back("fan" + std::to_string(n) + ":" + s); };
  a.SetTempLabel = [&](int n, const std::string& s) {
    calls.push_back("temp" + std::to_string(n) + ":" + s);
  };
  for (const auto& group : boards::ChkMBModelTable()) {
    if (group.outcome != boards::LabelOutcome::kFanThenFan1AndCpuTempTexts) continue;
    SimProgram p(Board(kChips[0]));
    p.G().ModelName = std::string(group.names.front());
    EXPECT_EQ(p.Run([&] { EXPECT_TRUE(ChkMBModel(p.Prog(), a)); }), std::nullopt);
    EXPECT_EQ(calls, (std::vector<std::string>{"fan", "fan1:Fan 1", "temp1:CPU", "temp2:CPU"}));
    EXPECT_TRUE(p.Boxes().empty());
  }

  // An ITE-variant board the check does not list passes the hardware start-up, then the main
  // window's model check refuses it and takes the orderly exit.
  SimProgram p(Board(ChipCase{"ZR44", ChipModel::IT8705F, 0x2E, 0x2E, kChipIT8705F}));
  ASSERT_FALSE(boards::FindChkMBModelOutcome("ZR44"));
  auto& chip = p.Machine().Chip();
  chip.SetRegister(4, 0x54, 10);
  EXPECT_EQ(p.Start(), kExitBoardRefused);
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_EQ(p.Boxes()[0].text, "Hushwind/Veltrix III cannot support this Mainboard!!!");
  EXPECT_EQ(p.Boxes()[0].style, platform::vbCritical);
  EXPECT_EQ(p.Boxes()[0].title, "Hushwind/Veltrix III");
  EXPECT_EQ(chip.GetRegister(4, 0x54), 0) << "the orderly exit restored the chip";
}

}  // namespace
}  // namespace veltrix::monitor
