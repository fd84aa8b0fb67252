#pragma once
// The form model's scheduler on the Qt event loop. Each armed model timer owns one
// single-shot QTimer, started for the timer's next due time and re-armed only after the
// handler has returned, so ticks never overlap and missed ticks never queue up: a timer
// that fell behind fires once, then keeps its period from then on.
#include <QElapsedTimer>
#include <QObject>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/forms/scheduler.h"

class QTimer;

namespace veltrix::qt {

class QtScheduler : public QObject, public forms::Scheduler {
  Q_OBJECT

 public:
  QtScheduler();
  ~QtScheduler() override;

  // Milliseconds of the monotonic clock since the scheduler was made.
  std::int64_t NowMs() const override;
  // Blocks the user-interface thread; no timer and no event runs meanwhile.
  void Sleep(int ms) override;
  // Processes the events that are pending now, once (due timers among them).
  void DoEvents() override;
  void TimerChanged(forms::Timer& timer) override;
  void TimerDestroyed(forms::Timer& timer) override;

  std::size_t ArmedCount() const { return armed_.size(); }
  // The due time of an armed timer (ms on NowMs's clock), or -1.
  std::int64_t DueOf(const forms::Timer& timer) const;

 private:
  struct Armed {
    std::unique_ptr<QTimer> qtimer;
    std::int64_t due = 0;
    bool pending = false;  // fell due while its handler was running: fire once on return
  };
  void Start(forms::Timer& timer, Armed& entry);
  void Fire(forms::Timer* timer);
  void Disarm(forms::Timer& timer);
  // One single-shot QTimer for the next wake source's time (see Scheduler::AddWakeSource),
  // so the outside world moves on also while no model timer runs.
  void ArmWake();

  QElapsedTimer clock_;
  std::map<forms::Timer*, Armed> armed_;
  std::unique_ptr<QTimer> wake_;
};

}  // namespace veltrix::qt
