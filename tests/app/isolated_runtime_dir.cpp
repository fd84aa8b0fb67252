// Every test process of the app gets a runtime folder of its own, so the single-instance lock
// of one run never meets another test's run (CTest runs tests in parallel processes) nor a
// veltrix the developer has open.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class IsolatedRuntimeDir : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "/veltrix-run-XXXXXX";
    if (char* dir = mkdtemp(pattern.data())) setenv("XDG_RUNTIME_DIR", dir, 1);
  }
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new IsolatedRuntimeDir);

}  // namespace
