// Form lifecycle: load from the design-time state, show, hide, unload (cancellable).
#include "platform/forms/form.h"

#include <algorithm>
#include <utility>

#include "platform/forms/scheduler.h"

namespace veltrix::forms {

Form::Form(Application& app, std::string name)
    : Control(*this, std::move(name), ControlType::Form), app_(&app) {
  Visible.SetDefault(false);  // a form is loaded hidden until shown
  app_->RegisterForm(this);
}

Form::~Form() {
  app_->UnregisterForm(this);
}

Scheduler& Form::Sched() const {
  return app_->Sched();
}

void Form::ResetControls() {
  ResetToDesign();
  for (Control* c : controls_) c->ResetToDesign();
}

void Form::ArmTimers() {
  // Copy: a timer's arming never changes the control list, but stay safe against handlers.
  const std::vector<Control*> controls = controls_;
  for (Control* c : controls) {
    if (c->Type() == ControlType::Timer) Sched().TimerChanged(*static_cast<Timer*>(c));
  }
}

void Form::Load() {
  if (loaded_ || loading_ || designing_) return;
  loading_ = true;
  ResetControls();
  designing_ = true;
  InitializeComponent();
  designing_ = false;
  AfterDesign();
  for (Control* c : controls_) c->AfterDesign();
  loaded_ = true;
  app_->NotifyFormLoaded(*this);
  ArmTimers();
  Form_Load();
  loading_ = false;
}

void Form::Show() {
  Load();
  if (!loaded_) return;  // Form_Load unloaded it again
  if (Visible) return;
  Visible = true;
  Form_Activate();
}

void Form::Hide() {
  Visible = false;
}

bool Form::Unload() {
  if (!loaded_) return true;
  if (unloading_) return false;  // already on its way out (Unload from Form_Unload)
  unloading_ = true;
  const int mode = nextUnloadMode_;
  nextUnloadMode_ = vbFormCode;
  int cancel = 0;
  Form_QueryUnload(cancel, mode);
  if (cancel == 0 && loaded_) Form_Unload(cancel);
  if (cancel != 0 || !loaded_) {
    unloading_ = false;
    return !loaded_;
  }
  Visible = false;
  loaded_ = false;
  ArmTimers();  // disarms them: the form is no longer loaded
  app_->NotifyFormUnloaded(*this);
  ResetControls();
  unloading_ = false;
  return true;
}

void Form::AfterChange(Prop prop) {
  // Making an unloaded form visible loads it first, the way showing it would.
  if (prop == Prop::Visible && Visible && !loaded_) {
    Visible.SetSilently(false);
    Show();
    return;
  }
  if ((prop == Prop::Width || prop == Prop::Height || prop == Prop::WindowState) && loaded_) Form_Resize();
}

Control* Form::FindControl(const std::string& name, int index) const {
  for (Control* c : controls_) {
    if (c->Name() == name && c->Index() == index) return c;
  }
  return nullptr;
}

void Form::AddControl(Control* control) {
  if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) controls_.push_back(control);
}

void Form::RemoveControl(Control* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  for (Control* c : controls_) {
    if (c->Container() == control) c->SetContainer(nullptr);
  }
}

void Form::PopupMenu(Menu& menu) {
  if (!loaded_) return;
  app_->NotifyPopupMenu(*this, menu);
}

}  // namespace veltrix::forms
