// The windows a person sees, rendered offscreen and saved as pictures in the build folder
// (build/screenshots/): every page of the main window and an alarm dialog. The checks make sure
// each picture shows what its name says.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QWidget>

#include "frontends/qt/form_renderer.h"
#include "monitor/program.h"
#include "monitor/startup/tray_window.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/system/shell.h"
#include "tests/support/sim_program.h"

namespace veltrix::qt {
namespace {

QString ShotDir() { return QString(VELTRIX_BINARY_DIR) + "/screenshots"; }

TEST(QtScreenshots, EveryPageOfTheMainWindowAndAnAlarmDialog) {
  testsupport::SimProgramOptions options;
  options.programDir = VELTRIX_BINARY_DIR "/bin";
  testsupport::SimProgram sim("ZQ51/ZQ51S", options);
  platform::NullShell shell;
  sim.Prog().Svc().shell = &shell;
  monitor::InstallTrayWindow(sim.Prog());
  ASSERT_FALSE(sim.Start());
  FormRenderer renderer(sim.App(), sim.ProgramDir());
  auto& main = sim.Prog().frmdoctor();
  main.Show();
  sim.AdvanceMs(3000);

  const char* pages[] = {"graphic", "voltage", "tempfan", "hushwind", "system", "about", "monitoring", "setting"};
  for (int tab = 0; tab < 8; ++tab) {
    main.SSTabMain.UserSelectTab(tab);
    QApplication::processEvents();
    // The page's own rows are on screen, the other pages' are not.
    QWidget* voltageRow = renderer.WidgetOf(main.lblStatusV[0]);
    QWidget* fanRow = renderer.WidgetOf(main.lblFanSpeed[0]);
    ASSERT_NE(voltageRow, nullptr);
    ASSERT_NE(fanRow, nullptr);
    EXPECT_EQ(voltageRow->isVisible(), tab == 1) << pages[tab];
    EXPECT_EQ(fanRow->isVisible(), tab == 2) << pages[tab];
    QWidget* window = renderer.WindowOf(main);
    ASSERT_NE(window, nullptr);
    const QString file = ShotDir() + "/frmdoctor-" + pages[tab] + ".png";
    QDir().mkpath(ShotDir());
    EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
  }
  main.SSTabMain.UserSelectTab(1);

  // The CPU fan stops: its alarm dialog opens as a window of its own.
  sim.Machine().SetFanFault(0, sim::FanFault::kFailed);
  sim.AdvanceMs(4000);
  forms::Form* dialog = sim.App().FindForm("frmFan1");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(dialog->IsLoaded());
  QWidget* dialogWindow = renderer.WindowOf(*dialog);
  ASSERT_NE(dialogWindow, nullptr);
  EXPECT_TRUE(dialogWindow->isVisible());
  QApplication::processEvents();
  EXPECT_TRUE(dialogWindow->grab().save(ShotDir() + "/frmFan1.png"));
}

}  // namespace
}  // namespace veltrix::qt
