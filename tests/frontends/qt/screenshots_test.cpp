// The windows a person sees, rendered offscreen and saved as pictures in the build folder
// (build/screenshots/): every page of the main window in the three languages, and alarm
// dialogs. The checks make sure each picture shows what its name says. docs/screenshots holds
// the ones the documentation shows (copied from here).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QWidget>

#include "tests/frontends/qt/main_window_on_sim.h"

namespace veltrix::qt {
namespace {

QString ShotDir() {
  return QString(VELTRIX_BINARY_DIR) + "/screenshots";
}

// "frmdoctor-voltage.png" in English, "frmdoctor-voltage-2052.png" in the other languages.
QString ShotFile(const QString& name, std::uint32_t lcid) {
  return ShotDir() + "/" + name + (lcid == 1033 ? QString() : "-" + QString::number(lcid)) + ".png";
}

class QtScreenshots : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(QtScreenshots, EveryPageOfTheMainWindowAndAnAlarmDialog) {
  const std::uint32_t lcid = GetParam();
  MainWindowOnSim run("ZQ51/ZQ51S", lcid);
  ASSERT_TRUE(run.started);
  auto& sim = run.sim;
  auto& renderer = *run.renderer;
  auto& main = run.main();
  sim.AdvanceMs(3000);
  QDir().mkpath(ShotDir());

  const char* pages[] = {"graphic", "voltage", "tempfan",    "hushwind",
                         "system",  "about",   "monitoring", "setting"};
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
    const QString file = ShotFile(QString("frmdoctor-") + pages[tab], lcid);
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
  EXPECT_TRUE(dialogWindow->grab().save(ShotFile("frmFan1", lcid)));
}

INSTANTIATE_TEST_SUITE_P(Languages, QtScreenshots, ::testing::Values(1033u, 2052u, 1028u),
                         [](const ::testing::TestParamInfo<std::uint32_t>& param) {
                           return "Lcid" + std::to_string(param.param);
                         });

}  // namespace
}  // namespace veltrix::qt
