#include "platform/system/exit_signals.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/portio/last_resort.h"

namespace veltrix::platform {
namespace {

constexpr int kOrderlySignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};

int gPipe[2] = {-1, -1};
std::atomic<bool> gInstalled{false};
std::atomic<LastResortWrites*> gLastResort{nullptr};
std::atomic<ExitSignals::CrashObserver> gObserver{nullptr};
std::atomic<void*> gContext{nullptr};
volatile std::sig_atomic_t gPendingOrderly = 0;
int gReceived = 0;
pid_t gMainThread = 0;
// The crash handler's own stack: a stack overflow leaves no room on the thread's stack.
alignas(16) char gAltStack[64 * 1024];

pid_t CurrentThread() {
  return static_cast<pid_t>(::syscall(SYS_gettid));
}

void RunLastResort() noexcept {
  LastResortWrites* list = gLastResort.load(std::memory_order_acquire);
  if (list == nullptr) return;
  list->Play();
  if (ExitSignals::CrashObserver observer = gObserver.load(std::memory_order_acquire)) {
    observer(gContext.load(std::memory_order_acquire));
  }
}

void OnCrash(int sig, siginfo_t* info, void* /*ucontext*/);

bool SetCrashHandler(int sig) {
  struct sigaction sa {};
  sa.sa_sigaction = OnCrash;
  sigemptyset(&sa.sa_mask);
  // Default action again once the handler has started: a fault inside it, or the raise at
  // its end, ends the process.
  sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  return ::sigaction(sig, &sa, nullptr) == 0;
}

void OnCrash(int sig, siginfo_t* info, void* /*ucontext*/) {
  const int savedErrno = errno;
  // A crash signal sent by someone (kill, not a fault of this thread) that lands on another
  // thread is passed to the main thread, which owns the ports: no two threads write them.
  if (info != nullptr && info->si_code <= 0 && gMainThread != 0 && CurrentThread() != gMainThread) {
    SetCrashHandler(sig);
    ::syscall(SYS_tgkill, ::getpid(), gMainThread, sig);
    errno = savedErrno;
    return;
  }
  RunLastResort();
  // The disposition is the default one now and `sig` is blocked until the handler returns:
  // the raised signal (or the fault, re-executed) ends the process with its usual status.
  ::raise(sig);
  errno = savedErrno;
}

void OnOrderly(int sig) {
  const int savedErrno = errno;
  if (gPendingOrderly != 0) {
    // Asked again before the orderly exit finished: end now, the crash way.
    RunLastResort();
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    ::sigaction(sig, &sa, nullptr);
    ::raise(sig);
  } else {
    gPendingOrderly = sig;
    const auto byte = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
  }
  errno = savedErrno;
}

void AtExit() {
  RunLastResort();
}

bool Fail(std::string* error, const char* what) {
  if (error != nullptr) *error = std::string(what) + ": " + std::strerror(errno);
  return false;
}

}  // namespace

bool ExitSignals::Install(std::string* error) {
  if (gInstalled.load()) return true;
  if (::pipe2(gPipe, O_NONBLOCK | O_CLOEXEC) != 0) return Fail(error, "pipe");
  gMainThread = CurrentThread();

  stack_t stack{};
  stack.ss_sp = gAltStack;
  stack.ss_size = sizeof gAltStack;
  if (::sigaltstack(&stack, nullptr) != 0) return Fail(error, "sigaltstack");

  for (int sig : kCrashSignals) {
    if (!SetCrashHandler(sig)) return Fail(error, "sigaction");
  }
  for (int sig : kOrderlySignals) {
    struct sigaction old {};
    ::sigaction(sig, nullptr, &old);
    // A signal the caller chose to ignore (nohup, a background job) stays ignored.
    if (old.sa_handler == SIG_IGN) continue;
    struct sigaction sa {};
    sa.sa_handler = OnOrderly;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    if (::sigaction(sig, &sa, nullptr) != 0) return Fail(error, "sigaction");
  }
  std::atexit(AtExit);
  gInstalled.store(true);
  return true;
}

bool ExitSignals::Installed() {
  return gInstalled.load();
}

void ExitSignals::Attach(LastResortWrites* lastResort, CrashObserver observer, void* context) {
  // Observer first when attaching and list first when detaching: a signal in between sees
  // either nothing or a complete pair.
  if (lastResort == nullptr) gLastResort.store(nullptr, std::memory_order_release);
  gContext.store(context, std::memory_order_release);
  gObserver.store(observer, std::memory_order_release);
  if (lastResort != nullptr) gLastResort.store(lastResort, std::memory_order_release);
}

int ExitSignals::ReadFd() {
  return gInstalled.load() ? gPipe[0] : -1;
}

int ExitSignals::TakeSignal() {
  if (!gInstalled.load()) return 0;
  unsigned char buffer[16];
  for (;;) {
    const ssize_t n = ::read(gPipe[0], buffer, sizeof buffer);
    if (n <= 0) break;
    if (gReceived == 0) gReceived = buffer[0];
  }
  return gReceived;
}

int ExitSignals::Received() {
  return gReceived;
}

void ExitSignals::Reset() {
  TakeSignal();
  gReceived = 0;
  gPendingOrderly = 0;
}

void ExitSignals::DieBy(int signal) {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  ::sigaction(signal, &sa, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

}  // namespace veltrix::platform
