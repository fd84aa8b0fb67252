// Design-time set-up of frmGraph3: two panels side by side with their axes, the read-outs and
// fan animations below them.
#include "monitor/program.h"
#include "monitor/ui/graphs/frm_graph3.h"

namespace veltrix::monitor {

namespace {

// Panel geometry inside its frame, twips.
constexpr int kFrameTop = 360;
constexpr int kFrameWidth = 5760;
constexpr int kFrameHeight = 5160;
constexpr int kPlotLeft = 870;
constexpr int kPlotTop = 360;
constexpr int kPlotWidth = 4650;   // 10 % steps of 465
constexpr int kPlotHeight = 4050;  // 800 RPM steps of 405
constexpr int kReadoutTop = 5940;

constexpr std::uint32_t kPlotBack = forms::Rgb(14, 17, 20);
constexpr std::uint32_t kMarkerColor = forms::Rgb(255, 214, 90);

void Text(forms::Label& label, const char* caption, int alignment, int size) {
  label.Caption = caption;
  label.Alignment = alignment;
  label.FontSize = size;
}

}  // namespace

void frmGraph3::InitializeComponent() {
  Caption = "Graph of Monitoring Item Presentation";
  BorderStyle = 1;
  Move(0, 0, kWindowWidth, kWindowHeight);

  lblFanSpeedTitle.Move(180, 90, 1500, 255);
  Text(lblFanSpeedTitle, "Speed", 0, 8);
  for (int k = 0; k < kPanels; ++k) DesignPanel(k, 120 + k * (kFrameWidth + 165));
  fraGraphData[0].Caption = "CPU Fan Speed vs Temp";
  fraGraphData[1].Caption = "System Fan Speed vs Temp";
  lblTempTitle.Move(120, kFrameTop + kFrameHeight + 30, kWindowWidth - 240, 255);
  Text(lblTempTitle, "Temp", 2, 8);

  DesignReadouts();
  cmdExit.Move((kWindowWidth - 1215) / 2, 7140, 1215, 405);
  cmdExit.Caption = "Exit";
  Timer1.Interval = 1000;
  Timer1.Enabled = true;
}

void frmGraph3::DesignPanel(int panel, int left) {
  forms::Frame& frame = fraGraphData[panel];
  frame.Move(left, kFrameTop, kFrameWidth, kFrameHeight);
  frame.FontSize = 8;
  auto place = [&frame](forms::Control& c, int l, int t, int w, int h) {
    c.SetContainer(&frame);
    c.Move(l, t, w, h);
  };

  forms::PictureBox& plot = imgGraph[panel];
  place(plot, kPlotLeft, kPlotTop, kPlotWidth, kPlotHeight);
  plot.Picture = Prog().Sys().ProgramFolder() + "\\skin\\fan_graph_grid.png";
  plot.BackColor = kPlotBack;

  forms::LineControl& marker = LineEndPoint[panel];
  marker.SetContainer(&plot);
  marker.BorderColor = kMarkerColor;
  marker.BorderWidth = 7;
  marker.Visible = false;

  // Speed axis on the left, bottom to top.
  for (int i = 0; i <= 10; ++i) {
    forms::Label& label = lblFanSpeed[11 * panel + i];
    place(label, 30, kPlotTop + kPlotHeight - i * kPlotHeight / 10 - 120, 780, 240);
    Text(label, std::to_string(800 * i).c_str(), 1, 7);
  }
  // Temperature axis below, 26 at 10 % of the width to 62 at its right edge.
  for (int i = 0; i < 10; ++i) {
    forms::Label& label = lblTemp[10 * panel + i];
    const int centre = kPlotLeft + (i + 1) * kPlotWidth / 10;
    place(label, centre - 270, kPlotTop + kPlotHeight + 30, 540, 240);
    Text(label, std::to_string(26 + 4 * i).c_str(), 2, 7);
  }

  const int timeTop = kPlotTop + kPlotHeight + 330;
  place(lblStartTime[panel], kPlotLeft, timeTop, 1200, 240);
  Text(lblStartTime[panel], "", 0, 8);
  place(lblCurrentTime[panel], kPlotLeft + kPlotWidth - 1200, timeTop, 1200, 240);
  Text(lblCurrentTime[panel], "", 1, 8);
}

void frmGraph3::DesignReadouts() {
  struct Group {
    forms::AnimatedGif& fan;
    forms::Label& tempCaption;
    forms::Label& temp;
    forms::Label& tempUnit;
    forms::Label& speedCaption;
    forms::Label& speed;
    forms::Label& speedUnit;
    const char* tempText;
  };
  const Group groups[] = {
      {AniGif1, Label1, lblCPUTemp, Label5, Label3, lblCPUFan, Label6, "Current CPU Temp"},
      {AniGif2, Label2, lblSystemTemp, Label9, Label7, lblSystemFAN, Label10, "Current System Temp"},
  };
  for (int g = 0; g < kPanels; ++g) {
    const Group& group = groups[g];
    const int left = 300 + g * (kFrameWidth + 165);
    group.fan.Move(left, kReadoutTop, 660, 660);
    for (int row = 0; row < 2; ++row) {
      const int top = kReadoutTop + 30 + row * 420;
      forms::Label& caption = row == 0 ? group.tempCaption : group.speedCaption;
      forms::Label& value = row == 0 ? group.temp : group.speed;
      forms::Label& unit = row == 0 ? group.tempUnit : group.speedUnit;
      caption.Move(left + 840, top, 2460, 255);
      Text(caption, row == 0 ? group.tempText : "Current Fan Speed", 0, 9);
      value.Move(left + 3360, top - 30, 960, 300);
      Text(value, "", 2, 9);
      value.BorderStyle = 1;
      unit.Move(left + 4380, top, 600, 255);
      Text(unit, row == 0 ? "C" : "RPM", 0, 9);
    }
  }
}

}  // namespace veltrix::monitor
