// The --json stream is valid JSON, line by line, whatever the run meets: alarms, message boxes,
// the end of a simulated session, and texts that are not UTF-8 (a Latin-1 folder name).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/veltrix/veltrix_app.h"
#include "frontends/console/json_text.h"
#include "tests/support/strict_json.h"

namespace veltrix::app {
namespace {

using testsupport::StrictJson;

TEST(JsonText, ReplacesEveryByteThatStartsNoWellFormedUtf8Sequence) {
  const std::string fffd = "\xEF\xBF\xBD";
  // Latin-1, a stray continuation byte, a cut sequence, an overlong form, a surrogate, and a
  // code point above U+10FFFF; well-formed text around them is kept.
  EXPECT_EQ(console::JsonString("caf\xE9"), "\"caf" + fffd + "\"");
  EXPECT_EQ(console::JsonString("a\x80z"), "\"a" + fffd + "z\"");
  EXPECT_EQ(console::JsonString("\xE6\x89"), "\"" + fffd + fffd + "\"");
  EXPECT_EQ(console::JsonString("\xC0\xAF"), "\"" + fffd + fffd + "\"");
  EXPECT_EQ(console::JsonString("\xED\xA0\x80"), "\"" + fffd + fffd + fffd + "\"");
  EXPECT_EQ(console::JsonString("\xF4\x90\x80\x80"), "\"" + fffd + fffd + fffd + fffd + "\"");
  EXPECT_EQ(console::JsonString("\xE9\xA2\xA8 \xF0\x9F\x8C\x80 \x7F"), "\"\xE9\xA2\xA8 \xF0\x9F\x8C\x80 \\u007f\"");
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(StrictJson::Check(console::JsonString(one)), "") << "byte " << b;
  }
}

TEST(JsonStream, AWholeAlarmRunThatEndsTheSessionIsValidJsonLineByLine) {
  const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "json-stream";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  // Logging on and shut-down on alarm: the log cannot be written into a program folder that
  // does not exist (a message box naming the folder, not UTF-8), then the CPU fan stops and
  // the alarm ends the simulated session.
  const std::string registry = (dir / "settings.reg").string();
  std::ofstream(registry) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Halvane\\Setting]\n"
                             "\"Check2\"=dword:00000001\n\"Check5\"=dword:00000001\n";
  const std::string scenario = (dir / "stop.scn").string();
  std::ofstream(scenario) << "at 3s fan CPU stop\n";
  const std::string programDir = (dir / "caf\xE9-missing").string();

  std::ostringstream out, err;
  const int status = RunVeltrix(std::vector<std::string>{"--json", "--board", "ZQ87MAX", "--virtual-time", "--ticks",
                                                         "20", "--registry", registry, "--scenario", scenario,
                                                         "--program-dir", programDir},
                                out, err);
  EXPECT_EQ(status, 0) << err.str();

  std::istringstream lines(out.str());
  int records = 0, ended = 0, messages = 0;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(StrictJson::Check(line), "") << line;
    if (line.rfind("{\"tick\":", 0) == 0) ++records;
    if (line.rfind("{\"event\":\"session-ended\"", 0) == 0) ++ended;
    if (line.find("\"messages\":[{") != std::string::npos) ++messages;
  }
  EXPECT_GE(records, 2);
  EXPECT_EQ(ended, 1) << out.str();
  EXPECT_GE(messages, 1) << "the log failure should have been reported in a record";
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace veltrix::app
