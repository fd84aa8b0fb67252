#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/system/linux_system.h"
#include "platform/system/sim_system.h"

namespace veltrix::platform {
namespace {

namespace fs = std::filesystem;

// A stand-in for the service manager's power-off command: it only leaves a marker file.
class MarkerCommand {
 public:
  explicit MarkerCommand(int exitStatus) {
    dir_ = fs::temp_directory_path() /
           ("veltrix-shutdown-" + std::to_string(getpid()) + "-" + std::to_string(counter_++));
    fs::create_directories(dir_);
    script_ = dir_ / "poweroff.sh";
    std::ofstream(script_) << "#!/bin/sh\necho \"$@\" > '" << Marker().string() << "'\nexit " << exitStatus
                           << "\n";
    fs::permissions(script_, fs::perms::owner_all);
  }
  ~MarkerCommand() { fs::remove_all(dir_); }
  std::string Command(const std::string& arg) const { return script_.string() + " " + arg; }
  fs::path Marker() const { return dir_ / "ran"; }
  std::string MarkerText() const {
    std::string s;
    std::getline(std::ifstream(Marker()), s);
    return s;
  }

 private:
  static inline int counter_ = 0;
  fs::path dir_, script_;
};

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

TEST(ShutdownTest, LinuxSystemRunsNoCommandUnlessRealPowerOffWasAllowed) {
  MarkerCommand cmd(0);
  LinuxSystem system({}, {.allowRealPowerOff = false, .powerOffCommand = cmd.Command("poweroff")});
  EXPECT_TRUE(system.ExitWindowsEx(EWX_SHUTDOWN, 0));
  EXPECT_TRUE(system.SessionEnded());
  EXPECT_FALSE(fs::exists(cmd.Marker()));
  EXPECT_EQ(system.LastCommand(), "");
}

TEST(ShutdownTest, LinuxSystemWithRealPowerOffRunsTheMatchingCommandOnce) {
  MarkerCommand cmd(0);
  LinuxSystemOptions real{.allowRealPowerOff = true,
                          .powerOffCommand = cmd.Command("poweroff"),
                          .rebootCommand = cmd.Command("reboot")};
  LinuxSystem rebooting({}, real);
  EXPECT_TRUE(rebooting.ExitWindowsEx(EWX_REBOOT, 0));
  EXPECT_EQ(cmd.MarkerText(), "reboot");

  LinuxSystem poweringOff({}, real);
  EXPECT_TRUE(poweringOff.ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0));
  EXPECT_EQ(cmd.MarkerText(), "poweroff");
  // A second alarm while the machine is going down does not ask again.
  std::filesystem::remove(cmd.Marker());
  EXPECT_TRUE(poweringOff.ExitWindowsEx(EWX_SHUTDOWN, 0));
  EXPECT_FALSE(fs::exists(cmd.Marker()));
}

TEST(ShutdownTest, RefusedRealPowerOffKeepsTheProgramRunning) {
  MarkerCommand cmd(1);
  bool ended = false;
  LinuxSystem system({.onSessionEnded = [&](std::uint32_t) { ended = true; }},
                     {.allowRealPowerOff = true, .powerOffCommand = cmd.Command("poweroff")});
  EXPECT_FALSE(system.ExitWindowsEx(EWX_SHUTDOWN, 0));
  EXPECT_TRUE(fs::exists(cmd.Marker()));
  EXPECT_FALSE(system.SessionEnded());
  EXPECT_FALSE(ended);
}

TEST(ShutdownTest, ExitFlagsAreDescribedForTheUser) {
  EXPECT_EQ(DescribeExitFlags(EWX_SHUTDOWN), "shut down");
  EXPECT_EQ(DescribeExitFlags(EWX_POWEROFF), "power off");
  EXPECT_EQ(DescribeExitFlags(EWX_REBOOT | EWX_FORCE), "reboot (forced)");
  EXPECT_EQ(DescribeExitFlags(EWX_LOGOFF), "log off");
}

}  // namespace
}  // namespace veltrix::platform
