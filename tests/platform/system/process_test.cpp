// Single instance, program start, program folder and clocks.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <optional>
#include <fstream>
#include <thread>

#include "platform/system/clock.h"
#include "platform/system/sim_system.h"
#include "platform/system/single_instance.h"
#include "platform/system/start_program.h"

namespace veltrix::platform {
namespace {

namespace fs = std::filesystem;

std::string TempLockPath(const char* tag) {
  return (fs::temp_directory_path() /
          ("veltrix-test-" + std::string(tag) + "-" + std::to_string(getpid()) + ".lock"))
      .string();
}

TEST(SingleInstanceTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  auto path = TempLockPath("second");
  SimSystem first({.lockPath = path});
  SimSystem second({.lockPath = path});
  EXPECT_TRUE(first.AcquireSingleInstance());
  EXPECT_TRUE(first.AcquireSingleInstance());  // asking again keeps it
  EXPECT_EQ(second.AcquireSingleInstance().state, InstanceLockState::kHeldByAnother);

  SingleInstanceLock direct(path);
  EXPECT_FALSE(direct.Acquire());
  fs::remove(path);
}

TEST(SingleInstanceTest, AnotherProcessSeesTheLockHeld) {
  auto path = TempLockPath("fork");
  SingleInstanceLock lock(path);
  ASSERT_TRUE(lock.Acquire());
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SingleInstanceLock other(path);
    _exit(other.Acquire() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child acquired a lock the parent holds";
  lock.Release();
  SingleInstanceLock again(path);
  EXPECT_TRUE(again.Acquire());
  fs::remove(path);
}

TEST(SingleInstanceTest, StartedProgramsDoNotKeepTheLockAlive) {
  auto path = TempLockPath("inherit");
  {
    SingleInstanceLock lock(path);
    ASSERT_TRUE(lock.Acquire());
    ASSERT_TRUE(SpawnDetached("sleep 2"));
  }
  SingleInstanceLock next(path);
  EXPECT_TRUE(next.Acquire());
  fs::remove(path);
}

TEST(SingleInstanceTest, ALockThatCannotBeTakenIsNotAnotherInstance) {
  const fs::path folder = fs::temp_directory_path() / ("veltrix-test-lock-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path target = folder / "target";
  fs::create_symlink(target, folder / "veltrix.lock");
  SimSystem system({.lockPath = (folder / "veltrix.lock").string()});
  const SingleInstanceResult result = system.AcquireSingleInstance();
  EXPECT_EQ(result.state, InstanceLockState::kUnavailable);
  EXPECT_NE(result.reason.find("symbolic link"), std::string::npos) << result.reason;
  EXPECT_FALSE(fs::exists(target)) << "nothing is created through the link";

  SimSystem missing({.lockPath = (folder / "no-such-folder" / "veltrix.lock").string()});
  EXPECT_EQ(missing.AcquireSingleInstance().state, InstanceLockState::kUnavailable);
  fs::remove_all(folder);
}

// The folder the lock lives in: the session's own runtime folder when it is private, else
// /run/user/<uid>, else a private folder made for the purpose; never one another user made.
TEST(SingleInstanceTest, RuntimeFolderIsPrivateToTheUser) {
  const uid_t me = geteuid();
  const fs::path root = fs::temp_directory_path() / ("veltrix-test-runtime-" + std::to_string(getpid()));
  fs::create_directories(root);
  auto makeFolder = [](const fs::path& path, fs::perms mode) {
    fs::create_directories(path);
    fs::permissions(path, mode);
    return path.string();
  };
  const std::string privateRuntime = makeFolder(root / "xdg", fs::perms::owner_all);
  const std::string openRuntime = makeFolder(root / "xdg-open", fs::perms::all);
  makeFolder(root / "run-user" / std::to_string(me), fs::perms::owner_all);
  auto env = [](std::optional<std::string> runtime) -> EnvLookup {
    return [runtime](const char* name) -> std::optional<std::string> {
      return std::string(name) == "XDG_RUNTIME_DIR" ? runtime : std::nullopt;
    };
  };
  RuntimeFolderPlaces places{(root / "run-user").string(),
                             {(root / "no-base").string(), (root / "tmp").string()}};

  EXPECT_EQ(FindRuntimeFolder(env(privateRuntime), me, places).path, privateRuntime);
  // A runtime folder others can write (or another user's, as under sudo) is passed over.
  EXPECT_EQ(FindRuntimeFolder(env(openRuntime), me, places).path,
            (root / "run-user" / std::to_string(me)).string());
  EXPECT_EQ(FindRuntimeFolder(env("relative"), me, places).path,
            (root / "run-user" / std::to_string(me)).string());

  // No runtime folder: one is made, 0700, in the first base this user can write in.
  places.userRuntimeBase = (root / "no-run-user").string();
  makeFolder(root / "tmp", fs::perms::all | fs::perms::sticky_bit);
  const RuntimeFolder made = FindRuntimeFolder(env(std::nullopt), me, places);
  const fs::path expected = root / "tmp" / ("veltrix-" + std::to_string(me));
  ASSERT_EQ(made.path, expected.string()) << made.problem;
  EXPECT_EQ(fs::status(expected).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(FindRuntimeFolder(env(std::nullopt), me, places).path, expected.string()) << "and used again";

  // One that somebody else prepared is refused with the reason, never used.
  fs::remove(expected);
  fs::create_directory_symlink(root / "xdg", expected);
  RuntimeFolder linked = FindRuntimeFolder(env(std::nullopt), me, places);
  EXPECT_TRUE(linked.path.empty());
  EXPECT_NE(linked.problem.find("symbolic link"), std::string::npos) << linked.problem;
  fs::remove(expected);
  makeFolder(expected, fs::perms::all);
  linked = FindRuntimeFolder(env(std::nullopt), me, places);
  EXPECT_TRUE(linked.path.empty());
  EXPECT_NE(linked.problem.find("other users"), std::string::npos) << linked.problem;
  fs::remove_all(root);
}

TEST(StartProgramTest, CommandLinesSplitOnBlanksOutsideQuotes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("a b\tc"), (V{"a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("  \"C:\\Program Files\\x\\unins.exe\"  /S "),
            (V{"C:\\Program Files\\x\\unins.exe", "/S"}));
  EXPECT_EQ(SplitCommandLine("pre\"fix mid\"post x"), (V{"prefix midpost", "x"}));
  EXPECT_EQ(SplitCommandLine("a \"\" b"), (V{"a", "", "b"}));
  EXPECT_EQ(SplitCommandLine("a \"open quote"), (V{"a", "open quote"}));
  EXPECT_EQ(SplitCommandLine("   "), V{});
}

TEST(StartProgramTest, ReportsWhetherTheProgramStarted) {
  EXPECT_EQ(SpawnAndWait("sh -c \"exit 3\""), 3);
  EXPECT_EQ(SpawnAndWait("true"), 0);
  EXPECT_FALSE(SpawnDetached("/nonexistent/veltrix-no-such-program"));
  EXPECT_FALSE(SpawnDetached(""));
  EXPECT_TRUE(SpawnDetached("true"));

  // A detached program lives in a session of its own, and no shell reads its line.
  const std::string out =
      (fs::temp_directory_path() / ("veltrix-detached-" + std::to_string(getpid()))).string();
  fs::remove(out);
  const std::string script =
      "cut -d' ' -f6 /proc/self/stat > '" + out + ".tmp' && mv '" + out + ".tmp' '" + out + "'";
  ASSERT_TRUE(SpawnDetached("sh -c \"" + script + "\""));
  for (int i = 0; i < 200 && !fs::exists(out); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::ifstream in(out);
  pid_t session = 0;
  ASSERT_TRUE(in >> session);
  EXPECT_NE(session, getsid(0));
  fs::remove(out);

  std::vector<std::string> seen;
  SimSystem system({.programStarter = [&](const std::string& line) {
    seen.push_back(line);
    return false;
  }});
  EXPECT_FALSE(system.StartProgram("C:\\WINDOWS\\uninst.exe -f"));
  ASSERT_EQ(system.StartRequests().size(), 1u);
  EXPECT_EQ(seen, std::vector<std::string>{"C:\\WINDOWS\\uninst.exe -f"});
}

TEST(ProgramFolderTest, ConfiguredFolderLosesTrailingSeparatorsDefaultIsTheExecutablesFolder) {
  SimSystem configured({.programDir = "/opt/veltrix//"});
  EXPECT_EQ(configured.ProgramFolder(), "/opt/veltrix");
  SimSystem root({.programDir = "/"});
  EXPECT_EQ(root.ProgramFolder(), "/");
  SimSystem fromExe;
  EXPECT_EQ(fs::path(fromExe.ProgramFolder()), fs::read_symlink("/proc/self/exe").parent_path());
}

TEST(ProgramFolderTest, BuildTreeBesideTheExecutableInstalledTreeInShareVeltrix) {
  const fs::path root = fs::temp_directory_path() / ("veltrix-folders-" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "build/bin/GIF");
  fs::create_directories(root / "usr/bin");
  fs::create_directories(root / "usr/share/veltrix/GIF");
  fs::create_directories(root / "bare/bin");
  EXPECT_EQ(ProgramFolderBeside((root / "build/bin").string()), (root / "build/bin").string());
  EXPECT_EQ(ProgramFolderBeside((root / "usr/bin").string()), fs::canonical(root / "usr/share/veltrix").string());
  EXPECT_EQ(ProgramFolderBeside((root / "bare/bin").string()), (root / "bare/bin").string());
  fs::remove_all(root);
}

TEST(ProgramFolderTest, AnInstalledProgramLogsIntoItsStateFolder) {
  const fs::path root = fs::temp_directory_path() / ("veltrix-state-" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "home");
  auto env = [&](const std::optional<std::string>& xdg) -> EnvLookup {
    return [&root, xdg](const char* name) -> std::optional<std::string> {
      if (std::string(name) == "XDG_STATE_HOME") return xdg;
      if (std::string(name) == "HOME") return (root / "home").string();
      return std::nullopt;
    };
  };
  // A build tree (or --program-dir) logs beside its pictures.
  EXPECT_EQ(LogFolderFor("/opt/build/bin", false, env(std::nullopt)), "/opt/build/bin");
  // Installed: $XDG_STATE_HOME/veltrix, made on first use for this user only.
  const std::string state = LogFolderFor("/usr/share/veltrix", true, env((root / "state").string()));
  EXPECT_EQ(state, (root / "state/veltrix").string());
  EXPECT_TRUE(fs::is_directory(state));
  EXPECT_EQ(fs::status(state).permissions() & fs::perms::all, fs::perms::owner_all);
  // Without XDG_STATE_HOME (or with a relative one, which the rules ignore): ~/.local/state.
  EXPECT_EQ(LogFolderFor("/usr/share/veltrix", true, env(std::string("relative"))),
            (root / "home/.local/state/veltrix").string());
  fs::remove_all(root);
}

TEST(ClockTest, VirtualClockFollowsElapsedTimeAcrossCalendarBoundaries) {
  std::int64_t elapsedMs = 0;
  auto clock = std::make_shared<VirtualClock>(LocalTime{2024, 2, 28, 23, 59, 58}, [&] { return elapsedMs; });
  SimSystem system({.clock = clock});
  auto t = system.Now();
  EXPECT_EQ(t.day, 28);
  EXPECT_EQ(t.second, 58);

  elapsedMs = 2999;  // whole seconds only
  t = system.Now();
  EXPECT_EQ((std::array{t.year, t.month, t.day, t.hour, t.minute, t.second}),
            (std::array{2024, 2, 29, 0, 0, 0}));

  elapsedMs = 86'400'000LL * 366 + 2000;  // a leap year later
  t = system.Now();
  EXPECT_EQ((std::array{t.year, t.month, t.day, t.hour, t.minute, t.second}),
            (std::array{2025, 3, 1, 0, 0, 0}));

  auto back = AddSeconds({2000, 1, 1, 0, 0, 0}, -1);
  EXPECT_EQ((std::array{back.year, back.month, back.day, back.hour, back.minute, back.second}),
            (std::array{1999, 12, 31, 23, 59, 59}));
}

TEST(ClockTest, WallClockGivesAPlausibleDate) {
  auto t = WallClock().Now();
  EXPECT_GE(t.year, 2020);
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
}

}  // namespace
}  // namespace veltrix::platform
