#include "frontends/qt/qt_scheduler.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "frontends/qt/event_guard.h"
#include "platform/forms/control.h"

namespace veltrix::qt {

QtScheduler::QtScheduler() {
  clock_.start();
}

QtScheduler::~QtScheduler() = default;

std::int64_t QtScheduler::NowMs() const {
  return clock_.elapsed();
}

void QtScheduler::Sleep(int ms) {
  if (ms <= 0) return;
  QThread::msleep(static_cast<unsigned long>(ms));
  TimeMoved(NowMs());
}

void QtScheduler::DoEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  TimeMoved(NowMs());
}

std::int64_t QtScheduler::DueOf(const forms::Timer& timer) const {
  auto it = armed_.find(const_cast<forms::Timer*>(&timer));
  return it == armed_.end() ? -1 : it->second.due;
}

void QtScheduler::ArmWake() {
  const std::int64_t at = NextWake();
  if (at < 0) {
    if (wake_) wake_->stop();
    return;
  }
  if (!wake_) {
    wake_ = std::make_unique<QTimer>();
    wake_->setSingleShot(true);
    QObject::connect(wake_.get(), &QTimer::timeout, this, [this] {
      TimeMoved(NowMs());
      ArmWake();
    });
  }
  const std::int64_t wait = std::clamp<std::int64_t>(at - NowMs(), 0, INT32_MAX);
  wake_->start(static_cast<int>(wait));
}

void QtScheduler::TimerChanged(forms::Timer& timer) {
  ArmWake();
  if (!timer.Armable()) {
    Disarm(timer);
    return;
  }
  // Any change restarts the countdown from now.
  Armed& entry = armed_[&timer];
  if (!entry.qtimer) {
    entry.qtimer = std::make_unique<QTimer>();
    entry.qtimer->setSingleShot(true);
    entry.qtimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(entry.qtimer.get(), &QTimer::timeout, this, [this, t = &timer] { Fire(t); });
  }
  entry.pending = false;
  entry.due = NowMs() + timer.Interval.Get();
  Start(timer, entry);
}

void QtScheduler::TimerDestroyed(forms::Timer& timer) {
  Disarm(timer);
}

void QtScheduler::Disarm(forms::Timer& timer) {
  auto it = armed_.find(&timer);
  if (it == armed_.end()) return;
  // The QTimer may be the one whose timeout is running: delete it later.
  it->second.qtimer.release()->deleteLater();
  armed_.erase(it);
}

void QtScheduler::Start(forms::Timer& /*timer*/, Armed& entry) {
  const std::int64_t wait = std::max<std::int64_t>(0, entry.due - NowMs());
  entry.qtimer->start(static_cast<int>(std::min<std::int64_t>(wait, INT32_MAX)));
}

void QtScheduler::Fire(forms::Timer* timer) {
  auto it = armed_.find(timer);
  if (it == armed_.end()) return;
  if (timer->Running()) {
    // Due again while its handler runs (a nested event loop inside it): once, afterwards.
    it->second.pending = true;
    return;
  }
  const std::int64_t interval = timer->Interval.Get();
  TimeMoved(NowMs());
  ArmWake();
  do {
    auto current = armed_.find(timer);
    if (current == armed_.end()) return;
    current->second.pending = false;
    const std::int64_t firedDue = current->second.due;
    if (!Guarded([timer] { timer->Fire(); })) return;
    // The handler may have disarmed or re-armed the timer (then its countdown is already set).
    current = armed_.find(timer);
    if (current == armed_.end()) return;
    if (current->second.due != firedDue) return;
    std::int64_t next = firedDue + interval;
    const std::int64_t now = NowMs();
    if (next <= now) next = now + interval;
    current->second.due = next;
    if (!current->second.pending) {
      Start(*timer, current->second);
      return;
    }
  } while (true);
}

}  // namespace veltrix::qt
