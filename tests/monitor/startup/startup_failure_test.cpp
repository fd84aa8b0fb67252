// Every way start-up can fail: the box it shows and that nothing runs after it.
#include <gtest/gtest.h>

#include <filesystem>

#include "monitor/program.h"
#include "monitor/startup/exit_status.h"
#include "monitor/startup/frm_init.h"
#include "monitor/startup/startup.h"
#include "platform/system/single_instance.h"
#include "tests/support/port_trace.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using testsupport::SimProgram;

sim::BoardProfile Board(std::string_view model, sim::ChipModel chip, std::uint16_t port = 0x2E) {
  sim::BoardProfile b = sim::DefaultProfile();
  b.model = model;
  b.chip = chip;
  b.configPort = port;
  return b;
}

// Whether start-up got as far as the board item table (the main window exists from then on)
// or the tray icon.
bool LaterStepsRan(SimProgram& p) {
  return p.Prog().MainWindowIfCreated() != nullptr || p.Shell().TrayIconPresent();
}

void ExpectOneBox(const SimProgram& p, const std::string& text, int style, const std::string& title) {
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_EQ(p.Boxes()[0].text, text);
  EXPECT_EQ(p.Boxes()[0].style, style);
  EXPECT_EQ(p.Boxes()[0].title, title);
}

TEST(StartupFailure, SecondInstanceEndsWithoutTouchingAnyPort) {
  SimProgram p(Board("ZT50E", sim::ChipModel::W83627HF));
  platform::SingleInstanceLock first(p.LockPath());
  ASSERT_TRUE(first.Acquire());
  EXPECT_EQ(p.Start(), kExitAlreadyRunning);
  ExpectOneBox(p, "Hushwind has already run!!", platform::vbOKOnly, "Message");
  EXPECT_TRUE(p.Ports().Trace().empty()) << p.TraceDump();
  EXPECT_EQ(p.Machine().Bus().LoadCalls(), 0);
  EXPECT_TRUE(p.G().ModelName.empty());
  EXPECT_FALSE(LaterStepsRan(p));
}

TEST(StartupFailure, ALockThatCannotBeTakenIsNotCalledASecondInstance) {
  SimProgram p(Board("ZT50E", sim::ChipModel::W83627HF));
  // Someone put a link where the lock file goes: the check cannot be made, and says why.
  std::filesystem::create_symlink("/nonexistent-target", p.LockPath());
  EXPECT_EQ(p.Start(), kExitLockFailed);
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_EQ(p.Boxes()[0].title, "Error");
  EXPECT_NE(p.Boxes()[0].text.find("cannot make sure that it runs only once"), std::string::npos);
  EXPECT_NE(p.Boxes()[0].text.find("symbolic link"), std::string::npos) << p.Boxes()[0].text;
  EXPECT_TRUE(p.Ports().Trace().empty()) << p.TraceDump();
}

TEST(StartupFailure, MissingModelNameEndsBeforeTheHardware) {
  // An empty answer, and a name that fills all 30 characters so that no NUL ends it.
  for (const char* profile : {"EMPTY-NAME", "LONG-NAME-30"}) {
    SCOPED_TRACE(profile);
    SimProgram p(profile);
    EXPECT_EQ(p.Start(), kExitNoModelName);
    ExpectOneBox(p, "Read model name of system information failed !", platform::vbCritical, "Error");
    EXPECT_TRUE(p.Ports().Trace().empty()) << p.TraceDump();
    EXPECT_EQ(p.G().ChipFamily, 0);
  }
}

TEST(StartupFailure, BlankModelNameCountsAsEmpty) {
  sim::BoardProfile b = Board("BLANKS", sim::ChipModel::W83627HF);
  b.biosModel = "   ";
  SimProgram p(b);
  EXPECT_EQ(p.Start(), kExitNoModelName);
  ExpectOneBox(p, "Read model name of system information failed !", platform::vbCritical, "Error");
}

TEST(StartupFailure, DriverLoadFailureStopsBeforeAnyPortAccess) {
  SimProgram p(Board("ZT50E", sim::ChipModel::W83627HF));
  p.Machine().Bus().SetDriverLoadFails(true);
  EXPECT_EQ(p.Start(), kExitDriverLoadFailed);
  ExpectOneBox(p, "LOAD Device Driver fail!", platform::vbOKOnly, "Veltrix");
  EXPECT_EQ(testsupport::TraceLines(p.Ports()), (std::vector<std::string>{"LoadPordexVxD -> 1"}));
  EXPECT_FALSE(LaterStepsRan(p));
}

TEST(StartupFailure, BusFailureStopsRightAfterInitialBus) {
  SimProgram p(Board("ZT50E", sim::ChipModel::W83627HF));
  p.Machine().Bus().SetBusInitFails(true);
  EXPECT_EQ(p.Start(), kExitBusInitFailed);
  ExpectOneBox(p, "Initialize Bus Fail!", platform::vbOKOnly, "Veltrix");
  ASSERT_FALSE(p.Ports().Trace().empty());
  EXPECT_EQ(p.Ports().Trace().back().op, platform::PortOp::InitBus);
  EXPECT_EQ(p.G().ConfigPort, 0x2E) << "the probe runs before the bus initialisation";
  EXPECT_FALSE(LaterStepsRan(p));
}

TEST(StartupFailure, NoWinbondOrIteMonitorAt0x295) {
  // A Winbond model name on a board that carries an ITE chip: the Winbond probe and vendor
  // id find nothing they know.
  SimProgram p(Board("ZT50E", sim::ChipModel::IT8712F));
  EXPECT_EQ(p.Start(), kExitNoSuperIo);
  ExpectOneBox(p, "Winbond or ITE Super I/O does not exist!", platform::vbOKOnly, "Veltrix");
  EXPECT_EQ(p.G().ConfigPort, 0);
  EXPECT_NE(p.G().VendorId, kVendorWinbond);
  EXPECT_FALSE(p.Prog().frmInit().IsLoaded());
  // The vendor id's low byte was the last port access.
  const auto lines = testsupport::PortLines(p.Ports());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "out 295 4F");
  EXPECT_FALSE(LaterStepsRan(p));
}

TEST(StartupFailure, BoardOfNoKnownFamilyIsRefusedAtChassisSetup) {
  SimProgram p("XB100");
  EXPECT_EQ(p.Start(), kExitBoardRefused);
  ExpectOneBox(p, "Hushwind/Veltrix III cannot support this Mainboard!!!", platform::vbCritical,
               "Hushwind/Veltrix III");
  EXPECT_TRUE(p.Prog().frmInit().IsLoaded()) << "the splash is up by then";
  EXPECT_FALSE(LaterStepsRan(p));
  // The last thing done was the chip's case-open clear (register 0x46, written twice).
  const auto lines = testsupport::PortLines(p.Ports());
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[lines.size() - 2], "out 295 46");
  EXPECT_EQ(lines[lines.size() - 4], "out 295 46");
  EXPECT_EQ(p.Ports().Writes(static_cast<std::uint16_t>(p.G().PmBase + 0x66)), 0u);
}

}  // namespace
}  // namespace veltrix::monitor

namespace veltrix::monitor {
namespace {

// Every refusal and failure ends with a status of its own, never with the orderly 0.
TEST(StartupFailure, ExitStatusesAreDistinctAndNonZero) {
  const int statuses[] = {kExitUsage,      kExitAlreadyRunning, kExitLockFailed,   kExitNoModelName,
                          kExitDriverLoadFailed, kExitBusInitFailed, kExitNoSuperIo, kExitBoardRefused,
                          kExitIncomplete};
  for (std::size_t i = 0; i < std::size(statuses); ++i) {
    EXPECT_NE(statuses[i], kExitOk);
    EXPECT_LT(statuses[i], 128) << "128 and above are the signals' statuses";
    for (std::size_t j = i + 1; j < std::size(statuses); ++j) EXPECT_NE(statuses[i], statuses[j]);
  }
}

TEST(StartupFailure, AProgramWithoutAShellFailsLoudlyBeforeAnything) {
  SimProgram p(Board("ZT50E", sim::ChipModel::W83627HF));
  p.Prog().Svc().shell = nullptr;
  EXPECT_THROW(p.Start(), std::logic_error);
  EXPECT_TRUE(p.Ports().Trace().empty());
  EXPECT_TRUE(p.Boxes().empty());
}

}  // namespace
}  // namespace veltrix::monitor
