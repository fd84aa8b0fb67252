// Fan speed against temperature: load, the once-a-second point per fan, the read-outs and the
// fan animations.
#include "monitor/ui/graphs/frm_graph3.h"

#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/graphs/graph_values.h"

namespace veltrix::monitor {

frmGraph3::frmGraph3(Program& program) : GraphWindow(program, "frmGraph3") {
  cmdExit.OnClick = [this] { cmdExit_Click(); };
  Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void frmGraph3::Form_Load() {
  Loading = true;
  XOffset = 0;
  PlotHeight = static_cast<std::int16_t>(imgGraph[0].Height);
  PrevX = {};
  PrevY = {};
  for (auto& segments : drawn_) segments.clear();

  Height = kWindowHeight;
  Width = kWindowWidth;
  RememberSize();

  StartTimeText = CurrentTimeText();
  for (int k = 0; k < kPanels; ++k) {
    lblStartTime[k].Caption = StartTimeText;
    lblCurrentTime[k].Caption = StartTimeText;
  }
  RefreshReadouts();
  MultiLanguage();
  Loading = false;
  RefreshFanAnimations();
}

void frmGraph3::Timer1_Timer() {
  for (int k = 0; k < kPanels; ++k) PlotPanel(k);
  RefreshReadouts();

  const std::string now = CurrentTimeText();
  for (int k = 0; k < kPanels; ++k) lblCurrentTime[k].Caption = now;

  // A stopped fan shows a word instead of a number: its animation stops.
  frmdoctor& main = Main();
  if (!graphs::IsNumericText(main.lblFanSpeed[0].Caption.Get())) main.CpuFanPercent = 0;
  if (!graphs::IsNumericText(main.lblFanSpeed[1].Caption.Get())) main.SystemFanPercent = 0;
  RefreshFanAnimations();
}

void frmGraph3::PlotPanel(int panel) {
  frmdoctor& main = Main();
  forms::PictureBox& picture = imgGraph[panel];
  const double w = picture.Width;
  const double h = picture.Height;
  const double temperature = CaptionValue(main.lblStatusT[panel == 0 ? 1 : 0].Caption.Get());
  const std::string speed = main.lblFanSpeed[panel].Caption;

  const double t0 = CaptionValue(lblTemp[10 * panel].Caption.Get());
  const double t9 = CaptionValue(lblTemp[10 * panel + 9].Caption.Get());
  // Readings far outside the axes still land outside the plot, but at most one plot width
  // or height beyond it.
  const int xLow = -static_cast<int>(w);
  const int xHigh = 2 * static_cast<int>(w);
  const int yLow = -static_cast<int>(h);
  const int yHigh = 2 * static_cast<int>(h);
  int x = RoundHalfEven(0.1 * w);
  x = graphs::PlotCoordinate((temperature - t0) / (t9 - t0) * 0.9 * w + x, xLow, xHigh) + XOffset;

  // A speed that is not a number (a stopped fan) sits on the bottom edge.
  int y = PlotHeight;
  if (graphs::IsNumericText(speed)) {
    const double f10 = CaptionValue(lblFanSpeed[11 * panel + 10].Caption.Get());
    const int rise =
        graphs::PlotCoordinate(CaptionValue(speed) / f10 * h, PlotHeight - yHigh, PlotHeight - yLow);
    y = PlotHeight - rise;
  }
  const int shownY = y == PlotHeight ? y - kBottomLift : y;

  const auto k = static_cast<std::size_t>(panel);
  const bool moved = x != PrevX[k] || y != PrevY[k];
  const Segment forth{PrevX[k], PrevY[k], x, shownY};
  const Segment back{x, shownY, PrevX[k], PrevY[k]};
  const bool known = drawn_[k].contains(std::min(forth, back));
  if (moved && PrevX[k] != 0 && PrevY[k] != 0 && !known) {
    drawn_[k].insert(std::min(forth, back));
    // Drawn persistently: the path stays in the picture across repaints.
    picture.AutoRedraw = true;
    picture.FillStyle = 0;
    picture.DrawStyle = 0;
    picture.FillColor = kPathColor;
    picture.DrawWidth = 3;
    picture.DrawLine(PrevX[k], PrevY[k], x, shownY, kPathColor);
    picture.AutoRedraw = false;
  }
  PrevX[k] = x;
  PrevY[k] = y;

  forms::LineControl& marker = LineEndPoint[panel];
  marker.X1 = x;
  marker.X2 = x;
  marker.Y1 = shownY;
  marker.Y2 = shownY;
  if (!marker.Visible) marker.Visible = true;
}

void frmGraph3::RefreshReadouts() {
  frmdoctor& main = Main();
  lblCPUTemp.Caption = main.lblStatusT[1].Caption;
  lblSystemTemp.Caption = main.lblStatusT[0].Caption;
  lblCPUFan.Caption = main.lblFanSpeed[0].Caption;
  lblSystemFAN.Caption = main.lblFanSpeed[1].Caption;
}

void frmGraph3::RefreshFanAnimations() {
  frmdoctor& main = Main();
  SetFanAnimation(Prog(), AniGif1, main.CpuFanPercent);
  SetFanAnimation(Prog(), AniGif2, main.SystemFanPercent);
}

void frmGraph3::cmdExit_Click() {
  Unload();
}

void frmGraph3::MultiLanguage() {
  SetText(cmdExit.Caption, 4);
  SetText(Caption, 400);
  SetText(fraGraphData[0].Caption, 406);
  SetText(fraGraphData[1].Caption, 407);
  SetText(lblTempTitle.Caption, 402);
  SetText(lblFanSpeedTitle.Caption, 403);
  SetText(Label1.Caption, 413);
  SetText(Label5.Caption, 414);
  SetText(Label3.Caption, 415);
  SetText(Label6.Caption, 14);
  SetText(Label2.Caption, 417);
  SetText(Label9.Caption, 414);
  SetText(Label7.Caption, 415);
  SetText(Label10.Caption, 14);
}

}  // namespace veltrix::monitor
