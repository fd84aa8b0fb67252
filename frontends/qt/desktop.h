#pragma once
// The desktop front end put together for one run: the Qt application, the scheduler on its
// event loop, the renderer of every form, the shell (tray icon, window messages, power
// notifications) and the message boxes. The app creates it before the program, attaches the
// program's services, runs the loop and takes the screenshots at the orderly exit.
//
// It also says what a person at the desktop would otherwise never learn: pictures missing
// from the program folder, a damaged settings file, the end of the (simulated) session.
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

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

// Why screenshots cannot be saved in `dir` (created when missing), or "" when they can.
std::string ScreenshotFolderProblem(const std::string& dir);

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
  // or nothing would lead to it. The tray tip is filled now and after every monitoring tick.
  // Notices waiting so far are shown.
  void AfterStartup(monitor::Program& program);
  // Runs the event loop until the program ends or Quit is called.
  void Run();
  void Quit();
  // PNGs of the visible windows (at the orderly exit); what could not be saved goes to
  // `failed` ("file: reason").
  QStringList SaveScreenshots(const QString& dir, QStringList* failed = nullptr) const;

  // A message box for something found outside any handler (a damaged settings file, missing
  // pictures): shown after start-up from the event loop, never in the middle of the call
  // that found it.
  void PostNotice(const std::string& text, int style, const std::string& title);
  // When the system is asked to shut down, the user is told that the simulated session
  // ends there (instead of the window vanishing without a word).
  void TellWhenSessionEnds();

 private:
  void ScheduleNotices(int delayMs);
  void ShowNotices();

  platform::SimSystem& system_;
  std::unique_ptr<FormRenderer> renderer_;
  std::unique_ptr<QtShell> shell_;
  struct Notice {
    std::string text;
    int style;
    std::string title;
  };
  std::vector<Notice> notices_;
  bool showingNotices_ = false;
  bool started_ = false;  // AfterStartup has run
};

}  // namespace veltrix::qt
