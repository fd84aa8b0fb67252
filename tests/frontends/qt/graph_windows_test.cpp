// The graph windows through the real widgets (offscreen): the page's buttons open them, their
// segments and marker are line widgets, the red path is painted into the picture, and the
// pointer over a grid shows the read-out as a tooltip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "frontends/qt/control_widgets.h"
#include "monitor/ui/graphs/graph_windows.h"
#include "tests/frontends/qt/main_window_on_sim.h"

namespace veltrix::qt {
namespace {

void ClickWidget(QWidget* w) {
  const QPoint at = w->rect().center();
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}

void MovePointer(QWidget* w, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &move);
}

TEST(QtGraphWindows, ThePageButtonsOpenWindowsThatDrawAndReadOut) {
  MainWindowOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  auto& sim = run.sim;
  auto& renderer = *run.renderer;
  auto& main = run.main();
  main.SSTabMain.UserSelectTab(0);
  QApplication::processEvents();

  QWidget* voltageButton = renderer.WidgetOf(main.btnGraphSet[0]);
  ASSERT_NE(voltageButton, nullptr);
  ASSERT_TRUE(voltageButton->isVisible());
  ClickWidget(voltageButton);
  monitor::frmGraph1& volts = monitor::VoltageGraph(sim.Prog());
  QWidget* window = renderer.WindowOf(volts);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->size(),
            QSize(Px(monitor::frmGraph1::kWindowWidth), Px(monitor::frmGraph1::kWindowHeight)));

  sim.AdvanceMs(3000);
  QApplication::processEvents();
  QWidget* segment = renderer.WidgetOf(volts.Line5[2]);
  ASSERT_NE(segment, nullptr);
  EXPECT_TRUE(segment->isVisible());
  EXPECT_FALSE(renderer.WidgetOf(volts.Line5[3])->isVisible()) << "not reached yet";
  QWidget* marker = renderer.WidgetOf(volts.LineEndPoint[4]);
  EXPECT_TRUE(marker->isVisible());
  EXPECT_GT(marker->width(), 1) << "a zero-length marker still shows as a dot";
  EXPECT_TRUE(
      marker->geometry().contains(QPoint(Px(volts.LineEndPoint[4].X1), Px(volts.LineEndPoint[4].Y1))));

  // The pointer over the +12V grid.
  QWidget* grid = renderer.WidgetOf(volts.imgGraph[4]);
  ASSERT_NE(grid, nullptr);
  MovePointer(grid, QPoint(20, 20));
  const std::string expected =
      "Current" + main.lblItemName[4].Caption.Get() + " : " + main.lblStatusV[4].Caption.Get() + " V";
  EXPECT_EQ(grid->toolTip().toStdString(), expected);

  // Fan speed against temperature: the CPU fan spins up while the CPU warms.
  ClickWidget(renderer.WidgetOf(main.btnGraphSet[3]));
  monitor::frmGraph3& fanTemp = monitor::FanTempGraph(sim.Prog());
  ASSERT_NE(renderer.WindowOf(fanTemp), nullptr);
  for (int step = 0; step < 4; ++step) {
    sim.Machine().HoldFanRpm(0, 2500 + 600 * step);
    sim.AdvanceMs(3000);
  }
  QApplication::processEvents();
  ASSERT_FALSE(fanTemp.imgGraph[0].Lines().empty());
  auto* plot = dynamic_cast<DrawingWidget*>(renderer.WidgetOf(fanTemp.imgGraph[0]));
  ASSERT_NE(plot, nullptr);
  const QImage shot = renderer.WindowOf(fanTemp)->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  EXPECT_EQ(plot->PaintedLines(), fanTemp.imgGraph[0].Lines().size()) << "every line is in the picture";

  // Reopened: the picture starts over.
  ClickWidget(renderer.WidgetOf(main.btnGraphSet[3]));
  QApplication::processEvents();
  plot = dynamic_cast<DrawingWidget*>(renderer.WidgetOf(fanTemp.imgGraph[0]));
  ASSERT_NE(plot, nullptr);
  plot->grab();
  EXPECT_EQ(plot->PaintedLines(), 0u);
}

TEST(QtGraphWindows, AFanWindowThatClosesItselfNeverAppears) {
  MainWindowOnSim run("ZQ51/ZQ51S");
  ASSERT_TRUE(run.started);
  auto& main = run.main();
  for (int j = 0; j < monitor::kFanCount; ++j) {
    main.prbFanSpeed[j].Visible = false;
    main.lblFanSpeed[j].Visible = false;
  }
  main.SSTabMain.UserSelectTab(0);
  QApplication::processEvents();
  ClickWidget(run.renderer->WidgetOf(main.btnGraphSet[2]));
  QApplication::processEvents();
  EXPECT_EQ(run.renderer->WindowOf("frmGraph2"), nullptr);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(top->isVisible() && top->objectName() == "frmGraph2");
  }
}

}  // namespace
}  // namespace veltrix::qt
