// A clock that moves only when told to, and the timer bookkeeping every scheduler shares.
#include <algorithm>

#include "platform/forms/control.h"
#include "platform/forms/scheduler.h"

namespace veltrix::forms {

void VirtualScheduler::SetNow(std::int64_t nowMs) {
  if (nowMs <= now_) return;
  now_ = nowMs;
  TimeMoved(now_);
}

VirtualScheduler::Armed* VirtualScheduler::Find(Timer& timer) {
  for (Armed& a : armed_) {
    if (a.timer == &timer) return &a;
  }
  return nullptr;
}

void VirtualScheduler::Disarm(Timer& timer) {
  armed_.erase(
      std::remove_if(armed_.begin(), armed_.end(), [&](const Armed& a) { return a.timer == &timer; }),
      armed_.end());
}

void VirtualScheduler::TimerChanged(Timer& timer) {
  Disarm(timer);
  if (timer.Armable()) armed_.push_back(Armed{&timer, now_ + timer.Interval, nextOrder_++});
}

void VirtualScheduler::TimerDestroyed(Timer& timer) {
  Disarm(timer);
}

VirtualScheduler::Armed* VirtualScheduler::NextReady(std::int64_t upTo) {
  Armed* best = nullptr;
  for (Armed& a : armed_) {
    if (a.due > upTo || a.timer->Running()) continue;
    if (best == nullptr || a.due < best->due || (a.due == best->due && a.order < best->order)) best = &a;
  }
  return best;
}

void VirtualScheduler::FireOne(Armed& entry) {
  SetNow(entry.due);
  Timer* timer = entry.timer;
  // Re-arm before the handler runs, so a handler that re-times or stops its own timer wins.
  // A timer that fell behind does not catch up: the next tick is one period from now.
  const std::int64_t interval = timer->Interval;
  entry.due = entry.due + interval > now_ ? entry.due + interval : now_ + interval;
  entry.order = nextOrder_++;
  timer->Fire();  // `entry` may be gone from here on
}

void VirtualScheduler::FireDue(std::int64_t upTo) {
  while (!stop_) {
    Armed* next = NextReady(upTo);
    if (next == nullptr) return;
    FireOne(*next);
  }
}

void VirtualScheduler::Sleep(int ms) {
  if (ms > 0) SetNow(now_ + ms);
}

void VirtualScheduler::DoEvents() {
  FireDue(now_);
}

void VirtualScheduler::AdvanceBy(std::int64_t ms) {
  const std::int64_t target = now_ + std::max<std::int64_t>(ms, 0);
  FireDue(target);
  if (!stop_) SetNow(target);
}

bool VirtualScheduler::RunNext() {
  if (stop_) return false;
  Armed* next = NextReady(INT64_MAX);
  const std::int64_t wake = NextWake();
  if (wake >= 0 && (next == nullptr || wake < next->due)) {
    // Time moves on even without a timer; the listeners let the outside world happen.
    SetNow(std::max(wake, now_ + 1));
    return true;
  }
  if (next == nullptr) return false;
  FireOne(*next);
  return true;
}

std::int64_t VirtualScheduler::NextDue() const {
  std::int64_t best = -1;
  for (const Armed& a : armed_) {
    if (a.timer->Running()) continue;
    if (best < 0 || a.due < best) best = a.due;
  }
  return best;
}

}  // namespace veltrix::forms
