// Every test process of the app gets a runtime folder of its own, so the single-instance lock
// of one run never meets another test's run (CTest runs tests in parallel processes) nor a
// veltrix the developer has open. The folder goes again when the process's tests are done.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

class IsolatedRuntimeDir : public ::testing::Environment {
 public:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) previous_ = old;
    std::string pattern = testing::TempDir() + "/veltrix-run-XXXXXX";
    if (char* dir = mkdtemp(pattern.data())) {
      folder_ = dir;
      setenv("XDG_RUNTIME_DIR", dir, 1);
    }
  }
  void TearDown() override {
    if (previous_) {
      setenv("XDG_RUNTIME_DIR", previous_->c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    if (folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  std::optional<std::string> previous_;
  std::string folder_;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new IsolatedRuntimeDir);

}  // namespace
