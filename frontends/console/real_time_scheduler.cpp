// Real-time driving of the form model's timers for the console front end.
#include "frontends/console/real_time_scheduler.h"

#include <poll.h>

#include <algorithm>
#include <thread>

namespace veltrix::console {

RealTimeScheduler::RealTimeScheduler() : start_(Clock::now()) {}

std::int64_t RealTimeScheduler::NowMs() const {
  const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
  return std::max<std::int64_t>(real, VirtualScheduler::NowMs());
}

void RealTimeScheduler::Sync() {
  const std::int64_t lag = NowMs() - VirtualScheduler::NowMs();
  if (lag > 0) VirtualScheduler::Sleep(static_cast<int>(std::min<std::int64_t>(lag, INT32_MAX)));
}

bool RealTimeScheduler::WaitUntil(std::int64_t ms) const {
  const Clock::time_point until = start_ + std::chrono::milliseconds(ms);
  if (wakeFd_ < 0) {
    std::this_thread::sleep_until(until);
    return false;
  }
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{wakeFd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::min<std::int64_t>(left, INT32_MAX)));
    if (ready > 0) return true;
    // Interrupted (a signal was handled) or timed out: the loop decides.
  }
}

void RealTimeScheduler::Sleep(int ms) {
  if (ms <= 0) return;
  // A wake that comes meanwhile stays pending until the handler is done and Run looks.
  std::this_thread::sleep_until(start_ + std::chrono::milliseconds(NowMs() + ms));
  Sync();
}

void RealTimeScheduler::DoEvents() {
  // The clock stands at each timer's due time while it fires, then reaches real time.
  AdvanceBy(NowMs() - VirtualScheduler::NowMs());
}

void RealTimeScheduler::TimerChanged(forms::Timer& timer) {
  Sync();  // the countdown starts from the real moment of the change
  VirtualScheduler::TimerChanged(timer);
}

void RealTimeScheduler::Run(std::int64_t limitMs) {
  const std::int64_t deadline = limitMs < 0 ? -1 : NowMs() + limitMs;
  while (!StopRequested()) {
    DoEvents();
    if (StopRequested()) return;
    const std::int64_t now = NowMs();
    if (deadline >= 0 && now >= deadline) return;
    std::int64_t next = NextDue();
    const std::int64_t outside = NextWake();
    if (outside >= 0 && (next < 0 || outside < next)) next = outside;
    if (next < 0 && deadline < 0) return;
    std::int64_t wake = next < 0 ? deadline : next;
    if (deadline >= 0) wake = std::min(wake, deadline);
    if (wake > now && WaitUntil(wake) && onWake_) onWake_();
  }
}

}  // namespace veltrix::console
