#pragma once
// How signals end the program (POSIX).
//
// - SIGINT, SIGTERM and SIGHUP ask for the orderly exit. The handler only writes the signal
//   number into a pipe; the event loop watches ReadFd() and runs the exit there. A second
//   such signal while the first is still pending is taken as "now": it goes the crash way.
// - SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT and SIGQUIT end the process at once: the handler
//   plays the attached last-resort list (fans at full output, beeps off, ...), tells the
//   attached observer (allocation-free), restores the signal's default action and raises it
//   again, so the exit status still shows the signal (and a core is dumped where the system
//   keeps them). It runs on an alternate stack, so a stack overflow is caught too.
// - exit() called from anywhere (a library giving up, e.g. a lost display connection) plays
//   the last-resort list as well, through atexit.
//
// SIGKILL and a power loss cannot be caught: nothing runs then.
#include <string>

namespace veltrix::platform {

class LastResortWrites;

class ExitSignals {
 public:
  // Told after the last-resort list was played on the crash path. Must be async-signal-safe.
  using CrashObserver = void (*)(void* context) noexcept;

  // Installs the handlers (once per process; later calls do nothing). False with a reason in
  // `error` when the pipe or a handler cannot be set up.
  static bool Install(std::string* error = nullptr);
  // Whether Install succeeded in this process.
  static bool Installed();

  // The list played when the process ends without the orderly exit, and who is told. nullptr
  // detaches (before the list goes away).
  static void Attach(LastResortWrites* lastResort, CrashObserver observer = nullptr, void* context = nullptr);

  // Readable when an orderly-exit signal arrived; -1 when not installed.
  static int ReadFd();
  // Empties the pipe; the first orderly-exit signal received so far (0 = none). It stays
  // the answer until Reset.
  static int TakeSignal();
  // The first orderly-exit signal taken, 0 = none.
  static int Received();
  // Forgets a received signal (tests).
  static void Reset();

  // Ends the process as the signal's default action would (after the orderly exit ran).
  [[noreturn]] static void DieBy(int signal);
};

}  // namespace veltrix::platform
