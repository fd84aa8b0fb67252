#include "app/veltrix/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/veltrix/veltrix_app.h"

namespace veltrix::app {
namespace {

ParseResult Parse(std::vector<std::string> args) {
  return ParseCommandLine(args);
}

std::string ErrorOf(std::vector<std::string> args) {
  ParseResult r = Parse(std::move(args));
  return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : "";
}

TEST(CommandLine, EveryOptionInBothSpellings) {
  ParseResult r = Parse({"--console",      "--json",     "--board",      "ZT70",
                         "--hardware=sim", "--registry", "r.reg",        "--program-dir=/opt/v",
                         "--lcid",         "2052",       "--ticks=5",    "--virtual-time",
                         "--scenario",     "s.txt",      "--sim-dump",   "d.txt",
                         "--answer",       "YES",        "--screenshot", "shots",
                         "--list-boards",  "--help",     "--version"});
  ASSERT_TRUE(std::holds_alternative<CommandLine>(r)) << std::get<std::string>(r);
  const CommandLine& c = std::get<CommandLine>(r);
  EXPECT_TRUE(c.console && c.json && c.virtualTime && c.listBoards && c.help && c.version);
  EXPECT_EQ(c.board, "ZT70");
  EXPECT_EQ(c.hardware, Hardware::kSim);
  EXPECT_EQ(c.registry, "r.reg");
  EXPECT_EQ(c.programDir, "/opt/v");
  EXPECT_EQ(c.lcid, 2052u);
  EXPECT_EQ(c.ticks, 5u);
  EXPECT_EQ(c.scenario, "s.txt");
  EXPECT_EQ(c.simDump, "d.txt");
  EXPECT_EQ(c.answer, platform::Answer::kYes);
  EXPECT_EQ(c.screenshotDir, "shots");

  const CommandLine d = std::get<CommandLine>(Parse({}));
  EXPECT_FALSE(d.board || d.ticks || d.lcid || d.answer || d.console);
  EXPECT_EQ(d.hardware, Hardware::kSim);
}

TEST(CommandLine, ErrorsNameTheOptionOrValue) {
  EXPECT_EQ(ErrorOf({"--frobnicate"}), "unknown option '--frobnicate' (try --help)");
  EXPECT_EQ(ErrorOf({"stray"}), "unknown option 'stray' (try --help)");
  EXPECT_EQ(ErrorOf({"--board"}), "option --board needs a value");
  EXPECT_EQ(ErrorOf({"--json=1"}), "option --json takes no value");
  EXPECT_NE(ErrorOf({"--hardware", "windows"}).find("'windows' for --hardware"), std::string::npos);
  for (const char* bad : {"-1", "+5", "5x", "", "18446744073709551616"}) {
    EXPECT_NE(ErrorOf({"--ticks", bad}).find("for --ticks"), std::string::npos) << bad;
  }
  for (const char* bad : {"0", "70000", "abc", "4294967296"}) {
    EXPECT_NE(ErrorOf({"--lcid", bad}).find("for --lcid"), std::string::npos) << bad;
  }
  EXPECT_NE(ErrorOf({"--answer", "cancel"}).find("for --answer"), std::string::npos);
  EXPECT_EQ(ErrorOf({"--hardware", "linux", "--board", "ZT70"}), "option --board needs --hardware sim");
}

TEST(CommandLine, GraphWindowsToOpenOnTheDesktop) {
  ParseResult r = Parse({"--graph", "fan-temp", "--graph=voltage", "--graph", "temp", "--graph", "fan"});
  ASSERT_TRUE(std::holds_alternative<CommandLine>(r)) << std::get<std::string>(r);
  EXPECT_EQ(std::get<CommandLine>(r).graphs, (std::vector<int>{3, 0, 1, 2}));
  EXPECT_EQ(ErrorOf({"--graph", "pressure"}),
            "bad value 'pressure' for --graph (expected voltage, temp, fan or fan-temp)");
  EXPECT_EQ(ErrorOf({"--console", "--graph", "fan"}), "option --graph needs the desktop front end");

#ifndef VELTRIX_HAVE_QT
  // A program built without the desktop says so instead of running the windows unseen.
  std::ostringstream out, err;
  EXPECT_EQ(
      RunVeltrix(std::vector<std::string>{"--virtual-time", "--ticks", "1", "--graph", "fan"}, out, err), 2);
  EXPECT_EQ(err.str(), "veltrix: --graph needs the desktop front end (a display, or --screenshot)\n");
#endif
}

TEST(CommandLine, InfoAndShowPage) {
  const CommandLine info = std::get<CommandLine>(Parse({"--info", "--json", "--lcid", "1028"}));
  EXPECT_TRUE(info.info && info.json);
  const CommandLine page = std::get<CommandLine>(Parse({"--show-page=4", "--screenshot", "shots"}));
  EXPECT_EQ(page.showPage, 4);
  EXPECT_FALSE(page.info);
  for (const char* bad : {"8", "-1", "x", ""}) {
    EXPECT_NE(ErrorOf({"--show-page", bad}).find("for --show-page"), std::string::npos) << bad;
  }
  EXPECT_EQ(ErrorOf({"--info=yes"}), "option --info takes no value");
  for (const char* console : {"--console", "--json", "--info"}) {
    EXPECT_EQ(ErrorOf({"--show-page", "5", console}).rfind("option --show-page needs the desktop", 0), 0u)
        << console;
  }
  EXPECT_EQ(ErrorOf({"--info", "--screenshot", "d"}), "option --screenshot cannot be used with --info");
}

TEST(VeltrixApp, UsageErrorsPrintOneLineAndExitWith2) {
  std::ostringstream out, err;
  const std::vector<std::string> args{"--ticks", "many"};
  EXPECT_EQ(RunVeltrix(args, out, err), 2);
  EXPECT_EQ(err.str(), "veltrix: bad value 'many' for --ticks (expected a whole number of ticks)\n");
  EXPECT_TRUE(out.str().empty());

  std::ostringstream out2, err2;
  const std::vector<std::string> board{"--board", "NO-SUCH-BOARD", "--virtual-time"};
  EXPECT_EQ(RunVeltrix(board, out2, err2), 2);
  EXPECT_EQ(err2.str(), "veltrix: unknown board 'NO-SUCH-BOARD' (see --list-boards)\n");
}

TEST(VeltrixApp, HelpVersionAndBoardList) {
  std::ostringstream out, err;
  EXPECT_EQ(RunVeltrix(std::vector<std::string>{"--help"}, out, err), 0);
  EXPECT_NE(out.str().find("--sim-dump FILE"), std::string::npos);

  std::ostringstream version;
  EXPECT_EQ(RunVeltrix(std::vector<std::string>{"--version"}, version, err), 0);
  EXPECT_EQ(version.str().rfind("veltrix ", 0), 0u);

  std::ostringstream list;
  EXPECT_EQ(RunVeltrix(std::vector<std::string>{"--list-boards"}, list, err), 0);
  std::istringstream lines(list.str());
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "model\tchip\tfamily\tvariant\tchassis\tfancontrol\tknown");
  bool sawUnknown = false;
  bool sawDefault = false;
  bool sawRefused = false;
  const std::string defaultBoard = DefaultBoardModel();
  while (std::getline(lines, line)) {
    // Accepted boards come first; once a refused one is listed, no accepted one follows.
    const bool accepted = line.substr(line.size() - 4) == "\tyes";
    EXPECT_FALSE(sawRefused && accepted) << "accepted board after the refused ones: " << line;
    sawRefused = sawRefused || !accepted;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << line;
    std::istringstream fields(line);
    std::string model, chip, family, variant, chassis, fancontrol, known;
    std::getline(fields, model, '\t');
    std::getline(fields, chip, '\t');
    std::getline(fields, family, '\t');
    std::getline(fields, variant, '\t');
    std::getline(fields, chassis, '\t');
    std::getline(fields, fancontrol, '\t');
    std::getline(fields, known, '\t');
    EXPECT_TRUE(family == "Winbond" || family == "ITE") << line;
    // An accepted board is classified into the family of its chip.
    if (known == "yes") {
      EXPECT_EQ(family == "ITE", chip.rfind("IT87", 0) == 0) << line;
    }
    if (model == defaultBoard) {
      sawDefault = true;
      EXPECT_EQ(known, "yes");
      EXPECT_EQ(fancontrol, "yes");
      EXPECT_TRUE(chassis != "none" && chassis != "unsupported") << line;
    }
    if (line.rfind("XB100\t", 0) == 0) {
      sawUnknown = true;
      EXPECT_EQ(line.substr(line.size() - 3), "\tno");
    }
  }
  EXPECT_TRUE(sawUnknown);
  EXPECT_TRUE(sawDefault) << defaultBoard;
  EXPECT_TRUE(err.str().empty());
}

TEST(VeltrixApp, StartupFailureEndsWithItsBoxOnTheConsole) {
  std::ostringstream out, err;
  // In this process's own runtime folder (isolated_runtime_dir.cpp), removed after the tests.
  const std::string registry = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/veltrix-app-test.reg";
  const std::vector<std::string> args{"--board", "XB100",      "--virtual-time", "--ticks",
                                      "1",       "--registry", registry};
  EXPECT_EQ(RunVeltrix(args, out, err), 9) << "a refused board is not a success";
  EXPECT_NE(out.str().find("cannot support this Mainboard"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace veltrix::app
