#pragma once
// The desktop view of the form model. Every loaded form becomes a top-level window and every
// control a widget, placed from its twips (15 twips = 1 pixel) inside its container (the
// form, a frame, a tab page, a picture box). The renderer hears every change through
// FormObserver and mirrors it; it never polls. A person's input goes back through the
// model's User* entry points (UserClick, UserSetValue, UserStep, UserType, UserFocusLost,
// UserSelectTab, UserMouse), and the widget then shows what the model decided.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/forms/forms.h"

class QAction;
class QMenu;
class QMenuBar;
class QTabBar;
class QWidget;

namespace veltrix::qt {

class FormWindow;

class FormRenderer : public QObject, public forms::FormObserver {
  Q_OBJECT

 public:
  // Registers with the application; forms already loaded are shown at once.
  FormRenderer(forms::Application& app, std::string programFolder);
  ~FormRenderer() override;

  // FormObserver
  void FormLoaded(forms::Form& form) override;
  void FormUnloaded(forms::Form& form) override;
  void PropertyChanged(forms::Control& control, forms::Prop prop) override;
  void PopupMenu(forms::Form& form, forms::Menu& menu) override;

  // The window of a loaded form, or nullptr.
  QWidget* WindowOf(const std::string& formName) const;
  QWidget* WindowOf(const forms::Form& form) const;
  // The widget of a control of a loaded form, or nullptr (timers and menus have none).
  QWidget* WidgetOf(const forms::Control& control) const;
  // The form a top-level window shows, or nullptr.
  forms::Form* FormOfWindow(const QWidget* window) const;

  // Pop-up menus run modally (QMenu::exec) at the mouse pointer; the chosen entry's Click runs
  // from the event loop right after the menu has closed.

  // PNG of every visible window into `dir`, named after its form ("frmdoctor.png").
  // Returns the files written; each one that could not be written goes to `failed`.
  QStringList SaveScreenshots(const QString& dir, QStringList* failed = nullptr) const;

  const std::string& ProgramFolder() const { return programFolder_; }

  // The program's main window. Fixed dialogs (BorderStyle 3: the alarm dialogs) stay above
  // it, and showing it never covers them.
  void SetMainForm(std::string name) { mainForm_ = std::move(name); }
  // Told when a form unloads and no form is loaded any more.
  std::function<void()> onAllUnloaded;

 private:
  struct ControlView {
    QPointer<QWidget> widget;
    QPointer<QTabBar> tabBar;
    QPointer<QAction> action;  // menus in a menu bar
  };
  struct FormView {
    QPointer<FormWindow> window;
    QPointer<QMenuBar> menuBar;
    std::map<const forms::Control*, ControlView> controls;
    bool placed = false;
    // A window the program did not place gets a spot of its own, offset from the others
    // still open (-1: placed by the program, or not shown yet).
    int cascadeSlot = -1;
    bool mirroringState = false;  // taking a minimise or restore done on the desktop
  };

  void Build(forms::Form& form);
  QWidget* Create(forms::Control& control, QWidget* parent);
  void Wire(forms::Control& control, ControlView& view);
  QWidget* ParentFor(FormView& fv, forms::Control& control);
  void Apply(forms::Control& control, ControlView& view, forms::Prop prop);
  void ApplyAll(forms::Control& control, ControlView& view);
  void ApplyForm(forms::Form& form, FormView& fv, forms::Prop prop);
  void ShowForm(forms::Form& form, FormView& fv);
  void Cascade(FormView& fv);
  bool IsDialog(const forms::Form& form) const;
  // Dialogs are transient for the main window and shown above it.
  void KeepAboveMain(FormView& fv);
  void RaiseDialogs();
  void RelinkDialogs();
  void TakeWindowState(forms::Form& form);
  void ApplyColors(forms::Control& control, QWidget* widget);
  void ApplyVisibility(forms::Control& control, ControlView& view);
  void ApplyPicture(forms::Control& control, ControlView& view);
  void RebuildTabs(forms::TabStrip& strip, ControlView& view);
  void RebuildMenuBar(forms::Form& form, FormView& fv);
  void FillMenu(forms::Form& form, forms::Control* parent, QMenu& menu, bool popup);
  void LayOutStripChildren(forms::TabStrip& strip);
  // After input: the widget shows the model again (the model may have refused it).
  void Resync(forms::Control& control);
  FormView* ViewOf(const forms::Form& form);
  ControlView* ViewOf(const forms::Control& control);

  forms::Application& app_;
  std::string programFolder_;
  std::map<const forms::Form*, std::unique_ptr<FormView>> forms_;
  std::string mainForm_;
};

}  // namespace veltrix::qt
