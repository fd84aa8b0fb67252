// The program's set of forms and the observers (front ends) that mirror them.
#include <algorithm>

#include "platform/forms/form.h"
#include "platform/forms/scheduler.h"

namespace veltrix::forms {

Form* Application::FindForm(const std::string& name) const {
  for (Form* f : forms_) {
    if (f->Name() == name) return f;
  }
  return nullptr;
}

void Application::RegisterForm(Form* form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void Application::UnregisterForm(Form* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

void Application::AddObserver(FormObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void Application::RemoveObserver(FormObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

// Observers may add or remove observers while being told: walk a copy, and skip any that
// were removed meanwhile.
void Application::NotifyPropertyChanged(Control& control, Prop prop) {
  const auto observers = observers_;
  for (FormObserver* o : observers) {
    if (Observing(o)) o->PropertyChanged(control, prop);
  }
}

void Application::NotifyFormLoaded(Form& form) {
  const auto observers = observers_;
  for (FormObserver* o : observers) {
    if (Observing(o)) o->FormLoaded(form);
  }
}

void Application::NotifyFormUnloaded(Form& form) {
  const auto observers = observers_;
  for (FormObserver* o : observers) {
    if (Observing(o)) o->FormUnloaded(form);
  }
}

void Application::NotifyPopupMenu(Form& form, Menu& menu) {
  const auto observers = observers_;
  for (FormObserver* o : observers) {
    if (Observing(o)) o->PopupMenu(form, menu);
  }
}

bool Application::Observing(FormObserver* observer) const {
  return std::find(observers_.begin(), observers_.end(), observer) != observers_.end();
}

void Application::DoEvents() {
  scheduler_->DoEvents();
}

}  // namespace veltrix::forms
