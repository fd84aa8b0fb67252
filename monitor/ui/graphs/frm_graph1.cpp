#include "monitor/ui/graphs/frm_graph1.h"

#include "monitor/channels/number_format.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

using Axis = std::array<const char*, 5>;

constexpr Axis kLowRail{"1.00", "1.75", "2.50", "3.25", "4.00"};
constexpr Axis kRail33{"2.30", "2.70", "3.10", "3.50", "4.00"};
constexpr Axis kRail5{"4.00", "4.50", "5.00", "5.50", "6.00"};
constexpr Axis kRail12{"10.00", "11.00", "12.00", "13.00", "14.00"};
constexpr Axis kRailMinus12{"-14.00", "-13.00", "-12.00", "-11.00", "-10.00"};
constexpr Axis kRailMinus5{"-6.00", "-5.50", "-5.00", "-4.50", "-4.00"};
constexpr Axis kBattery{"1.50", "2.20", "2.90", "3.60", "4.30"};

// Axis of panel i; the labels stay as designed whatever rail a board wires to the slot.
constexpr std::array<const Axis*, frmGraph1::kPanels> kAxes{
    &kLowRail, &kLowRail, &kRail33, &kRail5, &kRail12, &kRailMinus12, &kRailMinus5, &kRail5, &kBattery};
constexpr std::array<const char*, frmGraph1::kPanels> kNames{"Vcore", "+2.5V", "+3.3V", "+5V", "+12V",
                                                             "-12V",  "-5V",   "5Vsb",  "Vbat"};

constexpr std::uint32_t kVoltageLine = forms::Rgb(60, 180, 240);
constexpr int kPanelPitchX = 3360;
constexpr int kPanelPitchY = 2940;

}  // namespace

frmGraph1::frmGraph1(Program& program)
    : TimeGraph(program, "frmGraph1", kPanels, 10, "lblVoltage"),
      lblVoltage(QuantityTitle()),
      Line1(Segments(0)),
      Line2(Segments(1)),
      Line3(Segments(2)),
      Line4(Segments(3)),
      Line5(Segments(4)),
      Line6(Segments(5)),
      Line7(Segments(6)),
      Line8(Segments(7)),
      Line9(Segments(8)) {}

void frmGraph1::InitializeComponent() {
  Caption = "Graph of Monitoring Item Presentation";
  BorderStyle = 1;
  Move(0, 0, kWindowWidth, kWindowHeight);
  for (int i = 0; i < kPanels; ++i) {
    DesignPanel(i, 60 + (i % 3) * kPanelPitchX, 60 + (i / 3) * kPanelPitchY,
                *kAxes[static_cast<std::size_t>(i)], kVoltageLine);
    fraGraphData[i].Caption = kNames[static_cast<std::size_t>(i)];
    lblVoltage[i].Top = 180;
    lblVoltage[i].Caption = "Voltage";
  }
  DesignExitAndTimer(8865, 9060);
}

void frmGraph1::LoadWindowSize() {
  Height = kWindowHeight;
  Width = kWindowWidth;
  RememberSize();
}

void frmGraph1::AdjustGraphScale() {
  frmdoctor& main = Main();
  for (int i = 0; i < main.lblStatusV.Count(); ++i) {
    if (main.lblStatusV[i].Visible) {
      fraGraphData[i].Visible = true;
      fraGraphData[i].Caption = main.lblItemName[i].Caption;
    } else {
      fraGraphData[i].Visible = false;
    }
  }
  RememberSize();
}

double frmGraph1::ValueY(int panel, double value) {
  const double bottom = CaptionValue(Label1[kLabelsPerPanel * panel].Caption.Get());
  const double top = CaptionValue(Label1[kLabelsPerPanel * panel + 4].Caption.Get());
  const double height = imgGraph[panel].Height;
  return GraphBaseY - (value - bottom) / (top - bottom) * height;
}

void frmGraph1::ForEachSource(const std::function<void(int, float)>& sample) {
  frmdoctor& main = Main();
  // Every voltage item, shown or not.
  for (int i = 0; i < main.SldVoltage.Count(); ++i) {
    sample(i, static_cast<float>(CaptionValue(main.lblStatusV[i].Caption.Get())));
  }
}

std::optional<std::string> frmGraph1::ReadoutValue(int panel) {
  return Main().lblStatusV[panel].Caption.Get() + " V";
}

void frmGraph1::PanelTexts(int panel) {
  lblVoltage[panel].Top = 120;
  SetText(lblVoltage[panel].Caption, 404);
}

}  // namespace veltrix::monitor
