// The simple controls: what each one raises when its value changes, and how it takes input.
#include <algorithm>
#include <utility>

#include "platform/forms/control.h"
#include "platform/forms/form.h"

namespace veltrix::forms {

Label::Label(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::Label, index) {}

void Label::AfterChange(Prop prop) {
  if (prop == Prop::Caption) RaiseChange();
}

CheckBox::CheckBox(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::CheckBox, index) {}

void CheckBox::UserClick() {
  if (!AcceptsInput()) return;
  Value = Value.Get() == 0 ? 1 : 0;
}

int CheckBox::CoerceInt(Prop prop, int value) {
  if (prop == Prop::Value && (value < 0 || value > 2)) return Value.Get();
  return value;
}

void CheckBox::AfterChange(Prop prop) {
  if (prop == Prop::Value) RaiseClick();
}

OptionButton::OptionButton(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::OptionButton, index) {}

void OptionButton::UserClick() {
  if (!AcceptsInput()) return;
  Value = true;
}

void OptionButton::AfterChange(Prop prop) {
  if (prop != Prop::Value || !Value) return;
  // One group per container (form, frame, picture box, or one page of a tab strip).
  // Copy the list: a cleared option's observers may not change it, but handlers might.
  const std::vector<Control*> controls = Owner().Controls();
  for (Control* c : controls) {
    if (c == this || c->Type() != ControlType::OptionButton) continue;
    if (c->Container() != Container() || c->TabPage() != TabPage()) continue;
    static_cast<OptionButton*>(c)->Value = false;  // clearing raises no Click
  }
  RaiseClick();
}

CommandButton::CommandButton(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::CommandButton, index) {}

Frame::Frame(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::Frame, index) {}

TextBox::TextBox(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::TextBox, index) {}

void TextBox::UserType(const std::string& text) {
  if (!AcceptsInput() || Locked) return;
  // MaxLength limits what a person can type; code may still assign longer texts.
  if (MaxLength > 0 && text.size() > static_cast<std::size_t>(MaxLength.Get())) {
    Text = text.substr(0, static_cast<std::size_t>(MaxLength.Get()));
  } else {
    Text = text;
  }
}

void TextBox::AfterChange(Prop prop) {
  if (prop == Prop::Text) RaiseChange();
}

Image::Image(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::Image, index) {}

LineControl::LineControl(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::Line, index) {}

AnimatedGif::AnimatedGif(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::AnimatedGif, index) {}

Menu::Menu(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::Menu, index) {}

}  // namespace veltrix::forms
