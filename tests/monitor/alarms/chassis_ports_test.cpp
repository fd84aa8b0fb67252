// The chassis routines on a port layer that does not reach the chipset's flag (real hardware
// where the chipset's base was not found): nothing is read or written there, the row says the
// PC has no chassis intrusion and no alarm is raised. And which chipset ports a board uses.
#include <gtest/gtest.h>

#include "monitor/alarms/chassis.h"
#include "tests/monitor/alarms/alarm_test_support.h"
#include "tests/support/port_trace.h"

namespace veltrix::testsupport {
namespace {

using monitor::ChipsetPortUse;
using monitor::boards::ChassisMethod;

class UnreachedChassis : public ::testing::TestWithParam<ChassisMethod> {};

TEST_P(UnreachedChassis, RowUnavailableAndPortUntouched) {
  // The board's flag port as the program computes it; the layer reaches every other port.
  SimProgram probe(BoardWithChassis(GetParam()));
  ASSERT_FALSE(probe.Start());
  const std::uint16_t flag =
      GetParam() == ChassisMethod::kNvidia
          ? 0x4444
          : static_cast<std::uint16_t>(probe.G().PmBase +
                                       (GetParam() == ChassisMethod::kIntel ? 0x66 : 0x20));
  SimProgramOptions options;
  options.portReachable = [flag](std::uint16_t port) { return port != flag && port != 0x4449; };
  SimProgram p(BoardWithChassis(GetParam()), options);
  p.Machine().SetCaseOpen(true);
  ASSERT_FALSE(p.Start());
  Ticks(p, 3);
  EXPECT_EQ(Main(p).lblCaseOpen.Caption.Get(), "This PC don't support chassis intrusion.");
  EXPECT_FALSE(Main(p).optCaseOpened.Value.Get());
  EXPECT_EQ(Dialog(p, "frmCaseOpen"), nullptr) << "no alarm from a port nobody read";
  EXPECT_EQ(p.Ports().Reads(flag) + p.Ports().Writes(flag), 0u) << "not even start-up's clear";
  monitor::ClearChassisFlag(p.Prog(), GetParam());
  EXPECT_EQ(p.Ports().Writes(flag), 0u);
}

INSTANTIATE_TEST_SUITE_P(ChipsetMethods, UnreachedChassis,
                         ::testing::Values(ChassisMethod::kIntel, ChassisMethod::kVia,
                                           ChassisMethod::kNvidia));

TEST(ChipsetPortsUsed, EachBoardNamesThePortsOfItsMethods) {
  const auto intel = monitor::ChipsetPortsUsed(BoardWithChassis(ChassisMethod::kIntel));
  EXPECT_EQ(intel, (std::vector<ChipsetPortUse>{{ChassisMethod::kIntel, 0x66, true}}));
  const auto via = monitor::ChipsetPortsUsed(BoardWithChassis(ChassisMethod::kVia));
  EXPECT_EQ(via, (std::vector<ChipsetPortUse>{{ChassisMethod::kVia, 0x20, true}}));
  const auto nvidia = monitor::ChipsetPortsUsed(BoardWithChassis(ChassisMethod::kNvidia));
  EXPECT_NE(std::find(nvidia.begin(), nvidia.end(), ChipsetPortUse{ChassisMethod::kNvidia, 0x4444, false}),
            nvidia.end());
  // Every board of the catalog uses chipset ports of one maker at most.
  for (const auto& board : monitor::boards::AllKnownModels()) {
    const auto uses = monitor::ChipsetPortsUsed(board.model);
    for (const ChipsetPortUse& use : uses) {
      EXPECT_NE(use.method, ChassisMethod::kWinbond) << board.model;
      EXPECT_NE(use.method, ChassisMethod::kNone) << board.model;
    }
  }
}

}  // namespace
}  // namespace veltrix::testsupport
