// Whole runs of veltrix on the console, as a script would use it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/veltrix/veltrix_app.h"

namespace veltrix::app {
namespace {

// A path in this test process's own runtime folder (isolated_runtime_dir.cpp), which goes away
// with everything in it when the tests are done.
std::string Scratch(const std::string& name) {
  const char* folder = std::getenv("XDG_RUNTIME_DIR");
  return (folder != nullptr ? std::string(folder) : testing::TempDir()) + "/" + name;
}

std::string WriteFile(const std::string& name, const std::string& text) {
  const std::string path = Scratch(name);
  std::ofstream(path) << text;
  return path;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ConsoleRun, PrintsEveryTickAndSuspendStopsMonitoringUntilResume) {
  const std::string scenario = WriteFile("suspend.scn", "at 2s suspend\nat 5s resume\n");
  const std::string registry = Scratch("console-run-suspend.reg");
  std::remove(registry.c_str());
  std::ostringstream out, err;
  ASSERT_EQ(RunVeltrix(std::vector<std::string>{"--console", "--virtual-time", "--ticks", "8", "--registry",
                                                registry, "--scenario", scenario},
                       out, err),
            0)
      << err.str();
  std::vector<std::string> ticks;
  int suspendAt = -1, resumeAt = -1;
  for (const std::string& line : Lines(out.str())) {
    if (line.rfind("-- tick ", 0) == 0) ticks.push_back(line);
    if (line.find("suspends") != std::string::npos) suspendAt = static_cast<int>(ticks.size());
    if (line.find("resumes") != std::string::npos) resumeAt = static_cast<int>(ticks.size());
  }
  ASSERT_EQ(ticks.size(), 8u) << out.str();
  ASSERT_GT(suspendAt, 0);
  // No monitoring tick between the suspend and the resume notification.
  EXPECT_EQ(resumeAt, suspendAt) << out.str();
  EXPECT_NE(out.str().find("Vcore"), std::string::npos);
}

TEST(ConsoleRun, JsonKeepsStandardOutputOneObjectPerLine) {
  const std::string registry = Scratch("console-run-json.reg");
  std::remove(registry.c_str());
  std::ostringstream out, err;
  ASSERT_EQ(
      RunVeltrix(std::vector<std::string>{"--json", "--virtual-time", "--ticks", "3", "--registry", registry},
                 out, err),
      0);
  const auto lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 3u) << out.str();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("{\"tick\":" + std::to_string(i + 1) + ",\"time\":\"", 0), 0u) << lines[i];
    EXPECT_EQ(lines[i].back(), '}');
  }
}

// --info prints the system information page once, in the chosen language, and exits; start-up
// boxes stay off standard output.
TEST(ConsoleRun, InfoPrintsTheSystemPage) {
  const std::string registry = testing::TempDir() + "/console-run-info.reg";
  std::remove(registry.c_str());
  std::ostringstream out, err;
  ASSERT_EQ(RunVeltrix(std::vector<std::string>{"--info", "--board", "ZQ52", "--lcid", "1033", "--registry",
                                                registry},
                       out, err),
            0)
      << err.str();
  const auto lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 10u) << out.str();
  EXPECT_EQ(lines[0], "Current User: operator");
  EXPECT_EQ(lines[2].rfind("System Memory: ", 0), 0u);
  EXPECT_NE(lines[2].find(" KBytes"), std::string::npos);
  EXPECT_EQ(lines[3], "Mainboard: ZQ52");
  EXPECT_EQ(lines[8], "Language: United States");
  EXPECT_EQ(lines[9].rfind("Super I/O: Winbond W836", 0), 0u) << lines[9];

  std::ostringstream chinese, json;
  ASSERT_EQ(RunVeltrix(std::vector<std::string>{"--info", "--board", "ZQ52", "--lcid", "2052", "--registry",
                                                registry},
                       chinese, err),
            0);
  EXPECT_EQ(Lines(chinese.str()).at(3), "主板: ZQ52");
  ASSERT_EQ(RunVeltrix(std::vector<std::string>{"--info", "--json", "--board", "ZQ52", "--lcid", "2052",
                                                "--registry", registry},
                       json, err),
            0);
  const auto object = Lines(json.str());
  ASSERT_EQ(object.size(), 1u) << json.str();
  EXPECT_EQ(object[0].rfind("{\"user\":\"operator\",\"cpu\":", 0), 0u) << object[0];
  EXPECT_NE(object[0].find("\"mainboard\":\"ZQ52\",\"os\":"), std::string::npos);
  EXPECT_NE(object[0].find("\"language\":\"中国\""), std::string::npos);
  EXPECT_EQ(object[0].back(), '}');

  // A board the program refuses ends start-up before the page exists: not a success.
  std::ostringstream refused, refusedErr;
  EXPECT_NE(RunVeltrix(std::vector<std::string>{"--info", "--board", "XB100", "--registry", registry}, refused,
                       refusedErr),
            0);
  EXPECT_TRUE(refused.str().empty()) << refused.str();
  EXPECT_NE(refusedErr.str().find("[message]"), std::string::npos);
}

}  // namespace
}  // namespace veltrix::app
