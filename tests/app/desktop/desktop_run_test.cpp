// Whole runs of veltrix on the desktop front end (offscreen), for what a person at the
// desktop must be told and what a script must be able to rely on. Each test process gets a
// runtime folder of its own (the single-instance lock).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/veltrix/veltrix_app.h"

namespace veltrix::app {
namespace {

class IsolatedRuntimeDir : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "/veltrix-desktop-run-XXXXXX";
    if (char* dir = mkdtemp(pattern.data())) {
      dir_ = dir;
      setenv("XDG_RUNTIME_DIR", dir, 1);
    }
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }

 private:
  std::string dir_;
};
[[maybe_unused]] const auto* const kRuntimeDir = ::testing::AddGlobalTestEnvironment(new IsolatedRuntimeDir);

int RunDesktop(const std::vector<std::string>& args, std::ostringstream& out, std::ostringstream& err) {
  return RunVeltrix(args, out, err);
}

TEST(DesktopRun, ScreenshotsToAFolderThatCannotBeWrittenFailAtOnce) {
  std::ostringstream out, err;
  const std::string registry = testing::TempDir() + "/desktop-run-shots.reg";
  EXPECT_EQ(RunDesktop({"--virtual-time", "--ticks", "2", "--registry", registry, "--screenshot",
                        "/proc/veltrix-shots"},
                       out, err),
            kUsageErrorStatus);
  EXPECT_NE(err.str().find("--screenshot /proc/veltrix-shots"), std::string::npos) << err.str();
  EXPECT_EQ(out.str().find("[screenshot]"), std::string::npos);
}

TEST(DesktopRun, ADamagedSettingsFileIsShownAsABox) {
  const std::string registry = testing::TempDir() + "/desktop-run-damaged.reg";
  std::ofstream(registry) << "this is not a settings file\n";
  std::ostringstream out, err;
  ASSERT_EQ(RunDesktop({"--virtual-time", "--ticks", "2", "--registry", registry, "--answer", "ok",
                        "--screenshot", testing::TempDir() + "/desktop-run-damaged-shots"},
                       out, err),
            0)
      << err.str();
  EXPECT_NE(err.str().find("damaged"), std::string::npos) << "the line stays for a terminal";
  EXPECT_NE(out.str().find("[message] Warning: The registry file"), std::string::npos) << out.str();
  std::remove(registry.c_str());
}

}  // namespace
}  // namespace veltrix::app
