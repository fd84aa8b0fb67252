// The data log "Vtx.log": exact bytes of headings, records and empty records; Clear Log; and
// what happens when the log cannot be written.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "monitor/alarms/data_log.h"
#include "monitor/startup/exit_program.h"
#include "tests/monitor/alarms/alarm_test_support.h"

namespace veltrix::testsupport {
namespace {

const std::string kLead = "Model                 Date        Time    ";

std::string Record(const std::string& text) {
  return "\"" + text + "\"\r\n";
}

class DataLog : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(p.Start()); }
  std::string LogPath() { return p.ProgramDir() + "/Vtx.log"; }
  std::string LogBytes() {
    std::ifstream file(LogPath(), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }
  void OnlyItems(std::initializer_list<int> items) {
    Main(p).WEnable.fill(0);
    for (int i : items) Main(p).WEnable[i] = 1;
  }

  SimProgram p{PlainWinbondBoard()};
};

TEST_F(DataLog, HeadingPairNamesTheEnabledItemsWithTheirRuleWidths) {
  OnlyItems({0, 9});
  p.Run([&] { monitor::WriteLogTitle(p.Prog()); });
  EXPECT_EQ(LogBytes(), Record(kLead + "VcoreA  CPU-Fan1   ") + Record(std::string(42 + 8 + 10, '-')));

  std::filesystem::remove(LogPath());
  Main(p).WEnable.fill(1);
  p.Run([&] { monitor::WriteLogTitle(p.Prog()); });
  const std::string all = kLead +
                          "VcoreA  +3.3V  +5V    +12V    -12V  -5V    5Vsb   VBat  CPU-Fan1   Sys-Fan2    "
                          "Sys-Fan3  Sys Temp  CPU Temp  CPU Kernal Temp ";
  EXPECT_EQ(LogBytes(), Record(all) + Record(std::string(42 + 8 + 7 * 7 + 3 * 10 + 7 + 7 + 24, '-')));
}

TEST_F(DataLog, DataRecordHasFixedFieldsFormatsAndAFullStopBeforeTheSeconds) {
  // The fixture's clock starts at 2004-06-01 09:00:00 when virtual time is 0.
  p.AdvanceMs(5 * 60 * 1000 + 7 * 1000 - p.Scheduler().NowMs());
  OnlyItems({0, 4, 5, 9, 10, 11, 12});
  auto& m = Main(p);
  m.lblModelName_.Caption = "ABCDEFGHIJKLMNOPQRST";  // exactly 20: no blank follows
  m.lblStatusV[0].Caption = "1.5";
  m.lblStatusV[4].Caption = "12.1";
  m.lblStatusV[5].Caption = "-5.1";
  m.lblFanSpeed[0].Caption = "2500";
  m.lblFanSpeed[1].Caption = "2500";
  m.lblFanSpeed[2].Caption = "fan off";
  m.lblStatusT[0].Caption = "45.5";
  p.Run([&] { monitor::WriteLogData(p.Prog()); });
  const auto blanks = [](int n) { return std::string(static_cast<std::size_t>(n), ' '); };
  EXPECT_EQ(LogBytes(), Record("ABCDEFGHIJKLMNOPQRST"
                               "2004.06.01  "
                               "09:05.07  "
                               "1.50" +
                               blanks(4) + "12.10" + blanks(2) + "-05.10" + blanks(1) + "2500" + blanks(6) +
                               "2500" + blanks(12) + "fan off" + blanks(3) + "45.5" + blanks(6)));

  std::filesystem::remove(LogPath());
  m.lblModelName_.Caption = "ABCDEFGHIJKLMNOPQRSTUV";
  OnlyItems({13, 14});
  m.lblStatusT[1].Caption = "7.26";
  m.lblStatusT[2].Caption = "n/a";
  p.Run([&] { monitor::WriteLogData(p.Prog()); });
  EXPECT_EQ(LogBytes(),
            Record("ABCDEFGHIJKLMNOPQRSTUV2004.06.01  09:05.07  07.3" + blanks(9) + "n/a" + blanks(8)));
}

TEST(DataLogFormat, NumbersKeepTheirWidthsAndNonNumbersStayAsShown) {
  EXPECT_EQ(monitor::FormatLogNumber("1,5", 1, 2, ','), "1,50");
  EXPECT_EQ(monitor::FormatLogNumber("3.3", 2, 2, '.'), "03.30");
  EXPECT_EQ(monitor::FormatLogNumber("-0.001", 1, 2, '.'), "0.00");
  EXPECT_EQ(monitor::FormatLogNumber("105.25", 2, 1, '.'), "105.2");
  EXPECT_EQ(monitor::FormatLogNumber("", 1, 2, '.'), "");
  EXPECT_EQ(monitor::FormatLogNumber("fan off", 1, 2, '.'), "fan off");
}

TEST_F(DataLog, TickingTheBoxWritesAHeadingEachTimeAndEveryTickARecord) {
  auto& m = Main(p);
  m.lblModelName_.Caption = "ZQ51 or ZQ51S";
  m.Check5.Value = 1;
  Ticks(p, 2);
  m.Check5.Value = 0;
  Ticks(p, 1);
  m.Check5.Value = 1;
  const std::string bytes = LogBytes();
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(bytes.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].substr(0, 43), "\"" + kLead);
  EXPECT_EQ(lines[1].substr(0, 10), "\"---------");
  EXPECT_EQ(lines[2].substr(1, 13), "ZQ51 or ZQ51S");
  EXPECT_EQ(lines[4].substr(0, 43), "\"" + kLead);

  p.Run([&] { monitor::ExitProgram(p.Prog()); });
  EXPECT_EQ(LogBytes().substr(LogBytes().size() - 4), "\"\"\r\n") << "exit leaves an empty record";
}

TEST_F(DataLog, ClearLogLeavesOnlyAnEmptyRecordAndSaysSo) {
  p.Run([&] { monitor::ClearLog(p.Prog()); });
  EXPECT_FALSE(std::filesystem::exists(LogPath())) << "nothing is created when there was no log";
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_EQ(p.Boxes()[0].text, "Log Deleted !");
  EXPECT_EQ(p.Boxes()[0].title, "Clear");

  Main(p).WEnable.fill(1);
  p.Run([&] { monitor::WriteLogTitle(p.Prog()); });
  p.Run([&] { monitor::ClearLog(p.Prog()); });
  EXPECT_EQ(LogBytes(), "\"\"\r\n");
  EXPECT_EQ(p.Boxes().size(), 2u);
}

// A disk that refuses writes until told otherwise.
class FlakyFiles : public platform::Files {
 public:
  bool failing = true;
  int appends = 0;
  std::string PathInFolder(std::string_view folder, std::string_view name) override {
    return platform::HostFiles().PathInFolder(folder, name);
  }
  bool FileExists(const std::string&) override { return false; }
  std::optional<std::string> ReadTextFile(const std::string&, std::size_t, std::string*) override {
    return std::nullopt;
  }
  bool AppendRecord(const std::string&, std::string_view, std::string* reason) override {
    ++appends;
    if (failing) *reason = "No space left on device";
    return !failing;
  }
  bool RemoveFile(const std::string&, std::string*) override { return false; }
};

TEST_F(DataLog, ClearLogThatCannotDeleteSaysSoInsteadOfLogDeleted) {
  // A log that is there and cannot be removed (a folder that is not writable).
  class Undeletable : public FlakyFiles {
    bool FileExists(const std::string&) override { return true; }
  };
  Undeletable files;
  p.Prog().Svc().files = &files;
  p.Run([&] { monitor::ClearLog(p.Prog()); });
  EXPECT_EQ(files.appends, 0) << "the old log is left as it was";
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_NE(p.Boxes()[0].text, "Log Deleted !");
  EXPECT_NE(p.Boxes()[0].text.find("could not be deleted"), std::string::npos);
  EXPECT_EQ(p.Boxes()[0].title, "Clear");
}

TEST_F(DataLog, UnwritableLogIsReportedOncePerFailureAndMonitoringGoesOn) {
  auto writer = std::make_shared<FlakyFiles>();
  p.Prog().Svc().files = writer.get();
  Main(p).Check5.Value = 1;  // heading pair: both fail
  Ticks(p, 5);
  EXPECT_FALSE(p.Ended());
  EXPECT_EQ(writer->appends, 7);
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_NE(p.Boxes()[0].text.find("Vtx.log"), std::string::npos);
  EXPECT_NE(p.Boxes()[0].text.find("No space left on device"), std::string::npos);

  writer->failing = false;
  Ticks(p, 2);
  writer->failing = true;
  Ticks(p, 3);
  EXPECT_EQ(p.Boxes().size(), 2u) << "a new failure after a good write is news again";
}

TEST(DataLogFolder, MissingProgramFolderIsReportedOnceWithTheRealWriter) {
  SimProgramOptions options;
  options.programDir =
      (std::filesystem::temp_directory_path() / "veltrix-no-such-folder" / "deeper").string();
  SimProgram p(PlainWinbondBoard(), options);
  ASSERT_FALSE(p.Start());
  const std::size_t before = p.Boxes().size();
  Main(p).Check5.Value = 1;
  Ticks(p, 4);
  EXPECT_FALSE(p.Ended());
  EXPECT_EQ(p.Boxes().size(), before + 1);
}

TEST_F(DataLog, AFullDiskNeverLeavesHalfARecord) {
  // A child process whose files may not grow past a few records stands for a full disk: the
  // write that crosses the limit is cut short by the system, exactly as ENOSPC cuts it.
  Main(p).WEnable.fill(1);
  const std::string path = LogPath();
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{700, 700};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
    int failed = 0;
    for (int i = 0; i < 12; ++i) {
      if (!monitor::AppendLogRecord(p.Prog(), "tick " + std::to_string(i) + std::string(90, '.'))) ++failed;
    }
    ::_exit(failed > 0 ? 0 : 4);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "the limit did not stop the writes";
  const std::string bytes = LogBytes();
  ASSERT_FALSE(bytes.empty());
  EXPECT_LE(bytes.size(), 700u);
  EXPECT_EQ(bytes.substr(bytes.size() - 3), "\"\r\n") << "the log ends with a whole record";
  // Every record is whole: quote, "tick N", the dots, quote, CR LF.
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    const std::string record = bytes.substr(at, end - at);
    EXPECT_EQ(record.rfind("\"tick ", 0), 0u) << record;
    EXPECT_EQ(record.substr(record.size() - 91), std::string(90, '.') + "\"") << record;
    at = end + 2;
  }
}

TEST_F(DataLog, ALinkInPlaceOfTheLogIsNeverFollowed) {
  const std::string target = p.ProgramDir() + "/elsewhere.txt";
  { std::ofstream(target) << "not the log\n"; }
  std::filesystem::create_symlink(target, LogPath());
  Main(p).Check5.Value = 1;
  Ticks(p, 2);
  std::ifstream in(target);
  std::ostringstream kept;
  kept << in.rdbuf();
  EXPECT_EQ(kept.str(), "not the log\n");
  EXPECT_TRUE(std::filesystem::is_symlink(LogPath()));
  ASSERT_EQ(p.Boxes().size(), 1u) << "one box for the whole run of failures";
  EXPECT_NE(p.Boxes()[0].text.find("symbolic link"), std::string::npos) << p.Boxes()[0].text;
}

}  // namespace
}  // namespace veltrix::testsupport
