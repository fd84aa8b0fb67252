// The edit rules of frmMultiFAN, the same for both curves: output sliders never pass their
// neighbours, a threshold text that is not a usable number is replaced, a threshold that
// breaks the ascending order is corrected (with a message) when its box loses focus, and the
// arrows move a threshold by half a degree only where the order allows it.
#include "monitor/channels/number_format.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/fancontrol/multi_fan_dialog.h"
#include "monitor/program.h"

namespace veltrix::monitor {

namespace {
constexpr float kStep = 0.5F;
constexpr float kHighest = 100.0F;
constexpr float kLowestForDown = 1.0F;
constexpr int kLast = frmMultiFAN::kPoints - 1;
}  // namespace

void frmMultiFAN::Slider_Change(const Curve& c, int i) {
  forms::Slider& slider = c.slider[i];
  if (!showing_) {
    if (i < kLast && slider.Value >= c.slider[i + 1].Value) slider.Value = c.slider[i + 1].Value.Get();
    if (i > 0 && c.slider[i - 1].Value >= slider.Value) slider.Value = c.slider[i - 1].Value.Get();
  }
  slider.ToolTipText = BlankSignedNumber(static_cast<double>(slider.Value) / slider.Max * 100.0) + "%";
}

void frmMultiFAN::Text_Change(const Curve& c, int i) {
  if (showing_) return;
  const std::string text = c.text[i].Text;
  if (text.empty()) return;
  const std::optional<float> value = Threshold(c, i);
  if (!value || *value > kHighest) {
    // Half a degree past the neighbour; nothing when the neighbour holds no number either.
    if (i > 0) {
      if (const auto before = Threshold(c, i - 1)) c.text[i].Text = Format1(*before + kStep);
    } else if (const auto after = Threshold(c, 1)) {
      c.text[i].Text = Format1(*after - kStep);
    }
  } else if (*value == 0.0F) {
    c.text[i].Text = Format1(c.thresholds[static_cast<std::size_t>(i)]);
  }
  // Anything else is checked for order when the box loses focus.
}

void frmMultiFAN::Text_LostFocus(const Curve& c, int i) {
  const std::optional<float> value = Threshold(c, i);
  if (!value) return;
  // The message quotes the thresholds as typed.
  auto warn = [&](int other, const char* relation) {
    program_.Sys().MsgBox(std::string(c.who) + c.text[i].Text.Get() + ") you set in " + StepName(i) + " should be " +
                              relation + " than " + c.text[other].Text.Get() + " in " + StepName(other),
                          platform::vbOKOnly | platform::vbCritical, "Warning");
  };
  if (i < kLast) {
    const std::optional<float> after = Threshold(c, i + 1);
    if (after && !(*after > *value)) {
      warn(i + 1, "smaller");
      c.text[i].Text = Format1(*after - kStep);
      return;
    }
  }
  if (i > 0) {
    const std::optional<float> before = Threshold(c, i - 1);
    if (before && *before >= *value) {
      warn(i - 1, "bigger");
      c.text[i].Text = Format1(*before + kStep);
      return;
    }
  }
  if (i > 0 && i < kLast) c.text[i].Text = Format1(*value);
}

void frmMultiFAN::Arrow_UpClick(const Curve& c, int i) {
  const std::optional<float> value = Threshold(c, i);
  if (!value || !(*value < kHighest)) return;
  if (i < kLast) {
    const std::optional<float> after = Threshold(c, i + 1);
    if (!after || !(*after - kStep > *value)) return;
  }
  c.text[i].Text = Format1(*value + kStep);
}

void frmMultiFAN::Arrow_DownClick(const Curve& c, int i) {
  const std::optional<float> value = Threshold(c, i);
  if (!value || !(*value > kLowestForDown)) return;
  if (i > 0) {
    const std::optional<float> before = Threshold(c, i - 1);
    if (!before || !(*before + kStep < *value)) return;
  }
  c.text[i].Text = Format1(*value - kStep);
}

}  // namespace veltrix::monitor
