#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/system/sim_system.h"

namespace veltrix::platform {
namespace {

TEST(ShutdownTest, NineXShutdownEndsTheSimulatedSessionOnceAndRecordsEveryRequest) {
  int notified = 0;
  std::uint32_t notifiedFlags = 99;
  SimSystem system({.onSessionEnded = [&](std::uint32_t flags) {
    ++notified;
    notifiedFlags = flags;
  }});
  OsVersionInfo v;
  ASSERT_TRUE(system.GetVersionExA(&v));
  EXPECT_EQ(v.dwPlatformId, 1u);

  EXPECT_TRUE(system.ExitWindowsEx(EWX_SHUTDOWN, 0));
  EXPECT_TRUE(system.ExitWindowsEx(EWX_SHUTDOWN, 0));  // a second alarm in the same tick
  EXPECT_TRUE(system.SessionEnded());
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(notifiedFlags, EWX_SHUTDOWN);
  ASSERT_EQ(system.ExitRequests().size(), 2u);
  EXPECT_TRUE(system.ExitRequests()[0].accepted);
}

TEST(ShutdownTest, NtNeedsTheShutdownPrivilegeEnabledFirst) {
  SimSystem system({.version = NtVersion(5, 1, 2600)});
  EXPECT_FALSE(system.ExitWindowsEx(EWX_POWEROFF, 0));
  EXPECT_FALSE(system.SessionEnded());

  EXPECT_FALSE(system.AdjustTokenPrivileges(true));  // no token opened yet
  EXPECT_TRUE(system.OpenProcessToken());
  EXPECT_FALSE(system.LookupPrivilegeValueA("SeDebugPrivilege"));
  EXPECT_TRUE(system.LookupPrivilegeValueA("SeShutdownPrivilege"));
  EXPECT_TRUE(system.AdjustTokenPrivileges(true));
  EXPECT_TRUE(system.ExitWindowsEx(EWX_POWEROFF, 0));
  EXPECT_TRUE(system.SessionEnded());
  ASSERT_EQ(system.ExitRequests().size(), 2u);
  EXPECT_FALSE(system.ExitRequests()[0].accepted);
  EXPECT_EQ(system.ExitRequests()[1].flags, EWX_POWEROFF);
}

TEST(ShutdownTest, FailingPrivilegeCallsLeaveAnNtMachineRunning) {
  SimSystem system({.version = NtVersion(5, 0, 2195), .privilegeCallsFail = true});
  EXPECT_FALSE(system.OpenProcessToken());
  EXPECT_FALSE(system.LookupPrivilegeValueA("SeShutdownPrivilege"));
  EXPECT_FALSE(system.AdjustTokenPrivileges(true));
  EXPECT_FALSE(system.ExitWindowsEx(EWX_POWEROFF, 0));
  EXPECT_FALSE(system.SessionEnded());
}

TEST(ShutdownTest, VersionRecordNeedsAKnownRecordSize) {
  SimSystem system;
  OsVersionInfo v;
  v.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(system.GetVersionExA(&v));
  EXPECT_FALSE(system.GetVersionExA(nullptr));
  v.dwOSVersionInfoSize = 148;
  system.SetVersion(NtVersion(5, 1, 2600));
  ASSERT_TRUE(system.GetVersionExA(&v));
  EXPECT_EQ(v.dwOSVersionInfoSize, 148u);
  EXPECT_EQ(v.dwPlatformId, 2u);
  EXPECT_EQ(v.dwMajorVersion, 5u);
}

TEST(ShutdownTest, ExitFlagsAreDescribedForTheUser) {
  EXPECT_EQ(DescribeExitFlags(EWX_SHUTDOWN), "shut down");
  EXPECT_EQ(DescribeExitFlags(EWX_POWEROFF), "power off");
  EXPECT_EQ(DescribeExitFlags(EWX_REBOOT | EWX_FORCE), "reboot (forced)");
  EXPECT_EQ(DescribeExitFlags(EWX_LOGOFF), "log off");
}

}  // namespace
}  // namespace veltrix::platform
