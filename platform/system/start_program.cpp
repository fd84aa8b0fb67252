#include "platform/system/start_program.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace veltrix::platform {
namespace {

// posix_spawnp; the child's pid, or -1.
pid_t Spawn(std::string_view commandLine) {
  auto args = SplitCommandLine(commandLine);
  if (args.empty() || args[0].empty()) return -1;
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  // glibc reports a failed exec (no such file, not executable) as the spawn's result.
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> out;
  std::string current;
  bool inQuotes = false;
  bool haveArg = false;
  for (char c : commandLine) {
    if (c == '"') {
      inQuotes = !inQuotes;
      haveArg = true;
    } else if (!inQuotes && (c == ' ' || c == '\t')) {
      if (haveArg) out.push_back(std::move(current));
      current.clear();
      haveArg = false;
    } else {
      current += c;
      haveArg = true;
    }
  }
  if (haveArg) out.push_back(std::move(current));
  return out;
}

bool SpawnDetached(std::string_view commandLine) {
  pid_t pid = Spawn(commandLine);
  if (pid < 0) return false;
  std::thread([pid] { WaitFor(pid); }).detach();
  return true;
}

int SpawnAndWait(std::string_view commandLine) {
  pid_t pid = Spawn(commandLine);
  if (pid < 0) return -1;
  return WaitFor(pid);
}

}  // namespace veltrix::platform
