// Real veltrix processes ended by signals: the orderly-exit signals run the exit (the log gets
// its end record), the crash signals put the chip back through the last-resort path, and every
// one of them leaves the fans at full output and the exit status showing the signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/veltrix/veltrix_app.h"
#include "sim/board/board_profile.h"
#include "sim/dump/register_dump.h"
#include "sim/machine/sim_machine.h"
#include "sim/machine/sim_state_file.h"
#include "tests/support/private_bus.h"

extern char** environ;

namespace veltrix::app {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// One run of the real program on the default simulated board, started from a register dump
// whose fan outputs the BIOS left low, with logging on and the board's state written at the
// end.
class ChildRun {
 public:
  ChildRun() : dir_(fs::temp_directory_path() / ("veltrix-signals-" + std::to_string(::getpid()) + "-" +
                                                  std::to_string(counter_++))) {
    fs::create_directories(dir_);
    // The board as the BIOS leaves it, with both fan outputs at a quarter.
    const sim::BoardProfile* profile = sim::FindProfile(DefaultBoardModel());
    sim::SimMachine machine(*profile, 1);
    machine.Chip().SetRegister(0, 0x5A, 0x40);
    machine.Chip().SetRegister(0, 0x5B, 0x40);
    sim::SimStateFile(machine, (dir_ / "bios.dump").string()).Write();
    std::ofstream(dir_ / "registry.reg") << "REGEDIT4\r\n\r\n"
                                         << "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Halvane\\Setting]\r\n"
                                         << "\"Check5\"=dword:00000001\r\n";
    fs::create_directories(dir_ / "run");
  }
  ~ChildRun() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Starts veltrix in real time (on the console, or the desktop front end offscreen) and waits
  // for its first monitoring tick (a line on the console, a record in the log).
  bool Start(bool desktop = false) {
    const std::string exe = VELTRIX_BINARY_DIR "/bin/veltrix";
    std::vector<std::string> args{exe,         desktop ? "--lcid=1033" : "--console",        "--registry",
                                  (dir_ / "registry.reg").string(), "--program-dir", dir_.string(),
                                  "--sim-dump",  (dir_ / "bios.dump").string(), "--sim-state-out",
                                  State().string()};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env{"XDG_RUNTIME_DIR=" + (dir_ / "run").string(), "PATH=/usr/bin:/bin", "LANG=C"};
    if (desktop) env.push_back("QT_QPA_PLATFORM=offscreen");
    if (const char* bus = std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) env.push_back(std::string("DBUS_SYSTEM_BUS_ADDRESS=") + bus);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, (dir_ / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, (dir_ / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int r = posix_spawn(&pid_, exe.c_str(), &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (r != 0) return false;
    for (int i = 0; i < 200; ++i) {
      const std::string out = ReadAll(desktop ? dir_ / "Vtx.log" : dir_ / "out.txt");
      if (desktop ? std::count(out.begin(), out.end(), '\n') >= 2 : out.find("-- tick 1") != std::string::npos) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  // Sends the signal (0: none) and waits for the process; returns its wait status. A program
  // that has not ended after twenty seconds is killed, so the test fails instead of hanging.
  int KillAndWait(int sig) {
    if (sig != 0) ::kill(pid_, sig);
    int status = 0;
    for (int i = 0; i < 400; ++i) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return status;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the program did not end";
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

  fs::path State() const { return dir_ / "state.txt"; }
  std::string Log() const { return ReadAll(dir_ / "Vtx.log"); }
  std::string Err() const { return ReadAll(dir_ / "err.txt"); }

 private:
  static inline int counter_ = 0;
  fs::path dir_;
  pid_t pid_ = -1;
};

std::uint8_t Bank0(const sim::RegisterDump& dump, int reg) {
  for (const sim::DumpTable& t : dump.tables) {
    if (t.bank.value_or(0) == 0) return t.At(reg).value_or(0xEE);
  }
  return 0xEE;
}
std::uint8_t Bank4(const sim::RegisterDump& dump, int reg) {
  for (const sim::DumpTable& t : dump.tables) {
    if (t.bank == 4) return t.At(reg).value_or(0xEE);
  }
  return 0xEE;
}

TEST(ExitSignals, EverySignalLeavesTheFansAtFullSpeedAndTheStatusShowsIt) {
  struct Case {
    int sig;
    bool orderly;  // the orderly exit runs (log end record), else the last-resort path
  };
  const Case cases[] = {{SIGTERM, true},  {SIGINT, true},  {SIGHUP, true},  {SIGQUIT, false},
                        {SIGSEGV, false}, {SIGABRT, false}, {SIGBUS, false}, {SIGFPE, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(strsignal(c.sig));
    ChildRun run;
    ASSERT_TRUE(run.Start()) << run.Err();
    const int status = run.KillAndWait(c.sig);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status) << "\n" << run.Err();
    EXPECT_EQ(WTERMSIG(status), c.sig);

    const sim::DumpParseResult state = sim::LoadRegisterDumpFile(run.State().string());
    ASSERT_TRUE(state.dump) << state.error;
    EXPECT_EQ(Bank0(*state.dump, 0x5A), 0xFF) << "CPU fan at full output";
    EXPECT_EQ(Bank0(*state.dump, 0x5B), 0xFF) << "system fan at full output";
    EXPECT_EQ(Bank0(*state.dump, 0x57), 0x00) << "beeps off";
    EXPECT_EQ(Bank4(*state.dump, 0x54), 0x00) << "temperature offset cleared";

    const std::string log = run.Log();
    const std::string endRecord = "\"\"\r\n";
    const bool ended = log.size() >= endRecord.size() && log.compare(log.size() - endRecord.size(), endRecord.size(),
                                                                      endRecord) == 0;
    EXPECT_EQ(ended, c.orderly) << "the log's end record is the orderly exit's";
  }
}

// The machine going down (logind's PrepareForShutdown) ends the desktop front end the orderly
// way, with an orderly status.
TEST(ExitSignals, TheSystemShuttingDownRunsTheOrderlyExitOnTheDesktop) {
  if (!VELTRIX_PROGRAM_HAS_DESKTOP) GTEST_SKIP() << "this build has no desktop front end";
  testsupport::PrivateBus bus;
  if (!bus.StartLogind(true)) GTEST_SKIP() << bus.Problem();
  ChildRun run;
  ASSERT_TRUE(run.Start(/*desktop=*/true)) << run.Err();
  bus.AnnounceShutdown();
  const int status = run.KillAndWait(0);
  ASSERT_TRUE(WIFEXITED(status)) << run.Err();
  EXPECT_EQ(WEXITSTATUS(status), 0) << run.Err();
  const sim::DumpParseResult state = sim::LoadRegisterDumpFile(run.State().string());
  ASSERT_TRUE(state.dump) << state.error;
  EXPECT_EQ(Bank0(*state.dump, 0x5A), 0xFF);
  const std::string log = run.Log();
  EXPECT_EQ(log.substr(log.size() - 4), "\"\"\r\n") << "the log's end record";
}

}  // namespace
}  // namespace veltrix::app
