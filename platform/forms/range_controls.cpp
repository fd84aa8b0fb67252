// Slider, up/down and progress bar: one value kept inside a range (rule in control.h).
#include <algorithm>
#include <limits>
#include <utility>

#include "platform/forms/control.h"
#include "platform/forms/form.h"

namespace veltrix::forms {

RangeControl::RangeControl(Form& owner, std::string name, ControlType type, int index, int min, int max)
    : Control(owner, std::move(name), type, index),
      Min(this, Prop::Min, min),
      Max(this, Prop::Max, max),
      Value(this, Prop::Value, std::clamp(0, std::min(min, max), std::max(min, max))) {}

int RangeControl::Clamp(int value) const {
  const int lo = std::min(Min.Get(), Max.Get());
  const int hi = std::max(Min.Get(), Max.Get());
  return std::clamp(value, lo, hi);
}

int RangeControl::CoerceInt(Prop prop, int value) {
  if (prop != Prop::Value || Owner().Designing()) return value;
  return Clamp(value);
}

void RangeControl::UserSetValue(int value) {
  if (AcceptsInput()) Value = value;
}

void RangeControl::AfterDesign() {
  Value.SetSilently(Clamp(Value));
}

void RangeControl::AfterChange(Prop prop) {
  if (prop == Prop::Value) {
    RaiseChange();
  } else if ((prop == Prop::Min || prop == Prop::Max) && !clamping_) {
    // The range moved past the value: the value follows (and says so).
    clamping_ = true;
    Value = Clamp(Value);
    clamping_ = false;
  }
}

Slider::Slider(Form& owner, std::string name, int index)
    : RangeControl(owner, std::move(name), ControlType::Slider, index, 0, 10) {}

UpDown::UpDown(Form& owner, std::string name, int index)
    : RangeControl(owner, std::move(name), ControlType::UpDown, index, 0, 10) {}

void UpDown::UserStep(int direction) {
  if (!AcceptsInput() || direction == 0) return;
  // Up always moves towards Max, also on a reversed scale.
  const int towardsMax = Max >= Min ? 1 : -1;
  const long long next = static_cast<long long>(Value.Get()) +
                         static_cast<long long>(direction > 0 ? 1 : -1) * towardsMax * Increment.Get();
  Value = Clamp(static_cast<int>(
      std::clamp<long long>(next, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
  // A copy: the handler may rewire the control while it runs.
  const std::function<void()> handler = direction > 0 ? OnUpClick : OnDownClick;
  if (handler) handler();
}

ProgressBar::ProgressBar(Form& owner, std::string name, int index)
    : RangeControl(owner, std::move(name), ControlType::ProgressBar, index, 0, 100) {}

}  // namespace veltrix::forms
