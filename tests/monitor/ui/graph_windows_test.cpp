// The time graphs (voltage, temperature, fan speed over time) on a running program: where a
// value lands on each scale, the hand-out of panels to the main window's rows, the sweep, the
// read-outs, reopening, the fixed size and the exit.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "monitor/channels/number_format.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/exit_program.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/graphs/graph_windows.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using testsupport::SimProgram;
using testsupport::SimProgramOptions;

SimProgramOptions Locale(std::uint32_t lcid) {
  SimProgramOptions o;
  o.lcid = lcid;
  return o;
}

// The y a value must land on: `fraction` of the grid's height above its bottom edge.
int ExpectedY(const TimeGraph& g, int panel, double fraction) {
  return g.GraphBaseY - RoundHalfEven(fraction * g.imgGraph[panel].Height);
}

TEST(TimeGraphs, ValuesLandOnTheirScaleAtTheEndsAndInTheMiddle) {
  SimProgram p("ZQ60");
  ASSERT_FALSE(p.Start());
  frmdoctor& main = p.Prog().frmdoctor();

  // Voltage: every panel has its own axis; +12V 12.00 is half-way up 10.00 .. 14.00.
  main.btnGraphSet_Click(0);
  frmGraph1& volts = VoltageGraph(p.Prog());
  struct VoltCase {
    int panel;
    const char* shown[3];  // bottom, middle, top
  };
  const VoltCase voltCases[] = {{0, {"1.00", "2.50", "4.00"}},       {4, {"10.00", "12.00", "14.00"}},
                                {5, {"-14.00", "-12.00", "-10.00"}}, {6, {"-6.00", "-5.00", "-4.00"}},
                                {8, {"1.50", "2.90", "4.30"}},       {3, {"4.00", "5.00", "6.00"}}};
  for (int tick = 0; tick < 3; ++tick) {
    for (const VoltCase& c : voltCases) main.lblStatusV[c.panel].Caption = c.shown[tick];
    volts.RefreshGraphData();
    for (const VoltCase& c : voltCases) {
      const forms::LineControl& segment = volts.Segments(c.panel)[tick];
      EXPECT_EQ(segment.Y2, ExpectedY(volts, c.panel, tick / 2.0)) << c.panel << " " << c.shown[tick];
      EXPECT_TRUE(segment.Visible);
    }
  }
  EXPECT_EQ(volts.Line5[1].Y2, volts.GraphBaseY - volts.imgGraph[4].Height / 2) << "+12V 12.00";

  // Temperature: 0 .. 100 °C; fan speed: 0 .. 8000 RPM, a stopped fan at 0.
  main.btnGraphSet_Click(1);
  main.btnGraphSet_Click(2);
  frmGraph& temps = TemperatureGraph(p.Prog());
  frmGraph2& fans = FanSpeedGraph(p.Prog());
  const char* tempShown[] = {"0.0", "50.0", "100.0"};
  const char* fanShown[] = {"fan stop", "4000", "8000"};
  for (int tick = 0; tick < 3; ++tick) {
    main.lblStatusT[0].Caption = tempShown[tick];
    main.lblFanSpeed[0].Caption = fanShown[tick];
    temps.RefreshGraphData();
    fans.RefreshGraphData();
    EXPECT_EQ(temps.Line1[tick].Y2, ExpectedY(temps, 0, tick / 2.0)) << tempShown[tick];
    EXPECT_EQ(fans.Line1[tick].Y2, ExpectedY(fans, 0, tick / 2.0)) << fanShown[tick];
  }
}

TEST(TimeGraphs, PanelsGoToTheVisibleRowsAndSetTheWindowWidth) {
  struct Case {
    const char* model;
    int rows;
    int width, border, exitLeft;
  };
  for (const Case& c : {Case{"ZQ60", 3, 10335, 10215, 8280}, Case{"ZQ42", 2, 6975, 6850, 4920}}) {
    SCOPED_TRACE(c.model);
    SimProgram p(c.model);
    ASSERT_FALSE(p.Start());
    frmdoctor& main = p.Prog().frmdoctor();
    main.btnGraphSet_Click(1);
    frmGraph& g = TemperatureGraph(p.Prog());
    ASSERT_TRUE(g.Visible);
    EXPECT_EQ(g.Width, c.width);
    EXPECT_EQ(g.Height, 4020);
    EXPECT_EQ(g.fraBorder.Width, c.border);
    EXPECT_EQ(g.cmdExit.Left, c.exitLeft);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(g.fraGraphData[k].Visible.Get(), k < c.rows) << k;
      if (k < c.rows) {
        EXPECT_EQ(g.fraGraphData[k].Caption, main.lblTempItem[k].Caption) << k;
      }
    }
    // The window keeps that size.
    g.Width = 2000;
    g.Height = 9000;
    EXPECT_EQ(g.Width, c.width);
    EXPECT_EQ(g.Height, 4020);
  }

  // A hidden first row: panel 0 takes the second row, panel 1 the third.
  SimProgram p("ZQ60");
  ASSERT_FALSE(p.Start());
  frmdoctor& main = p.Prog().frmdoctor();
  main.sldTemp[0].Visible = false;
  main.lblStatusT[0].Visible = false;
  main.btnGraphSet_Click(1);
  frmGraph& g = TemperatureGraph(p.Prog());
  EXPECT_EQ(g.Width, 6975);
  EXPECT_EQ(g.fraGraphData[0].Caption, main.lblTempItem[1].Caption);
  EXPECT_EQ(g.fraGraphData[1].Caption, main.lblTempItem[2].Caption);
  EXPECT_FALSE(g.fraGraphData[2].Visible);
  main.lblStatusT[0].Caption = "100.0";
  main.lblStatusT[1].Caption = "50.0";
  main.lblStatusT[2].Caption = "25.0";
  g.RefreshGraphData();
  EXPECT_EQ(g.Line1[0].Y2, ExpectedY(g, 0, 0.5));
  EXPECT_EQ(g.Line2[0].Y2, ExpectedY(g, 1, 0.25));
  EXPECT_EQ(g.GetMonitorItem(0), 1);
  EXPECT_EQ(g.GetMonitorItem(2), -1);

  // Only the middle row: one panel, the narrow window.
  main.sldTemp[2].Visible = false;
  main.btnGraphSet_Click(1);
  EXPECT_EQ(g.Width, 3600);
  EXPECT_EQ(g.fraBorder.Width, 4200);
  EXPECT_EQ(g.cmdExit.Left, 1560);
  EXPECT_EQ(g.fraGraphData[0].Caption, main.lblTempItem[1].Caption);
  EXPECT_FALSE(g.fraGraphData[1].Visible);

  // No row at all: the temperature window keeps the full width.
  main.sldTemp[1].Visible = false;
  main.btnGraphSet_Click(1);
  EXPECT_TRUE(g.Visible);
  EXPECT_EQ(g.Width, 10335);
}

TEST(TimeGraphs, TheSweepOverwritesItselfEveryTwentySamples) {
  SimProgram p("ZQ51/ZQ51S");
  ASSERT_FALSE(p.Start());
  frmdoctor& main = p.Prog().frmdoctor();
  main.btnGraphSet_Click(0);
  frmGraph1& g = VoltageGraph(p.Prog());
  for (int m = 0; m < 20; ++m) EXPECT_FALSE(g.Line5[m].Visible) << "a fresh window is empty";
  EXPECT_EQ(g.GraphSamples[4][0], TimeGraph::kNoData);

  p.AdvanceMs(20 * 1000);
  ASSERT_EQ(g.SampleIndex, 20);
  const int step = g.imgGraph[4].Width / 20;
  struct Ends {
    int x1, y1, x2, y2;
  };
  Ends before[20];
  for (int m = 0; m < 20; ++m) {
    const forms::LineControl& s = g.Line5[m];
    ASSERT_TRUE(s.Visible) << m;
    before[m] = {s.X1, s.Y1, s.X2, s.Y2};
    EXPECT_EQ(s.X2, g.GraphOriginX + m * step) << m;
  }
  EXPECT_EQ(g.LineEndPoint[4].X1, before[19].x2);
  EXPECT_EQ(g.LineEndPoint[4].Y2, before[19].y2);

  main.lblStatusV[4].Caption = "12.00";
  g.Timer1_Timer();  // the 21st sample starts the next pass
  EXPECT_EQ(g.SampleIndex, 1);
  const forms::LineControl& first = g.Line5[0];
  EXPECT_EQ(first.X1, g.GraphOriginX);
  EXPECT_EQ(first.X2, g.GraphOriginX) << "a point at the left edge";
  EXPECT_EQ(first.Y1, first.Y2);
  EXPECT_EQ(first.Y2, ExpectedY(g, 4, 0.5));
  for (int m = 1; m < 20; ++m) {
    const forms::LineControl& s = g.Line5[m];
    EXPECT_TRUE(s.Visible) << m;
    EXPECT_EQ(s.X1, before[m].x1) << m;
    EXPECT_EQ(s.Y2, before[m].y2) << m << ": still the previous pass";
  }
  EXPECT_EQ(g.LineEndPoint[4].X1, g.GraphOriginX);
}

TEST(TimeGraphs, MouseReadOutsFollowTheLanguageRule) {
  struct Case {
    std::uint32_t lcid;
    const char* word;
  };
  for (const Case& c :
       {Case{1033, "Current"}, Case{2052, "Current"}, Case{1028, "\xE7\x9B\xAE\xE5\x89\x8D"}}) {
    SCOPED_TRACE(c.lcid);
    SimProgram p("ZQ51/ZQ51S", Locale(c.lcid));
    ASSERT_FALSE(p.Start());
    frmdoctor& main = p.Prog().frmdoctor();
    for (int n = 0; n < 3; ++n) main.btnGraphSet_Click(n);
    frmGraph1& volts = VoltageGraph(p.Prog());
    frmGraph& temps = TemperatureGraph(p.Prog());
    frmGraph2& fans = FanSpeedGraph(p.Prog());
    const std::string word = c.word;

    main.lblStatusV[4].Caption = "11.98";
    volts.imgGraph[4].UserMouse(1, 0, 0, 300, 300);
    EXPECT_EQ(volts.imgGraph[4].ToolTipText, word + main.lblItemName[4].Caption + " : 11.98 V");

    main.lblStatusT[1].Caption = "41.5";
    temps.imgGraph[1].UserMouse(1, 0, 0, 300, 300);
    EXPECT_EQ(temps.imgGraph[1].ToolTipText, word + main.lblTempItem[1].Caption + " : 41.5 C");

    main.lblFanSpeed[0].Caption = "4821";
    fans.imgGraph[0].UserMouse(1, 0, 0, 300, 300);
    EXPECT_EQ(fans.imgGraph[0].ToolTipText, word + main.lblFanItem[0].Caption + " : 4821 RPM");
    main.lblFanSpeed[0].Caption = "fan stop";
    fans.imgGraph[0].UserMouse(1, 0, 0, 300, 300);
    EXPECT_EQ(fans.imgGraph[0].ToolTipText, word + main.lblFanItem[0].Caption + " : fan stop") << "no RPM";
  }
}

TEST(TimeGraphs, AValueFarOffItsAxisPinsOutsideTheGridInsteadOfWrapping) {
  SimProgram p("ZQ51/ZQ51S");
  ASSERT_FALSE(p.Start());
  frmdoctor& main = p.Prog().frmdoctor();
  main.btnGraphSet_Click(0);
  frmGraph1& g = VoltageGraph(p.Prog());
  const int h = g.imgGraph[4].Height;
  main.lblStatusV[4].Caption = "1e9";
  g.RefreshGraphData();
  EXPECT_EQ(g.Line5[0].Y2, g.GraphBaseY - 2 * h) << "above the grid, at the edge of the band";
  main.lblStatusV[4].Caption = "-40000";
  g.RefreshGraphData();
  EXPECT_EQ(g.Line5[1].Y1, g.GraphBaseY - 2 * h);
  EXPECT_EQ(g.Line5[1].Y2, g.GraphBaseY + h) << "below the grid";
  // A value just off the axis is still drawn where it belongs, outside the grid.
  main.lblStatusV[4].Caption = "15.00";
  g.RefreshGraphData();
  EXPECT_EQ(g.Line5[2].Y2, ExpectedY(g, 4, 1.25));
  for (int m = 0; m < 3; ++m) {
    EXPECT_LE(g.Line5[m].Y1, std::numeric_limits<std::int16_t>::max());
    EXPECT_GE(g.Line5[m].Y1, std::numeric_limits<std::int16_t>::min());
  }
}

TEST(TimeGraphs, AFanWindowWithoutFanRowsClosesItselfUnseen) {
  SimProgram p("ZQ51/ZQ51S");
  ASSERT_FALSE(p.Start());
  frmdoctor& main = p.Prog().frmdoctor();
  // What a board without fan rows shows.
  for (int j = 0; j < kFanCount; ++j) {
    main.prbFanSpeed[j].Visible = false;
    main.lblFanSpeed[j].Visible = false;
  }
  const std::size_t boxes = p.Boxes().size();
  main.Show();
  main.SSTabMain.Tab = 0;
  main.btnGraphSet[2].UserClick();
  frmGraph2& g = FanSpeedGraph(p.Prog());
  EXPECT_FALSE(g.IsLoaded());
  EXPECT_FALSE(g.Visible);
  EXPECT_EQ(p.Boxes().size(), boxes) << "no message";
  EXPECT_FALSE(p.AdvanceMs(3000).has_value());
  EXPECT_FALSE(g.IsLoaded());
}

TEST(TimeGraphs, ThePageButtonRestartsAWindowEmptyWithANewStartTime) {
  SimProgram p("ZQ51/ZQ51S");
  ASSERT_FALSE(p.Start());
  frmdoctor& main = p.Prog().frmdoctor();
  main.Show();
  main.SSTabMain.Tab = 0;
  main.btnGraphSet[0].UserClick();
  frmGraph1& g = VoltageGraph(p.Prog());
  ASSERT_TRUE(g.Visible);
  EXPECT_EQ(g.lblStartTime[0].Caption, g.StartTimeText);
  EXPECT_EQ(g.lblCurrentTime[0].Caption, g.StartTimeText);
  const std::string opened = g.StartTimeText;
  p.AdvanceMs(5000);
  EXPECT_EQ(g.SampleIndex, 5);
  EXPECT_NE(g.lblCurrentTime[0].Caption, opened) << "the current time moves";
  EXPECT_EQ(g.lblStartTime[0].Caption, opened);

  main.btnGraphSet[0].UserClick();
  EXPECT_TRUE(g.Visible);
  EXPECT_EQ(g.SampleIndex, 0);
  EXPECT_NE(g.StartTimeText, opened);
  for (int k = 0; k < frmGraph1::kPanels; ++k) {
    for (int m = 0; m < 20; ++m) EXPECT_FALSE(g.Segments(k)[m].Visible);
  }

  g.cmdExit.UserClick();
  EXPECT_FALSE(g.IsLoaded());
}

TEST(TimeGraphs, CaptionsFollowTheLanguageAndFixedTextsStayEnglish) {
  for (const auto& [lcid, prefix] :
       {std::pair<std::uint32_t, const char*>{1033, "33"}, {1028, "28"}, {2052, "52"}}) {
    SCOPED_TRACE(prefix);
    SimProgram p("ZQ60", Locale(lcid));
    ASSERT_FALSE(p.Start());
    frmdoctor& main = p.Prog().frmdoctor();
    auto text = [prefix](int suffix) { return Text(prefix, suffix).value_or("<missing>"); };
    EXPECT_EQ(main.fraGraphSetting.Caption, text(389));
    for (int n = 0; n < 4; ++n) {
      EXPECT_EQ(main.lblGraphSetting[n].Caption, text(395 + n));
      EXPECT_EQ(main.btnGraphSet[n].Caption, text(399));
    }

    for (int n = 0; n < 4; ++n) main.btnGraphSet_Click(n);
    frmGraph1& volts = VoltageGraph(p.Prog());
    frmGraph& temps = TemperatureGraph(p.Prog());
    frmGraph2& fans = FanSpeedGraph(p.Prog());
    for (TimeGraph* g :
         {static_cast<TimeGraph*>(&volts), static_cast<TimeGraph*>(&temps), static_cast<TimeGraph*>(&fans)}) {
      EXPECT_EQ(g->Caption, text(400)) << g->Name();
      EXPECT_EQ(g->cmdExit.Caption, text(4)) << g->Name();
      EXPECT_EQ(g->lblTime[0].Caption, text(401)) << g->Name();
      EXPECT_EQ(g->Label1[4].Caption, g == &volts ? "4.00" : g == &temps ? "100" : "8000") << "axis values";
    }
    EXPECT_EQ(volts.lblVoltage[8].Caption, text(404));
    EXPECT_EQ(volts.lblVoltage[8].Top, 120);
    EXPECT_EQ(temps.lblTemp[2].Caption, text(402));
    EXPECT_EQ(fans.lblFanSpeed[2].Caption, text(403));

    frmGraph3& fanTemp = FanTempGraph(p.Prog());
    EXPECT_EQ(fanTemp.Caption, text(400));
    EXPECT_EQ(fanTemp.fraGraphData[0].Caption, text(406));
    EXPECT_EQ(fanTemp.fraGraphData[1].Caption, text(407));
    EXPECT_EQ(fanTemp.lblFanSpeedTitle.Caption, text(403));
    EXPECT_EQ(fanTemp.Label7.Caption, text(415));
    EXPECT_EQ(fanTemp.Label9.Caption, text(414));
    EXPECT_EQ(fanTemp.Label10.Caption, text(14));
    EXPECT_EQ(fanTemp.lblTemp[19].Caption, "62") << "axis values";
  }
}

TEST(TimeGraphs, TheExitUnloadsEveryGraphWindow) {
  SimProgram p("ZQ51/ZQ51S");
  ASSERT_FALSE(p.Start());
  frmdoctor& main = p.Prog().frmdoctor();
  for (int n = 0; n < 4; ++n) main.btnGraphSet_Click(n);
  for (int n = 0; n < 4; ++n) ASSERT_TRUE(GraphOfButton(p.Prog(), n).IsLoaded()) << n;
  ExitProgram(p.Prog());
  for (int n = 0; n < 4; ++n) EXPECT_FALSE(GraphOfButton(p.Prog(), n).IsLoaded()) << n;
}

}  // namespace
}  // namespace veltrix::monitor
