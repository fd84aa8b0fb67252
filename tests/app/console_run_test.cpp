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

}  // namespace
}  // namespace veltrix::app
