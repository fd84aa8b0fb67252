#pragma once
// The console's scheduler: the virtual scheduler's timer rules (order, no overlap, no
// catch-up bursts) driven by the machine's monotonic clock. Time is milliseconds since the
// scheduler was made; the model's clock catches up with real time whenever the program
// asks for time, waits, or lets events run.
#include <chrono>
#include <cstdint>
#include <functional>

#include "platform/forms/scheduler.h"

namespace veltrix::console {

class RealTimeScheduler : public forms::VirtualScheduler {
 public:
  RealTimeScheduler();

  // Real milliseconds since the scheduler was made.
  std::int64_t NowMs() const override;
  // Really waits; no timer fires meanwhile.
  void Sleep(int ms) override;
  // Fires every timer that is due by now.
  void DoEvents() override;
  void TimerChanged(forms::Timer& timer) override;

  // Runs timers as they fall due, waiting in between, until a handler calls RequestStop,
  // `limitMs` milliseconds have passed (negative: no limit), or no timer is armed, no wake
  // source names a time and there is no limit (nothing could ever happen).
  void Run(std::int64_t limitMs = -1);

  // While Run waits, a readable `fd` wakes it and `onReadable` runs (the exit signals' pipe).
  // -1 = none.
  void SetWakeFd(int fd, std::function<void()> onReadable) {
    wakeFd_ = fd;
    onWake_ = std::move(onReadable);
  }

 private:
  using Clock = std::chrono::steady_clock;
  // Moves the model's clock up to real time without firing timers (they stay due).
  void Sync();
  // Waits until `ms` or until the wake descriptor is readable; true for the latter.
  bool WaitUntil(std::int64_t ms) const;

  Clock::time_point start_;
  int wakeFd_ = -1;
  std::function<void()> onWake_;
};

}  // namespace veltrix::console
