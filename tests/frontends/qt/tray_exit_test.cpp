// The ways out of the desktop front end, on real Qt objects: the tray icon's own menu
// (QSystemTrayIcon, QMenu::exec) and the window manager's close of the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include "frontends/qt/event_guard.h"
#include "frontends/qt/form_renderer.h"
#include "frontends/qt/program_files.h"
#include "frontends/qt/qt_shell.h"
#include "monitor/channels/fan_output.h"
#include "monitor/ui/frmdoctor.h"
#include "tests/frontends/qt/popup_clicker.h"
#include "tests/support/sim_program.h"

namespace veltrix::qt {
namespace {

// The desktop of one run: renderer, shell with its tray icon, the program started on it, and
// one fan held back (as a fan method leaves it).
struct DesktopRun {
  DesktopRun() : sim("ZT70", Options()), renderer(sim.App(), sim.ProgramDir()) {
    shell = std::make_unique<QtShell>(renderer, QIcon(ProgramFilePath(sim.ProgramDir(), "veltrix.png")));
    sim.Prog().Svc().shell = shell.get();
    renderer.onAllUnloaded = [] { QCoreApplication::exit(0); };
    started = !sim.Start().has_value();
    sim.AdvanceMs(2000);  // the first monitoring tick closes the splash
    sim.Run([&] { monitor::SetFanSpeed(sim.Prog(), 0, 30); });
  }
  static testsupport::SimProgramOptions Options() {
    testsupport::SimProgramOptions options;
    options.programDir = VELTRIX_BINARY_DIR "/bin";
    return options;
  }
  // Runs the event loop until the program ends (or 10 s pass: a hang fails the test).
  int Loop() {
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
    const int code = Exec();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return code;
  }
  std::uint8_t CpuFanOutput() { return sim.Machine().Chip().GetRegister(0, 0x01); }  // W83637HF

  testsupport::SimProgram sim;
  FormRenderer renderer;
  std::unique_ptr<QtShell> shell;
  bool started = false;
};

// Stands for the tray icon's own widget on a desktop with a notification area: the click
// arrives as an event of an object the icon owns, and the icon reports it from inside that
// event's handler (offscreen Qt has no tray widget of its own).
class TrayClickSource : public QObject {
 public:
  explicit TrayClickSource(QSystemTrayIcon* tray) : QObject(tray), tray_(tray) {}
  static inline bool deletedInItsOwnHandler = false;

 protected:
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    QPointer<QObject> self(this);
    emit tray_->activated(QSystemTrayIcon::Context);
    // The handler goes on after the menu (as Qt's own mouse delivery does): it must still exist.
    if (self.isNull()) deletedInItsOwnHandler = true;
    return true;
  }

 private:
  QSystemTrayIcon* tray_;
};

TEST(QtWaysOut, ExitFromTheTrayIconsOwnMenuRunsTheOrderlyExitAndNothingCrashes) {
  DesktopRun run;
  ASSERT_TRUE(run.started);
  QPointer<QSystemTrayIcon> tray = run.shell->TrayIcon();
  ASSERT_FALSE(tray.isNull());
  ASSERT_NE(run.CpuFanOutput(), 255);

  // A right click on the icon: the tray reports it, the window procedure pops the real menu
  // up (QMenu::exec), and the pointer picks "Exit" while the menu runs.
  QStringList entries;
  ClickNextPopupEntry("Exit", &entries);
  auto* source = new TrayClickSource(tray.data());
  QCoreApplication::postEvent(source, new QEvent(QEvent::User));
  EXPECT_EQ(run.Loop(), 0);
  EXPECT_FALSE(TrayClickSource::deletedInItsOwnHandler) << "the icon was deleted under its own click";

  EXPECT_EQ(entries, (QStringList{"Show", "Exit"}));
  EXPECT_FALSE(run.sim.Prog().frmdoctor().IsLoaded());
  EXPECT_TRUE(tray.isNull()) << "the icon is removed (and deleted once the menu was done with)";
  EXPECT_EQ(run.CpuFanOutput(), 255) << "the fan is back at full speed";
  EXPECT_EQ(run.sim.Prog().LastResort().Size(), 0u);
}

TEST(QtWaysOut, TheWindowManagersCloseOfTheMainWindowRunsTheOrderlyExit) {
  DesktopRun run;
  ASSERT_TRUE(run.started);
  QWidget* window = run.renderer.WindowOf("frmdoctor");
  ASSERT_NE(window, nullptr);
  QTimer::singleShot(0, window, [window] { window->close(); });  // Alt+F4, the title bar's close
  EXPECT_EQ(run.Loop(), 0);
  EXPECT_FALSE(run.sim.Prog().frmdoctor().IsLoaded());
  EXPECT_EQ(run.shell->TrayIcon(), nullptr);
  EXPECT_EQ(run.CpuFanOutput(), 255);
}

}  // namespace
}  // namespace veltrix::qt
