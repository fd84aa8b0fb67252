// Tab strip: pages, their captions, and the selected page that decides which of the
// controls placed on pages are effectively visible.
#include <algorithm>
#include <utility>

#include "platform/forms/control.h"
#include "platform/forms/form.h"

namespace veltrix::forms {

TabStrip::TabStrip(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::TabStrip, index) {}

void TabStrip::SetTabCaption(int tab, const std::string& caption) {
  if (tab < 0) return;
  const auto slot = static_cast<std::size_t>(tab);
  if (slot >= captions_.size()) captions_.resize(slot + 1);
  if (captions_[slot] == caption) return;
  captions_[slot] = caption;
  Notify(Prop::TabCaption);
}

std::string TabStrip::TabCaption(int tab) const {
  if (tab < 0 || static_cast<std::size_t>(tab) >= captions_.size()) return {};
  return captions_[static_cast<std::size_t>(tab)];
}

void TabStrip::UserSelectTab(int tab) {
  if (!AcceptsInput() || tab < 0 || tab >= Tabs) return;
  Tab = tab;
}

int TabStrip::CoerceInt(Prop prop, int value) {
  if (prop != Prop::Tab || Owner().Designing()) return value;
  return std::clamp(value, 0, std::max(0, Tabs - 1));
}

void TabStrip::AfterDesign() {
  Tab.SetSilently(std::clamp(Tab.Get(), 0, std::max(0, Tabs - 1)));
  previousTab_ = Tab;
}

void TabStrip::ResetToDesign() {
  Control::ResetToDesign();
  captions_.clear();
  previousTab_ = Tab;
}

void TabStrip::AfterChange(Prop prop) {
  if (prop == Prop::Tabs) {
    if (Tab >= Tabs) Tab = std::max(0, Tabs - 1);
    return;
  }
  if (prop != Prop::Tab) return;
  const int previous = previousTab_;
  previousTab_ = Tab;
  if (OnTabClick) {
    auto handler = OnTabClick;
    handler(previous);
  }
}

}  // namespace veltrix::forms
