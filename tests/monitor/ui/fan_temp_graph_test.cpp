// frmGraph3, fan speed against temperature: where a reading lands, the red path that is drawn
// only when the point moves, the stopped fan, far-off readings, the read-outs and animations,
// and the button that only shows a hidden window again.
#include <gtest/gtest.h>

#include <string>

#include "monitor/channels/number_format.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/graphs/graph_windows.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using testsupport::SimProgram;
using testsupport::SimProgramOptions;

SimProgramOptions WithPictures() {
  SimProgramOptions o;
  o.programDir = VELTRIX_BINARY_DIR "/bin";  // the fan animations the build installs
  return o;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class FanTempGraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(p.Start());
    main().btnGraphSet_Click(3);
    ASSERT_TRUE(graph().Visible);
  }
  frmdoctor& main() { return p.Prog().frmdoctor(); }
  frmGraph3& graph() { return FanTempGraph(p.Prog()); }
  // CPU panel readings as the main window shows them.
  void Show(const char* cpuTemp, const char* cpuFan) {
    main().lblStatusT[1].Caption = cpuTemp;
    main().lblFanSpeed[0].Caption = cpuFan;
  }

  SimProgram p{"ZQ51/ZQ51S", WithPictures()};
};

TEST_F(FanTempGraphTest, APointMovesTheMarkerAndOnlyAMoveDrawsTheRedPath) {
  frmGraph3& g = graph();
  const forms::PictureBox& plot = g.imgGraph[0];
  const int w = plot.Width;
  const int h = plot.Height;
  EXPECT_EQ(g.PlotHeight, h);
  EXPECT_EQ(g.Width, frmGraph3::kWindowWidth);
  EXPECT_EQ(g.Height, frmGraph3::kWindowHeight);

  // 44 °C is half-way along 26..62, 4000 RPM half-way up 0..8000.
  Show("44.0", "4000");
  g.Timer1_Timer();
  const int x = RoundHalfEven(0.5 * 0.9 * w + RoundHalfEven(0.1 * w));
  const int y = h - RoundHalfEven(0.5 * h);
  const forms::LineControl& marker = g.LineEndPoint[0];
  EXPECT_TRUE(marker.Visible);
  EXPECT_EQ(marker.X1, x);
  EXPECT_EQ(marker.X2, x);
  EXPECT_EQ(marker.Y1, y);
  EXPECT_EQ(marker.Y2, y);
  EXPECT_TRUE(plot.Lines().empty()) << "the first point has nothing to join";
  EXPECT_EQ(g.lblCPUTemp.Caption, "44.0");
  EXPECT_EQ(g.lblCPUFan.Caption, "4000");

  g.Timer1_Timer();
  EXPECT_TRUE(plot.Lines().empty()) << "identical readings draw nothing";

  Show("62.0", "8000");
  g.Timer1_Timer();
  ASSERT_EQ(plot.Lines().size(), 1u);
  const forms::DrawnLine& line = plot.Lines()[0];
  EXPECT_EQ(line.x1, x);
  EXPECT_EQ(line.y1, y);
  EXPECT_EQ(line.x2, w);
  EXPECT_EQ(line.y2, 0);
  EXPECT_EQ(line.color, frmGraph3::kPathColor);
  EXPECT_EQ(line.width, 3);
  EXPECT_EQ(line.style, 0);
  EXPECT_TRUE(line.persistent);
  EXPECT_FALSE(plot.AutoRedraw) << "persistent drawing is switched off again";
  const_cast<forms::PictureBox&>(plot).Repaint();
  EXPECT_EQ(plot.Lines().size(), 1u) << "the path survives a repaint";

  // The top edge is y = 0, which reads as "no previous point": the next move draws nothing.
  Show("50.0", "4000");
  g.Timer1_Timer();
  EXPECT_EQ(plot.Lines().size(), 1u);
}

TEST_F(FanTempGraphTest, AReadingThatJittersBetweenTwoPointsKeepsOneLine) {
  frmGraph3& g = graph();
  for (int tick = 0; tick < 10; ++tick) {
    Show("44.0", tick % 2 == 0 ? "4000" : "4020");
    g.Timer1_Timer();
  }
  EXPECT_EQ(g.imgGraph[0].Lines().size(), 1u) << "the same red line is not stored again and again";
  Show("45.0", "4020");
  g.Timer1_Timer();
  EXPECT_EQ(g.imgGraph[0].Lines().size(), 2u) << "a new stretch of the path is drawn";
}

TEST_F(FanTempGraphTest, AStoppedFanSitsJustAboveTheBottomAndItsAnimationStops) {
  frmGraph3& g = graph();
  const int h = g.imgGraph[0].Height;
  main().CpuFanPercent = 100;
  Show("40.0", "3000");
  g.Timer1_Timer();
  EXPECT_TRUE(EndsWith(g.AniGif1.Picture, "fan1.gif")) << g.AniGif1.Picture.Get();

  Show("41.0", "fan stop");
  g.Timer1_Timer();
  EXPECT_EQ(g.LineEndPoint[0].Y1, h - frmGraph3::kBottomLift);
  ASSERT_EQ(g.imgGraph[0].Lines().size(), 1u);
  EXPECT_EQ(g.imgGraph[0].Lines()[0].y2, h - frmGraph3::kBottomLift) << "lifted so it stays visible";
  EXPECT_EQ(g.PrevY[0], h) << "the point itself is on the bottom edge";
  EXPECT_EQ(main().CpuFanPercent, 0);
  EXPECT_TRUE(EndsWith(g.AniGif1.Picture, "fan0.gif")) << g.AniGif1.Picture.Get();
  EXPECT_EQ(g.lblCPUFan.Caption, "fan stop");

  // A fan that stays stopped while the temperature moves draws along the bottom, lifted.
  Show("45.0", "fan stop");
  g.Timer1_Timer();
  ASSERT_EQ(g.imgGraph[0].Lines().size(), 2u);
  EXPECT_EQ(g.imgGraph[0].Lines()[1].y1, h);
  EXPECT_EQ(g.imgGraph[0].Lines()[1].y2, h - frmGraph3::kBottomLift);
}

TEST_F(FanTempGraphTest, ReadingsFarOffTheAxesStayInsideASaneBand) {
  frmGraph3& g = graph();
  const int w = g.imgGraph[0].Width;
  const int h = g.imgGraph[0].Height;
  Show("40.0", "3000");
  g.Timer1_Timer();
  Show("1e9", "9999999");
  g.Timer1_Timer();
  EXPECT_EQ(g.LineEndPoint[0].X1, 2 * w);
  EXPECT_EQ(g.LineEndPoint[0].Y1, -h);
  Show("-1e9", "3000");
  g.Timer1_Timer();
  EXPECT_EQ(g.LineEndPoint[0].X1, -w);
  ASSERT_EQ(g.imgGraph[0].Lines().size(), 2u);
  EXPECT_EQ(g.imgGraph[0].Lines()[1].x1, 2 * w);
  EXPECT_EQ(g.imgGraph[0].Lines()[1].y1, -h);
}

TEST_F(FanTempGraphTest, TheSystemPanelReadsTheSystemRows) {
  frmGraph3& g = graph();
  main().lblStatusT[0].Caption = "50.0";
  main().lblFanSpeed[1].Caption = "2000";
  g.Timer1_Timer();
  const int w = g.imgGraph[1].Width;
  const int h = g.imgGraph[1].Height;
  EXPECT_EQ(g.LineEndPoint[1].X1, RoundHalfEven((50.0 - 26.0) / 36.0 * 0.9 * w + RoundHalfEven(0.1 * w)));
  EXPECT_EQ(g.LineEndPoint[1].Y1, h - RoundHalfEven(0.25 * h));
  EXPECT_EQ(g.lblSystemTemp.Caption, "50.0");
  EXPECT_EQ(g.lblSystemFAN.Caption, "2000");
  EXPECT_EQ(g.lblStartTime[1].Caption, g.StartTimeText);
}

TEST_F(FanTempGraphTest, TheButtonShowsAHiddenWindowAgainButRestartsAVisibleOne) {
  frmGraph3& g = graph();
  Show("40.0", "3000");
  g.Timer1_Timer();
  Show("44.0", "3600");
  g.Timer1_Timer();
  ASSERT_EQ(g.imgGraph[0].Lines().size(), 1u);

  g.Hide();
  main().btnGraphSet_Click(3);
  EXPECT_TRUE(g.Visible);
  EXPECT_EQ(g.imgGraph[0].Lines().size(), 1u) << "only shown again: the path is kept";

  main().btnGraphSet_Click(3);
  EXPECT_TRUE(g.Visible);
  EXPECT_TRUE(g.imgGraph[0].Lines().empty()) << "reopened: the path is lost";
  EXPECT_EQ(g.PrevX[0], 0);

  g.cmdExit.UserClick();
  EXPECT_FALSE(g.IsLoaded());
}

}  // namespace
}  // namespace veltrix::monitor
