// Shutting the system down from an alarm: the question, the port library's privilege, the
// platform families, and the unattended path.
#include <gtest/gtest.h>

#include "monitor/boards/board_tables.h"
#include "monitor/startup/shutdown.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/system/sim_system.h"
#include "tests/support/sim_program.h"

namespace veltrix::testsupport {
namespace {

std::string AnyRunningBoard() {
  for (const auto& board : monitor::boards::AllKnownModels()) {
    if (board.refusedAt == monitor::boards::Refusal::kNone && sim::FindProfile(board.model)) {
      return std::string(board.model);
    }
  }
  return std::string(sim::DefaultProfile().model);
}

class ShutDown : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(p.Start()); }
  std::size_t PrivilegeCalls(platform::PortOp op) {
    std::size_t n = 0;
    for (const auto& a : p.Ports().Trace()) n += a.op == op ? 1 : 0;
    return n;
  }
  SimProgram p{AnyRunningBoard()};
};

TEST_F(ShutDown, NoLeavesEverythingRunningAndMakesNoPrivilegeCalls) {
  p.Ports().Reset();
  p.Answers().Queue(platform::Answer::kNo);
  p.Run([&] { monitor::ShutDownSystem(p.Prog()); });
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_EQ(p.Boxes()[0].text, "Do you want to shut down your System?");
  EXPECT_EQ(p.Boxes()[0].title, "Veltrix III");
  EXPECT_EQ(p.Boxes()[0].style, platform::vbYesNo);
  EXPECT_FALSE(p.Ended());
  EXPECT_TRUE(p.System().ExitRequests().empty());
  EXPECT_EQ(PrivilegeCalls(platform::PortOp::EnablePri), 0u);
  EXPECT_EQ(PrivilegeCalls(platform::PortOp::DisablePri), 0u);
}

TEST_F(ShutDown, YesOnThe9xFamilyShutsDownAndEndsTheSession) {
  p.Ports().Reset();
  p.Answers().Queue(platform::Answer::kYes);
  p.Run([&] { monitor::ShutDownSystem(p.Prog()); });
  EXPECT_EQ(p.Ended(), std::optional<int>(0));
  ASSERT_EQ(p.System().ExitRequests().size(), 1u);
  EXPECT_EQ(p.System().ExitRequests()[0].flags, platform::EWX_SHUTDOWN);
  EXPECT_TRUE(p.System().SessionEnded());
  EXPECT_FALSE(p.System().ShutdownPrivilegeEnabled()) << "the 9x family needs no token privilege";
  EXPECT_EQ(PrivilegeCalls(platform::PortOp::EnablePri), 1u);
  EXPECT_EQ(PrivilegeCalls(platform::PortOp::DisablePri), 1u);
}

TEST_F(ShutDown, NtFamilyEnablesTheTokenPrivilegeAndPowersOffOnVersion5) {
  struct Case {
    std::uint32_t major;
    std::uint32_t flags;
  };
  for (const Case c : {Case{5, platform::EWX_POWEROFF}, Case{4, platform::EWX_SHUTDOWN}}) {
    SimProgram q(AnyRunningBoard());
    ASSERT_FALSE(q.Start());
    q.System().SetVersion(platform::NtVersion(c.major, 0, 1381));
    q.Answers().Queue(platform::Answer::kYes);
    q.Run([&] { monitor::ShutDownSystem(q.Prog()); });
    EXPECT_TRUE(q.System().ShutdownPrivilegeEnabled());
    ASSERT_EQ(q.System().ExitRequests().size(), 1u);
    EXPECT_EQ(q.System().ExitRequests()[0].flags, c.flags);
    EXPECT_TRUE(q.System().ExitRequests()[0].accepted);
    EXPECT_EQ(q.Ended(), std::optional<int>(0));
  }
}

TEST_F(ShutDown, RefusedRequestKeepsTheProgramRunning) {
  p.System().SetVersion(platform::NtVersion(5, 1, 2600));
  p.System().SetPrivilegeCallsFail(true);
  p.Answers().Queue(platform::Answer::kYes);
  p.Run([&] { monitor::ShutDownSystem(p.Prog()); });
  ASSERT_EQ(p.System().ExitRequests().size(), 1u);
  EXPECT_FALSE(p.System().ExitRequests()[0].accepted);
  EXPECT_FALSE(p.Ended());
}

TEST_F(ShutDown, UnattendedOnlyWithTheShutdownOptionAndWithoutAQuestion) {
  p.Run([&] { monitor::ShutdownIfEnabled(p.Prog()); });
  EXPECT_FALSE(p.Ended());
  EXPECT_TRUE(p.System().ExitRequests().empty());

  p.Ports().Reset();
  p.Prog().frmdoctor().Check2.Value = 1;
  p.Run([&] { monitor::ShutdownIfEnabled(p.Prog()); });
  EXPECT_EQ(p.Ended(), std::optional<int>(0));
  EXPECT_TRUE(p.Boxes().empty());
  EXPECT_EQ(PrivilegeCalls(platform::PortOp::EnablePri), 0u);
}

}  // namespace
}  // namespace veltrix::testsupport
