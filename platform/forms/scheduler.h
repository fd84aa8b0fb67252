#pragma once
// Time for the form model: the clock every waiting and timing goes through, and the
// scheduler that fires timers. Timers never overlap (a timer whose handler is running is
// not fired again until it returns) and missed ticks are not queued up: a timer that fell
// behind fires once, then keeps its period from then on.
//
// Catch-up rule: a timer armed at t with interval p is due at t + p. When it fires, its
// next due time is (due + p); if that is not later than the clock (the timer fell behind,
// e.g. its handler slept or the user-interface thread was busy), it becomes now + p.
// Every enable, disable or interval change restarts the countdown from the current time.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace veltrix::forms {

class Timer;

class Scheduler {
 public:
  virtual ~Scheduler() = default;

  // Milliseconds since the scheduler started (monotonic).
  virtual std::int64_t NowMs() const = 0;
  // Blocks the user-interface thread: time passes, no timer fires.
  virtual void Sleep(int ms) = 0;
  // Runs every timer that is due now, then returns. A timer whose handler is running (the
  // caller is inside it) is skipped; it fires once after its handler has returned.
  virtual void DoEvents() = 0;

  // Timers report here when they are enabled, disabled, re-timed or destroyed.
  virtual void TimerChanged(Timer& timer) = 0;
  virtual void TimerDestroyed(Timer& timer) = 0;

  // Called whenever time moves forward, with the new time, also from Sleep (the simulator
  // follows the clock through this).
  void AddTimeListener(std::function<void(std::int64_t nowMs)> listener) {
    listeners_.push_back(std::move(listener));
  }
  // Something outside the timers that happens at a known time (a simulated machine's next
  // scenario event, such as a resume while every timer of a suspended program is stopped).
  // The source gives that time in this scheduler's milliseconds, or a negative value when
  // nothing is pending. Loops that run until nothing can happen move the clock there too.
  void AddWakeSource(std::function<std::int64_t()> nextWakeMs) { wakeSources_.push_back(std::move(nextWakeMs)); }

 protected:
  void TimeMoved(std::int64_t nowMs) {
    for (auto& l : listeners_) l(nowMs);
  }
  // The earliest time a wake source names, or -1.
  std::int64_t NextWake() const {
    std::int64_t best = -1;
    for (const auto& source : wakeSources_) {
      const std::int64_t at = source();
      if (at >= 0 && (best < 0 || at < best)) best = at;
    }
    return best;
  }

 private:
  std::vector<std::function<void(std::int64_t)>> listeners_;
  std::vector<std::function<std::int64_t()>> wakeSources_;
};

// Tests and --virtual-time: a clock that moves only when told to, firing due timers in
// time order (ties in the order the timers were armed).
class VirtualScheduler : public Scheduler {
 public:
  std::int64_t NowMs() const override { return now_; }
  void Sleep(int ms) override;
  void DoEvents() override;
  void TimerChanged(Timer& timer) override;
  void TimerDestroyed(Timer& timer) override;

  // Moves the clock to `nowMs + ms`, firing every timer due on the way, in order (the clock
  // stands at each timer's due time while its handler runs). Stops early when a handler
  // calls RequestStop. The clock never moves backwards.
  void AdvanceBy(std::int64_t ms);
  // Fires the next due timer (moving the clock to its time), or moves the clock to a wake
  // source's time when that comes first; false when neither is pending.
  bool RunNext();
  // Time at which the next timer is due (may be in the past when it fell behind), or -1.
  std::int64_t NextDue() const;
  // Stops RunNext/AdvanceBy loops (an orderly exit from inside a handler).
  void RequestStop() { stop_ = true; }
  bool StopRequested() const { return stop_; }
  void ClearStop() { stop_ = false; }
  // Number of timers armed now (for tests and diagnostics).
  std::size_t ArmedCount() const { return armed_.size(); }

 private:
  struct Armed {
    Timer* timer;
    std::int64_t due;
    std::uint64_t order;
  };
  void SetNow(std::int64_t nowMs);
  Armed* Find(Timer& timer);
  void Disarm(Timer& timer);
  // The earliest armed timer due at or before upTo whose handler is not running.
  Armed* NextReady(std::int64_t upTo);
  void FireOne(Armed& entry);
  void FireDue(std::int64_t upTo);

  std::int64_t now_ = 0;
  std::uint64_t nextOrder_ = 0;
  bool stop_ = false;
  std::vector<Armed> armed_;
};

}  // namespace veltrix::forms
