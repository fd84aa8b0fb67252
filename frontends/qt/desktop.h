#pragma once
// The desktop front end put together for one run: the Qt application, the scheduler on its
// event loop, the renderer of every form, the shell (tray icon, window messages, power
// notifications) and the message boxes. The app creates it before the program, attaches the
// program's services, runs the loop and takes the screenshots at the orderly exit.
#include <QString>
#include <memory>
#include <string>

#include "frontends/qt/form_renderer.h"
#include "frontends/qt/qt_scheduler.h"
#include "frontends/qt/qt_shell.h"

class QApplication;

namespace veltrix::platform {
class SimSystem;
}
namespace veltrix::monitor {
class Program;
}

namespace veltrix::qt {

// A display to show windows on: $DISPLAY or $WAYLAND_DISPLAY set, or QT_QPA_PLATFORM chosen.
bool DisplayAvailable();

// The Qt application of the run (before any scheduler, window or timer; destroyed last).
std::unique_ptr<QApplication> MakeApplication();

class Desktop {
 public:
  // Renderer and shell for the program's forms; message boxes become dialogs unless the
  // system already answers them from a script (--answer). Destroy it before `app`.
  Desktop(forms::Application& app, platform::SimSystem& system, const std::string& programFolder,
          bool dialogsForBoxes);
  ~Desktop();
  QtShell* Shell() { return shell_.get(); }
  FormRenderer* Renderer() { return renderer_.get(); }

  // After start-up: where the desktop has no notification area the main window is shown,
  // or nothing would lead to it.
  void AfterStartup(monitor::Program& program);
  // Runs the event loop until the program ends or Quit is called.
  void Run();
  void Quit();
  // PNGs of the visible windows (at the orderly exit).
  QStringList SaveScreenshots(const QString& dir) const;

 private:
  std::unique_ptr<FormRenderer> renderer_;
  std::unique_ptr<QtShell> shell_;
};

}  // namespace veltrix::qt
