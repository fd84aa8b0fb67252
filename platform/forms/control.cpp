// The common part of every control: identity, container chain, input gating, events and
// the route of a property change to observers and to the control's own consequences.
#include "platform/forms/control.h"

#include <utility>

#include "platform/forms/form.h"

namespace veltrix::forms {

const char* ControlTypeName(ControlType type) {
  switch (type) {
    case ControlType::Form:
      return "Form";
    case ControlType::Label:
      return "Label";
    case ControlType::CheckBox:
      return "CheckBox";
    case ControlType::OptionButton:
      return "OptionButton";
    case ControlType::CommandButton:
      return "CommandButton";
    case ControlType::Frame:
      return "Frame";
    case ControlType::TextBox:
      return "TextBox";
    case ControlType::Slider:
      return "Slider";
    case ControlType::UpDown:
      return "UpDown";
    case ControlType::ProgressBar:
      return "ProgressBar";
    case ControlType::PictureBox:
      return "PictureBox";
    case ControlType::Image:
      return "Image";
    case ControlType::Line:
      return "Line";
    case ControlType::AnimatedGif:
      return "AnimatedGif";
    case ControlType::TabStrip:
      return "TabStrip";
    case ControlType::Menu:
      return "Menu";
    case ControlType::Timer:
      return "Timer";
  }
  return "Control";
}

Control::Control(Form& owner, std::string name, ControlType type, int index)
    : owner_(&owner), name_(std::move(name)), type_(type), index_(index) {
  // A form is its own owner and is not listed among its controls.
  if (type_ != ControlType::Form) owner_->AddControl(this);
}

Control::~Control() {
  if (type_ != ControlType::Form) owner_->RemoveControl(this);
}

std::string Control::FullName() const {
  if (index_ < 0) return name_;
  return name_ + "(" + std::to_string(index_) + ")";
}

void Control::Move(int left, int top, int width, int height) {
  Left = left;
  Top = top;
  Width = width;
  Height = height;
}

void Control::SetContainer(Control* container, int tabPage) {
  if (container == this) container = nullptr;
  if (container == container_ && tabPage == tabPage_) return;
  container_ = container;
  tabPage_ = tabPage;
  PropertyChanged(Prop::Container);
}

bool Control::EffectivelyVisible() const {
  const Control* c = this;
  while (c != nullptr) {
    if (!c->Visible) return false;
    const Control* parent = c->container_;
    if (parent != nullptr && parent->Type() == ControlType::TabStrip && c->tabPage_ >= 0 &&
        static_cast<const TabStrip*>(parent)->Tab.Get() != c->tabPage_) {
      return false;
    }
    c = parent;
  }
  return true;
}

bool Control::AcceptsInput() const {
  const Form& form = Owner();
  if (!form.IsLoaded() || !form.Enabled) return false;
  for (const Control* c = this; c != nullptr; c = c->container_) {
    if (!c->Enabled) return false;
  }
  if (type_ == ControlType::Menu) return Visible;
  if (type_ == ControlType::Form) return Visible;
  return form.Visible && EffectivelyVisible();
}

void Control::UserClick() {
  if (AcceptsInput()) RaiseClick();
}

void Control::UserDblClick() {
  if (!AcceptsInput() || !OnDblClick) return;
  auto handler = OnDblClick;
  handler();
}

void Control::UserFocusLost() {
  if (!AcceptsInput() || !OnLostFocus) return;
  auto handler = OnLostFocus;
  handler();
}

void Control::UserMouse(int kind, int button, int shift, float x, float y) {
  if (!AcceptsInput()) return;
  // A copy: the handler may rewire the control while it runs.
  std::function<void(int, int, float, float)> handler;
  if (kind == 0) handler = OnMouseDown;
  if (kind == 1) handler = OnMouseMove;
  if (kind == 2) handler = OnMouseUp;
  if (handler) handler(button, shift, x, y);
}

void Control::RaiseClick() {
  if (!OnClick) return;
  auto handler = OnClick;
  handler();
}

void Control::RaiseChange() {
  if (!OnChange) return;
  auto handler = OnChange;
  handler();
}

void Control::Notify(Prop prop) {
  Form& form = Owner();
  if (form.Designing() || !form.IsLoaded()) return;
  form.App().NotifyPropertyChanged(*this, prop);
}

void Control::PropertyChanged(Prop prop) {
  if (Owner().Designing()) return;
  Notify(prop);
  AfterChange(prop);
}

void Control::ResetToDesign() {
  for (PropertyBase* p : properties_) p->Reset();
}

void Control::AfterChange(Prop /*prop*/) {}

}  // namespace veltrix::forms
