// Shutting down real Linux hardware goes through logind; here a stand-in logind on a private
// bus accepts, refuses or is absent.
#include <gtest/gtest.h>

#include "platform/system/linux_system.h"
#include "platform/system/logind.h"
#include "platform/system/message_box.h"
#include "tests/support/private_bus.h"

namespace veltrix::platform {
namespace {

using testsupport::PrivateBus;

TEST(Logind, AnAcceptedPowerOffIsAskedInteractivelyAndEndsTheSession) {
  PrivateBus bus;
  if (!bus.StartLogind(true)) GTEST_SKIP() << bus.Problem();
  ScriptedAnswers answers;
  LinuxSystem system({.messageBoxes = answers.Sink()});
  EXPECT_TRUE(system.ExitWindowsEx(EWX_POWEROFF, 0));
  EXPECT_TRUE(system.SessionEnded());
  EXPECT_TRUE(answers.Shown().empty());
  EXPECT_EQ(bus.LogindRequests(), "PowerOff interactive=True\n");

  LinuxSystem rebooting({});
  EXPECT_TRUE(rebooting.ExitWindowsEx(EWX_REBOOT, 0));
  EXPECT_EQ(bus.LogindRequests(), "PowerOff interactive=True\nReboot interactive=True\n");
}

TEST(Logind, ARefusalIsShownAndTheProgramGoesOn) {
  PrivateBus bus;
  if (!bus.StartLogind(false)) GTEST_SKIP() << bus.Problem();
  ScriptedAnswers answers;
  bool ended = false;
  LinuxSystem system({.messageBoxes = answers.Sink(), .onSessionEnded = [&](std::uint32_t) { ended = true; }});
  EXPECT_FALSE(system.ExitWindowsEx(EWX_SHUTDOWN, 0));
  EXPECT_FALSE(system.SessionEnded());
  EXPECT_FALSE(ended);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_NE(answers.Shown()[0].text.find("did not shut down"), std::string::npos);
  EXPECT_NE(answers.Shown()[0].text.find("AccessDenied"), std::string::npos) << answers.Shown()[0].text;
  EXPECT_EQ(bus.LogindRequests(), "PowerOff interactive=True\n");
}

TEST(Logind, NoLogindOnTheBusIsARefusalWithItsReason) {
  PrivateBus bus;
  if (!bus.Problem().empty()) GTEST_SKIP() << bus.Problem();
  const LogindAnswer answer = AskLogind(LogindRequest::kPowerOff, 5);
  EXPECT_FALSE(answer.accepted);
  EXPECT_NE(answer.reason.find("ServiceUnknown"), std::string::npos) << answer.reason;
}

TEST(Logind, NoBusAtAllIsARefusalToo) {
  PrivateBus bus;  // for the environment only
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/veltrix-test-bus", 1);
  const LogindAnswer answer = AskLogind(LogindRequest::kPowerOff, 5);
  EXPECT_FALSE(answer.accepted);
  EXPECT_FALSE(answer.reason.empty());
}

}  // namespace
}  // namespace veltrix::platform
