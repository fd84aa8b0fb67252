// The desktop front end as a person meets it, on the real widgets (offscreen): the tray tip,
// a desktop without a tray, alarm windows, pictures and animations, Clear Log, the notices
// and the windows a closed form leaves behind.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "frontends/qt/animation_widget.h"
#include "frontends/qt/desktop.h"
#include "frontends/qt/program_files.h"
#include "monitor/alarms/alarm_dialog.h"
#include "monitor/program.h"
#include "monitor/settings/general_settings.h"
#include "monitor/startup/tray_window.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"
#include "tests/support/sim_program.h"

namespace veltrix::qt {
namespace {

using testsupport::SimProgram;

void Click(QWidget* w) {
  static quint64 time = 1000;  // each press its own time, as the desktop stamps them
  const QPoint at = w->rect().center();
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  press.setTimestamp(time += 10);
  release.setTimestamp(time += 10);
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}

bool AnyBoxSays(const SimProgram& sim, const std::string& words) {
  for (const auto& box : sim.Boxes()) {
    if (box.text.find(words) != std::string::npos) return true;
  }
  return false;
}

// The whole desktop front end on the simulator: renderer, tray shell, notices.
struct DesktopOnSim {
  static testsupport::SimProgramOptions Options(const std::string& programDir) {
    testsupport::SimProgramOptions options;
    options.programDir = programDir;
    return options;
  }
  explicit DesktopOnSim(std::string_view model, bool tray = true,
                        const std::string& programDir = VELTRIX_BINARY_DIR "/bin")
      : sim(model, Options(programDir)), desktop(sim.App(), sim.System(), sim.ProgramDir(), false) {
    desktop.Shell()->AssumeTray(tray);
    sim.Prog().Svc().shell = desktop.Shell();
    started = !sim.Start().has_value();
    if (started) desktop.AfterStartup(sim.Prog());
  }
  monitor::frmdoctor& main() { return sim.Prog().frmdoctor(); }
  FormRenderer& renderer() { return *desktop.Renderer(); }
  QWidget* WindowOf(int item) { return renderer().WindowOf(std::string(monitor::AlarmFormName(item))); }
  void Tray(std::int32_t mouse) {
    sim.Run([&] { desktop.Shell()->TrayMouse(mouse); });
  }

  SimProgram sim;
  Desktop desktop;
  bool started = false;
};

TEST(DesktopTray, TipIsThereFromTheStartAndFollowsEveryTick) {
  DesktopOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  QSystemTrayIcon* icon = run.desktop.Shell()->TrayIcon();
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->icon().isNull());
  // Start-up fills the tip at once: name, temperature line, fan line.
  const QStringList first = icon->toolTip().split('\n');
  ASSERT_EQ(first.size(), 3) << icon->toolTip().toStdString();
  EXPECT_EQ(first[0], "Hushwind");

  // The CPU fan stops; nobody hovers. The tip says so after the next ticks.
  run.sim.AdvanceMs(2000);
  run.sim.Machine().SetFanFault(0, sim::FanFault::kFailed);
  run.sim.AdvanceMs(3000);
  const QString fanLine = QString::fromStdString(run.main().lblFanItem[0].Caption.Get() + ":" +
                                                 run.main().lblFanSpeed[0].Caption.Get());
  EXPECT_EQ(icon->toolTip().split('\n').value(2), fanLine);
  EXPECT_NE(fanLine, first[2]);
}

TEST(DesktopTray, WithoutATrayTheWindowGoesToTheTaskBarAndTheUserIsToldOnce) {
  DesktopOnSim run("ZQ51/ZQ51S", /*tray=*/false);
  ASSERT_TRUE(run.started);
  auto& main = run.main();
  QWidget* window = run.renderer().WindowOf(main);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible()) << "with nothing in a tray to open it, the window is shown";

  Click(run.renderer().WidgetOf(main.picMin));
  EXPECT_TRUE(main.Visible);
  EXPECT_EQ(main.WindowState, 1);
  EXPECT_TRUE(window->isMinimized());
  EXPECT_TRUE(AnyBoxSays(run.sim, "no notification area"));
  const std::size_t boxes = run.sim.Boxes().size();

  // Restored from the task bar, minimised again: no second explanation.
  window->showNormal();
  EXPECT_EQ(main.WindowState, 0) << "the desktop's restore reaches the form";
  Click(run.renderer().WidgetOf(main.picMin));
  EXPECT_TRUE(window->isMinimized());
  EXPECT_EQ(run.sim.Boxes().size(), boxes);

  // "Starting as small icon" once monitoring runs: minimised too, never hidden.
  window->showNormal();
  platform::HKey key = 0;
  run.sim.Registry().RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, monitor::kSettingKey, &key);
  monitor::WriteSettingDword(run.sim.Registry(), key, "MinFlag", 1);
  run.sim.Registry().RegCloseKey(key);
  run.sim.AdvanceMs(1000);
  EXPECT_TRUE(main.Visible);
  EXPECT_TRUE(window->isMinimized());
}

TEST(DesktopTray, WithATrayTheMinimisePictureHidesAndTheTrayBringsTheWindowBack) {
  DesktopOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  auto& main = run.main();
  run.Tray(platform::WM_LBUTTONDBLCLK);
  QWidget* window = run.renderer().WindowOf(main);
  ASSERT_TRUE(window != nullptr && window->isVisible());
  Click(run.renderer().WidgetOf(main.picMin));
  EXPECT_FALSE(main.Visible);
  EXPECT_FALSE(window->isVisible());
  // Minimised by the window manager, then shown from the tray: it comes back whole.
  run.Tray(platform::WM_LBUTTONDBLCLK);
  window->showMinimized();
  EXPECT_EQ(main.WindowState, 1);
  run.Tray(platform::WM_LBUTTONDBLCLK);
  EXPECT_FALSE(window->isMinimized());
}

TEST(DesktopAlarms, DialogsStayAboveTheMainWindowEachOffsetFromTheLast) {
  DesktopOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  auto& main = run.main();
  const auto show = [&](int item) {
    run.sim.Run([&] { main.ShowWarning(static_cast<std::int16_t>(item)); });
  };
  show(3);
  show(4);
  QWidget* first = run.WindowOf(3);
  QWidget* second = run.WindowOf(4);
  ASSERT_TRUE(first != nullptr && second != nullptr);
  EXPECT_EQ(second->pos() - first->pos(), QPoint(28, 28)) << "the second alarm does not hide the first";
  QWidget* mainWindow = run.renderer().WindowOf(main);
  for (QWidget* dialog : {first, second}) {
    EXPECT_EQ(dialog->windowType(), Qt::Dialog);
    ASSERT_NE(dialog->windowHandle(), nullptr);
    EXPECT_EQ(dialog->windowHandle()->transientParent(), mainWindow->windowHandle())
        << "the window manager keeps it above the main window";
  }
  // The main window shown from the tray: the alarms stay open and above it.
  run.Tray(platform::WM_LBUTTONDBLCLK);
  EXPECT_TRUE(mainWindow->isVisible());
  EXPECT_TRUE(first->isVisible() && second->isVisible());

  // A closed alarm frees its place for the next one.
  const QPoint firstPlace = first->pos();
  run.sim.Run([&] { main.CloseWarning(3); });
  show(12);
  ASSERT_NE(run.WindowOf(12), nullptr);
  EXPECT_EQ(run.WindowOf(12)->pos(), firstPlace);
}

TEST(DesktopAlarms, AClosedDialogLeavesNoWindowBehind) {
  DesktopOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  auto& main = run.main();
  // Closed by a tick (no handler of the window running): gone at once.
  run.sim.Run([&] { main.ShowWarning(4); });
  QPointer<QWidget> byTick = run.WindowOf(4);
  ASSERT_TRUE(byTick);
  run.sim.Run([&] { main.CloseWarning(4); });
  EXPECT_TRUE(byTick.isNull());

  // Closed by its own Ignore button: gone as soon as the click has returned.
  run.sim.Run([&] { main.ShowWarning(4); });
  QPointer<QWidget> byButton = run.WindowOf(4);
  ASSERT_TRUE(byButton);
  auto* dialog = static_cast<monitor::AlarmDialog*>(run.sim.App().FindForm("frmVp12"));
  Click(run.renderer().WidgetOf(dialog->Command[monitor::kIgnoreButton]));
  EXPECT_FALSE(dialog->IsLoaded());
  ASSERT_FALSE(byButton.isNull()) << "not while its own button's handler may still run";
  EXPECT_FALSE(byButton->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(byButton.isNull());
}

TEST(DesktopPictures, MissingPicturesAreNamedOnceAndBuiltInOnesStandIn) {
  QTemporaryDir empty;
  const std::string folder = empty.path().toStdString();
  DesktopOnSim run("ZQ51/ZQ51S", true, folder);
  ASSERT_TRUE(run.started);
  int told = 0;
  for (const auto& box : run.sim.Boxes()) {
    if (box.text.find("Pictures are missing") == std::string::npos) continue;
    ++told;
    EXPECT_NE(box.text.find("skin/min.png"), std::string::npos);
    EXPECT_NE(box.text.find(folder), std::string::npos);
  }
  EXPECT_EQ(told, 1);
  EXPECT_EQ(MissingProgramPictures(folder), ShippedPictures());

  // The tray icon and the window's buttons still have their pictures.
  EXPECT_FALSE(run.desktop.Shell()->TrayIcon()->icon().isNull());
  for (const char* name : {"\\skin\\min.png", "\\skin\\exit.png", "\\skin\\splash.png", "\\veltrix.png"}) {
    EXPECT_FALSE(LoadProgramPicture(folder, folder + name).isNull()) << name;
  }
  EXPECT_TRUE(LoadProgramPicture(folder, folder + "\\GIF\\fan1.gif").isNull()) << "no copy of its own";
  run.Tray(platform::WM_LBUTTONDBLCLK);
  QWidget* exit = run.renderer().WidgetOf(run.main().picExit);
  ASSERT_TRUE(exit != nullptr && exit->isVisible());
  const QImage face = exit->grab().toImage();
  EXPECT_NE(face.pixel(face.width() / 2, face.height() / 2), face.pixel(0, 0)) << "the exit picture is drawn";
  // The shipped folder lacks nothing.
  EXPECT_TRUE(MissingProgramPictures(VELTRIX_BINARY_DIR "/bin").isEmpty());
}

TEST(DesktopPictures, TheFanAnimationRunsOnlyWhileSeenAndEachFileIsDecodedOnce) {
  DesktopOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  auto& main = run.main();
  auto* fan = dynamic_cast<AnimationWidget*>(run.renderer().WidgetOf(main.AniGif1));
  ASSERT_NE(fan, nullptr);
  EXPECT_FALSE(fan->Running()) << "hidden in the tray";

  run.Tray(platform::WM_LBUTTONDBLCLK);
  EXPECT_FALSE(fan->Running()) << "shown, but on the voltage page";
  main.SSTabMain.UserSelectTab(monitor::layout::kPageTempFan);
  EXPECT_TRUE(fan->Running());
  main.WindowState = 1;
  EXPECT_FALSE(fan->Running()) << "minimised";
  main.WindowState = 0;
  EXPECT_TRUE(fan->Running());
  main.Hide();
  EXPECT_FALSE(fan->Running());
  main.Show();
  EXPECT_TRUE(fan->Running());

  // Frames advance while it runs.
  const int frame = fan->Frame();
  QElapsedTimer clock;
  clock.start();
  while (fan->Frame() == frame && clock.elapsed() < 1000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_NE(fan->Frame(), frame);

  // Another speed and back, alarm windows built again and again: no file is read twice.
  const int decoded = PictureFilesDecoded();
  const std::string shown = main.AniGif1.Picture;
  for (int round = 0; round < 3; ++round) {
    main.AniGif1.Picture = run.sim.ProgramDir() + "\\GIF\\fan3.gif";
    main.AniGif1.Picture = shown;
    run.sim.Run([&] { main.ShowWarning(4); });
    run.sim.Run([&] { main.CloseWarning(4); });
  }
  EXPECT_LE(PictureFilesDecoded(), decoded + 1) << "only fan3.gif is new";
}

TEST(DesktopSettings, ClearLogIsOnTheSettingPageAndClearsTheLog) {
  QTemporaryDir dir;
  DesktopOnSim run("ZQ51/ZQ51S", true, dir.path().toStdString());
  ASSERT_TRUE(run.started);
  auto& main = run.main();
  const std::string log = dir.path().toStdString() + "/Vtx.log";
  std::ofstream(log) << "\"old records\"\r\n";
  run.Tray(platform::WM_LBUTTONDBLCLK);
  QWidget* button = run.renderer().WidgetOf(main.cmdDeleteLog);
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(button->isVisible());
  main.SSTabMain.UserSelectTab(monitor::layout::kPageSetting);
  ASSERT_TRUE(button->isVisible());
  EXPECT_EQ(static_cast<QAbstractButton*>(button)->text(), "Clear Log");
  Click(button);
  std::ifstream file(log, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  EXPECT_EQ(bytes.str(), "\"\"\r\n");
  ASSERT_FALSE(run.sim.Boxes().empty());
  EXPECT_EQ(run.sim.Boxes().back().text, "Log Deleted !");
}

TEST(DesktopNotices, TheEndOfTheSimulatedSessionIsToldBeforeTheWindowGoes) {
  DesktopOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  run.desktop.TellWhenSessionEnds();
  run.main().Check2.Value = 1;  // "Shutdown.": the first alarm shuts the system down
  const std::optional<int> ended = run.sim.Run([&] { run.main().ShowWarning(4); });
  ASSERT_TRUE(ended.has_value());
  ASSERT_FALSE(run.sim.Boxes().empty());
  EXPECT_NE(run.sim.Boxes().back().text.find("simulated session ends"), std::string::npos);
}

TEST(DesktopNotices, NoticesWaitForTheEventLoopAndScreenshotFoldersAreChecked) {
  DesktopOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  const std::size_t before = run.sim.Boxes().size();
  run.desktop.PostNotice("The settings file was damaged.", platform::vbExclamation, "Warning");
  EXPECT_EQ(run.sim.Boxes().size(), before) << "not in the middle of the call that found it";
  QApplication::processEvents();
  ASSERT_EQ(run.sim.Boxes().size(), before + 1);
  EXPECT_EQ(run.sim.Boxes().back().title, "Warning");

  QTemporaryDir dir;
  EXPECT_EQ(ScreenshotFolderProblem((dir.path() + "/new/deeper").toStdString()), "");
  EXPECT_NE(ScreenshotFolderProblem("/proc/veltrix-screenshots"), "");
}

}  // namespace
}  // namespace veltrix::qt
