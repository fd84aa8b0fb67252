#pragma once
// Forms: windows of the model. A form object lives for the whole program; Load runs its
// design-time set-up and Form_Load, Unload returns it to not-loaded, and the next Load
// starts again from the design-time state. Unloading from inside the form's own handler
// is safe because the object is never destroyed.
//
// Lifecycle:
//   Load:   nothing when loaded (or loading). Otherwise every control (the form too) goes
//           back to its constructed defaults, InitializeComponent runs silently, range
//           controls clamp, the form becomes loaded (observers: FormLoaded), its timers
//           arm, then Form_Load runs. Form_Load may unload the form again.
//   Show:   Load if needed; if still loaded, make it visible, then Form_Activate.
//   Hide:   Visible = false; the form stays loaded and its timers keep running.
//   Unload: nothing when not loaded. Form_QueryUnload then Form_Unload, either may cancel;
//           then the form is hidden, becomes not-loaded (observers: FormUnloaded), its
//           timers disarm and its controls return silently to their constructed defaults.
//   Setting Visible = true on an unloaded form shows it (loads it first).
//   Resize: a change of Width, Height or WindowState of a loaded form (from code or from the
//           desktop) runs Form_Resize; the design-time set-up runs none.
// An unloaded form's controls hold their constructed defaults, and observers hear nothing
// about them.
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace veltrix::forms {

class Application;
class Scheduler;

class Form : public Control {
 public:
  Form(Application& app, std::string name);
  ~Form() override;

  Application& App() const { return *app_; }
  Scheduler& Sched() const;

  StringProperty Caption{this, Prop::Caption};
  Property<int> WindowState{this, Prop::WindowState, 0};  // 0 normal, 1 minimised, 2 maximised
  Property<int> BorderStyle{this, Prop::BorderStyle, 2};  // 0 none (skinned), 2 sizable
  StringProperty Picture{this, Prop::Picture};

  bool IsLoaded() const { return loaded_; }
  // Loads the form if needed (design-time set-up, then Form_Load); stays hidden.
  void Load();
  // Loads if needed and shows the form modeless.
  void Show();
  void Hide();
  // QueryUnload and Unload may cancel. Does nothing when the form is not loaded.
  // Returns true when the form is now unloaded.
  bool Unload();

  // Every control of the form, in construction order.
  const std::vector<Control*>& Controls() const { return controls_; }
  Control* FindControl(const std::string& name, int index = -1) const;
  void AddControl(Control* control);
  void RemoveControl(Control* control);

  // Shows a pop-up menu: observers hear FormObserver::PopupMenu and may pick an entry by
  // calling its UserClick before returning (the menu is modal, as on the desktop).
  void PopupMenu(Menu& menu);

  // Unload modes of Form_QueryUnload.
  static constexpr int vbFormControlMenu = 0;
  static constexpr int vbFormCode = 1;
  static constexpr int vbAppWindows = 2;

 protected:
  // Design-time set-up: create the layout and property values of a freshly loaded form.
  // Runs silently (no events, no observer notifications).
  virtual void InitializeComponent() {}
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_QueryUnload(int& /*cancel*/, int /*unloadMode*/) {}
  virtual void Form_Unload(int& /*cancel*/) {}
  // After Width, Height or WindowState changed on a loaded form. It may set the size again
  // (that runs Form_Resize once more, nested; an unchanged value runs nothing).
  virtual void Form_Resize() {}

 public:
  bool Designing() const { return designing_; }
  // The unload mode passed to Form_QueryUnload by the next Unload (the title-bar close
  // sets vbFormControlMenu before calling Unload).
  void SetNextUnloadMode(int mode) { nextUnloadMode_ = mode; }

 protected:
  void AfterChange(Prop prop) override;

 private:
  void ResetControls();
  void ArmTimers();
  Application* app_;
  std::vector<Control*> controls_;
  bool loaded_ = false;
  bool designing_ = false;
  bool loading_ = false;
  bool unloading_ = false;
  int nextUnloadMode_ = vbFormCode;
};

// What a front end hears about the model.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void FormLoaded(Form& /*form*/) {}
  virtual void FormUnloaded(Form& /*form*/) {}
  virtual void PropertyChanged(Control& /*control*/, Prop /*prop*/) {}
  virtual void PopupMenu(Form& /*form*/, Menu& /*menu*/) {}
};

// All forms of a program, its observers and its scheduler.
class Application {
 public:
  explicit Application(Scheduler& scheduler) : scheduler_(&scheduler) {}
  Scheduler& Sched() const { return *scheduler_; }

  const std::vector<Form*>& Forms() const { return forms_; }
  Form* FindForm(const std::string& name) const;
  void RegisterForm(Form* form);
  void UnregisterForm(Form* form);

  void AddObserver(FormObserver* observer);
  void RemoveObserver(FormObserver* observer);

  // Used by forms and controls.
  void NotifyPropertyChanged(Control& control, Prop prop);
  void NotifyFormLoaded(Form& form);
  void NotifyFormUnloaded(Form& form);
  void NotifyPopupMenu(Form& form, Menu& menu);

  // Runs what is due now on the scheduler.
  void DoEvents();

 private:
  bool Observing(FormObserver* observer) const;

  Scheduler* scheduler_;
  std::vector<Form*> forms_;
  std::vector<FormObserver*> observers_;
};

}  // namespace veltrix::forms
