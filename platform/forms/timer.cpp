// Timer control: reports every change that affects its arming to the scheduler, and runs
// its handler when the scheduler says it is due.
#include <utility>

#include "platform/forms/control.h"
#include "platform/forms/form.h"
#include "platform/forms/scheduler.h"

namespace veltrix::forms {

Timer::Timer(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::Timer, index) {}

Timer::~Timer() {
  Owner().Sched().TimerDestroyed(*this);
}

bool Timer::Armable() const {
  return Owner().IsLoaded() && Enabled && Interval > 0;
}

void Timer::Fire() {
  if (running_ || !Armable() || !OnTimer) return;
  running_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{running_};
  auto handler = OnTimer;
  handler();
}

void Timer::AfterChange(Prop prop) {
  if (prop == Prop::Enabled || prop == Prop::Interval) Owner().Sched().TimerChanged(*this);
}

}  // namespace veltrix::forms
