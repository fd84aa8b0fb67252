// What --hardware linux settles before starting: the chassis ports it opens for a board on a
// chipset, and the refusal when a kernel driver owns the sensor chip.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/veltrix/linux_hardware.h"
#include "monitor/boards/board_tables.h"
#include "sim/board/board_profile.h"

namespace veltrix::app {
namespace {

using monitor::boards::ChassisMethod;
using platform::ChipsetBridge;
using platform::ChipsetVendor;

// A supported board whose detection and both clears use `method`.
std::string Board(ChassisMethod method) {
  for (const auto& b : monitor::boards::AllKnownModels()) {
    if (b.refusedAt == monitor::boards::Refusal::kNone &&
        monitor::boards::ChassisMethodFor(b.model) == method &&
        monitor::boards::IgnoreClearFor(b.model) == method &&
        monitor::boards::DisableClearFor(b.model) == method)
      return std::string(b.model);
  }
  ADD_FAILURE() << "no board";
  return {};
}

TEST(ChassisPortsToOpen, OnlyWhereTheBoardsMethodAndTheChipsetAgree) {
  const ChipsetBridge intel{.vendor = ChipsetVendor::kIntel, .pmBase = 0x400};
  const ChipsetBridge intelNoBase{.vendor = ChipsetVendor::kIntel};
  const ChipsetBridge via{.vendor = ChipsetVendor::kVia, .pmBase = 0x500};
  const ChipsetBridge nvidia{.vendor = ChipsetVendor::kNvidia};
  using Ports = std::vector<std::uint16_t>;
  EXPECT_EQ(ChassisPortsToOpen(Board(ChassisMethod::kIntel), intel), (Ports{0x466}));
  EXPECT_EQ(ChassisPortsToOpen(Board(ChassisMethod::kIntel), intelNoBase), Ports{}) << "no guessed 0x4066";
  EXPECT_EQ(ChassisPortsToOpen(Board(ChassisMethod::kIntel), via), Ports{}) << "another maker's bridge";
  EXPECT_EQ(ChassisPortsToOpen(Board(ChassisMethod::kIntel), std::nullopt), Ports{});
  EXPECT_EQ(ChassisPortsToOpen(Board(ChassisMethod::kVia), via), (Ports{0x520}));
  const Ports nv = ChassisPortsToOpen(Board(ChassisMethod::kNvidia), nvidia);
  EXPECT_NE(std::find(nv.begin(), nv.end(), 0x4444), nv.end());
  EXPECT_EQ(ChassisPortsToOpen(Board(ChassisMethod::kWinbond), intel), Ports{}) << "read through the chip";
}

TEST(RefuseChipOwnedByKernel, NamesTheDriverAndExitsNonZero) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("veltrix-app-hwmon-" + std::to_string(::getpid()));
  fs::create_directories(root / "sys/class/hwmon/hwmon0");
  std::ofstream(root / "sys/class/hwmon/hwmon0/name") << "k8temp\n";
  std::ostringstream err;
  EXPECT_EQ(RefuseChipOwnedByKernel(root.string(), err), std::nullopt);
  EXPECT_EQ(err.str(), "");

  fs::create_directories(root / "sys/class/hwmon/hwmon1");
  std::ofstream(root / "sys/class/hwmon/hwmon1/name") << "it87\n";
  const auto status = RefuseChipOwnedByKernel(root.string(), err);
  ASSERT_TRUE(status);
  EXPECT_NE(*status, 0);
  EXPECT_NE(err.str().find("kernel driver it87"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("\"modprobe -r it87\""), std::string::npos) << err.str();
  fs::remove_all(root);
}

}  // namespace
}  // namespace veltrix::app
