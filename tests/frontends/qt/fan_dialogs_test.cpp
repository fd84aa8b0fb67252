// The three fan-control dialogs as desktop windows (offscreen): their sliders, spin arrows,
// text boxes with the focus-loss check and animated fans take input and follow the model.
// Pictures of the page and the dialogs are saved in build/screenshots/.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <cmath>

#include "frontends/qt/animation_widget.h"
#include "frontends/qt/control_widgets.h"
#include "monitor/fancontrol/fan_windows.h"
#include "monitor/fancontrol/fixed_fan_dialog.h"
#include "monitor/fancontrol/multi_fan_dialog.h"
#include "monitor/fancontrol/smart_fan_dialog.h"
#include "tests/frontends/qt/main_window_on_sim.h"

namespace veltrix::qt {
namespace {

QString ShotDir() {
  return QString(VELTRIX_BINARY_DIR) + "/screenshots";
}

void Click(QWidget* w, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}
void ClickUp(QWidget* arrows) {
  Click(arrows, QPoint(arrows->width() / 2, 2));
}
void FocusOut(QWidget* w, Qt::FocusReason reason) {
  QFocusEvent out(QEvent::FocusOut, reason);
  QApplication::sendEvent(w, &out);
}
void Save(QWidget* window, const QString& name) {
  QDir().mkpath(ShotDir());
  QApplication::processEvents();
  EXPECT_TRUE(window->grab().save(ShotDir() + "/" + name)) << name.toStdString();
}

// The Hushwind page with control switched on and method m chosen, then its "Setting".
void OpenDialog(MainWindowOnSim& run, int m) {
  auto& main = run.main();
  run.sim.AdvanceMs(3000);  // the monitor has shown a few readings
  main.SSTabMain.UserSelectTab(3);
  if (main.chkEnableFanControl.Value == 0) main.chkEnableFanControl.UserClick();
  main.rFANMethod[m].UserClick();
  main.btnMethodSet[m].UserClick();
  QApplication::processEvents();
}

TEST(QtFanDialogs, MultipleLevelDialogTakesTypingArrowsAndSliders) {
  MainWindowOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  OpenDialog(run, monitor::kFanMethodMultiLevel);
  Save(run.renderer->WindowOf(run.main()), "frmdoctor-hushwind-enabled.png");
  auto& d = monitor::MultiFanDialog(run.sim.Prog());
  QWidget* window = run.renderer->WindowOf(d);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Multiple Set FAN");

  ClickUp(run.renderer->WidgetOf(d.udCPUTemp[2]));
  auto* edit = qobject_cast<QLineEdit*>(run.renderer->WidgetOf(d.textCPUTemp[2]));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), "35.5");

  // Typing out of order: nothing while the window only loses the activation, the correction
  // when the focus moves on.
  auto* point1 = qobject_cast<QLineEdit*>(run.renderer->WidgetOf(d.textCPUTemp[1]));
  point1->setText("");
  point1->insert("36.0");
  run.sim.Answers().ClearShown();
  FocusOut(point1, Qt::ActiveWindowFocusReason);
  EXPECT_TRUE(run.sim.Boxes().empty());
  FocusOut(point1, Qt::TabFocusReason);
  ASSERT_EQ(run.sim.Boxes().size(), 1u);
  EXPECT_EQ(point1->text(), "35.0") << "point 2 (now 35.5) minus half a degree";

  auto* slider = static_cast<GaugeWidget*>(run.renderer->WidgetOf(d.sldCPUFanSpeed[0]));
  Click(slider, QPoint(slider->width() / 2, slider->height() / 2));
  EXPECT_EQ(d.sldCPUFanSpeed[0].Value, 10);
  EXPECT_EQ(slider->toolTip(), " 50%");
  Save(window, "frmMultiFAN.png");

  // The close box keeps the edits.
  window->close();
  QApplication::processEvents();
  EXPECT_FALSE(d.IsLoaded());
  EXPECT_EQ(run.main().MultiCPUFanSpeed[0], 50);
  EXPECT_FLOAT_EQ(run.main().MultiCPUFanTemp[1], 35.0F);
}

TEST(QtFanDialogs, FixedDialogAnimatesItsFansAndSmartArrowsAct) {
  MainWindowOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  OpenDialog(run, monitor::kFanMethodFixed);
  auto& d = monitor::ManualFanDialog(run.sim.Prog());
  QWidget* window = run.renderer->WindowOf(d);
  ASSERT_NE(window, nullptr);
  auto* slider = static_cast<GaugeWidget*>(run.renderer->WidgetOf(d.sldCPUFan));
  Click(slider, QPoint(static_cast<int>(std::lround(slider->XOf(12))), slider->height() / 2));
  EXPECT_EQ(d.sldCPUFan.Value, 12);
  EXPECT_EQ(run.main().FixCPUFanSpeed, 60);
  run.sim.AdvanceMs(2000);
  QApplication::processEvents();
  auto* fan = dynamic_cast<AnimationWidget*>(run.renderer->WidgetOf(d.AniGif1));
  ASSERT_NE(fan, nullptr);
  EXPECT_TRUE(d.AniGif1.Picture.Get().ends_with("fan3.gif")) << d.AniGif1.Picture.Get();
  EXPECT_TRUE(fan->Running()) << "the dialog is on screen, so its fan turns";
  Save(window, "frmManualFAN.png");

  // Another method's "Setting" unloads this dialog; the smart dialog's arrows act at once.
  OpenDialog(run, monitor::kFanMethodSmart);
  EXPECT_EQ(run.renderer->WindowOf(d), nullptr);
  auto& smart = monitor::SmartFanDialog(run.sim.Prog());
  ClickUp(run.renderer->WidgetOf(smart.udCPURange));
  EXPECT_EQ(qobject_cast<QLabel*>(run.renderer->WidgetOf(smart.lblCPUDefault))->text(), "41.5");
  Save(run.renderer->WindowOf(smart), "frmSmartFAN.png");
}

}  // namespace
}  // namespace veltrix::qt
