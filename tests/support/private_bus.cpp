#include "tests/support/private_bus.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace veltrix::testsupport {
namespace {

namespace fs = std::filesystem;

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

bool WaitFor(const fs::path& path) {
  for (int i = 0; i < 200; ++i) {
    if (fs::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

void Stop(pid_t& pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
  pid = -1;
}

}  // namespace

PrivateBus::PrivateBus() {
  std::string pattern = (fs::temp_directory_path() / "veltrix-bus-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    problem_ = "no temporary folder";
    return;
  }
  dir_ = pattern;
  const std::string socket = dir_ + "/bus";
  std::ofstream(dir_ + "/bus.conf")
      << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig>\n  <type>session</type>\n  <listen>unix:path="
      << socket
      << "</listen>\n  <auth>EXTERNAL</auth>\n"
         "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
         "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n";
  daemon_ = Spawn({"dbus-daemon", "--nofork", "--config-file=" + dir_ + "/bus.conf"});
  if (daemon_ < 0 || !WaitFor(socket)) {
    problem_ = "dbus-daemon did not start (package dbus-daemon)";
    return;
  }
  address_ = "unix:path=" + socket;
  if (const char* old = std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) {
    hadPreviousAddress_ = true;
    previousAddress_ = old;
  }
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
}

PrivateBus::~PrivateBus() {
  Stop(logind_);
  Stop(daemon_);
  if (hadPreviousAddress_) {
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", previousAddress_.c_str(), 1);
  } else {
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  }
  std::error_code ignored;
  if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

bool PrivateBus::StartLogind(bool accept) {
  if (!problem_.empty()) return false;
  const std::string log = dir_ + "/logind.log";
  // The system interpreter: the Debian packages python3-dbus and python3-gi belong to it.
  logind_ = Spawn({"/usr/bin/python3", VELTRIX_TEST_DATA_DIR "/logind/stand_in_logind.py", address_,
                   accept ? "accept" : "refuse", log});
  if (logind_ < 0 || !WaitFor(log + ".ready")) {
    problem_ = "the stand-in logind did not start (python3-dbus, python3-gi)";
    return false;
  }
  return true;
}

std::string PrivateBus::LogindRequests() const {
  std::ifstream in(dir_ + "/logind.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void PrivateBus::AnnounceShutdown() {
  if (logind_ > 0) ::kill(logind_, SIGUSR1);
}

}  // namespace veltrix::testsupport
