#include "platform/system/start_program.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace veltrix::platform {
namespace {

// posix_spawnp; the child's pid, or -1. A detached child gets a session of its own, so the
// end of ours (a closed terminal, a finished uninstall script) does not end it.
pid_t Spawn(std::string_view commandLine, bool detached) {
  auto args = SplitCommandLine(commandLine);
  if (args.empty() || args[0].empty()) return -1;
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return -1;
  if (detached) posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = -1;
  // glibc reports a failed exec (no such file, not executable) as the spawn's result.
  const int rc = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  return rc == 0 ? pid : -1;
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
  pid_t pid = Spawn(commandLine, true);
  if (pid < 0) return false;
  std::thread([pid] { WaitFor(pid); }).detach();
  return true;
}

int SpawnAndWait(std::string_view commandLine) {
  pid_t pid = Spawn(commandLine, false);
  if (pid < 0) return -1;
  return WaitFor(pid);
}

}  // namespace veltrix::platform
