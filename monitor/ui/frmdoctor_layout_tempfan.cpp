// Page 2 "Temp/Fan/Chassis": three fan rows with the animated CPU fan, three temperature rows
// with their thermometers, and the chassis-intrusion row.
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kFanFrameTop = kPageTop + 60;
constexpr int kFanRowHeight = 360;
constexpr int kTempFrameTop = kFanFrameTop + 1740;
constexpr int kTempRowHeight = 600;
constexpr int kCaseFrameTop = kTempFrameTop + 2160;
}  // namespace

void frmdoctor::LayoutTempFanPage() {
  // Fans. Rows sit in the frame; positions inside a frame are relative to it.
  OnPage(fraFan, SSTabMain, kPageTempFan, 120, kFanFrameTop, 7890, 1680);
  fraFan.Caption = "Fan";
  lblUnit.SetContainer(&fraFan);
  Place(lblUnit, 1260, 240, 1500, 255);
  layout::Caption(lblUnit, "Low limit (RPM)", 2);
  const char* fanNames[] = {"CPU FAN1", "System FAN2", "System FAN3"};
  for (int j = 0; j < kFanCount; ++j) {
    const int top = 540 + j * kFanRowHeight;
    for (forms::Control* c :
         std::initializer_list<forms::Control*>{&lblFanItem[j], &updFanLoLimit[j], &lblFanLoLimit[j],
                                                &prbFanSpeed[j], &lblFanSpeed[j], &lblFanUnit[j]}) {
      c->SetContainer(&fraFan);
    }
    Place(lblFanItem[j], 120, top + 45, 1200, 255);
    layout::Caption(lblFanItem[j], fanNames[j]);
    lblFanItem[j].FontBold = true;
    Place(updFanLoLimit[j], 1380, top, 255, 345);
    updFanLoLimit[j].Min = 0;
    updFanLoLimit[j].Max = 255;
    Place(lblFanLoLimit[j], 1680, top + 45, 780, 255);
    layout::Caption(lblFanLoLimit[j], "0", 1);
    Place(prbFanSpeed[j], 2580, top + 30, 3000, 285);
    prbFanSpeed[j].Min = 0;
    prbFanSpeed[j].Max = 255;
    Place(lblFanSpeed[j], 5700, top + 15, 900, 315);
    layout::Caption(lblFanSpeed[j], "", 2);
    lblFanSpeed[j].BorderStyle = 1;
    lblFanSpeed[j].BackColor = forms::kColorGreen;
    Place(lblFanUnit[j], 6660, top + 45, 420, 255);
    layout::Caption(lblFanUnit[j], "RPM");
  }
  AniGif1.SetContainer(&fraFan);
  Place(AniGif1, 7140, 300, 660, 660);

  // Temperatures.
  OnPage(fraTemp, SSTabMain, kPageTempFan, 120, kTempFrameTop, 7890, 2100);
  fraTemp.Caption = "Temperature";
  const char* tempNames[] = {"CPU", "System", "Other"};
  for (int k = 0; k < kTempCount; ++k) {
    const int top = 270 + k * kTempRowHeight;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &lblTempItem[k], &updTempLoLimit[k], &lblTempLoLimit[k], &lblTempLoBound[k], &sldTemp[k],
             &lblTempHiBound[k], &lblTempHiLimit[k], &updTempHiLimit[k], &lblStatusT[k], &lblT[k],
             &picTemp[k]}) {
      c->SetContainer(&fraTemp);
    }
    Place(lblTempItem[k], 120, top + 60, 1240, 255);  // the low-limit spinner beside it stays hidden
    layout::Caption(lblTempItem[k], tempNames[k]);
    lblTempItem[k].FontBold = true;
    lblTempItem[k].FontSize = 8;  // "System Temp" and its translations fit on one line
    Place(updTempLoLimit[k], 1140, top, 255, 375);
    Place(lblTempLoLimit[k], 1380, top + 60, 640, 255);
    layout::Caption(lblTempLoLimit[k], "0.00", 1);
    Place(lblTempLoBound[k], 2100, top + 60, 420, 255);
    layout::Caption(lblTempLoBound[k], "0", 1);
    Place(sldTemp[k], 2580, top, 3000, 400);
    sldTemp[k].Min = 0;
    sldTemp[k].Max = 100;
    Place(lblTempHiBound[k], 5640, top + 60, 420, 255);
    layout::Caption(lblTempHiBound[k], "100");
    Place(lblTempHiLimit[k], 6060, top + 60, 640, 255);
    layout::Caption(lblTempHiLimit[k], "0.00", 1);
    Place(updTempHiLimit[k], 6720, top, 255, 375);
    updTempHiLimit[k].Max = 255;
    Place(lblStatusT[k], 7020, top + 30, 540, 315);
    layout::Caption(lblStatusT[k], "0.0", 2);
    lblStatusT[k].BorderStyle = 1;
    lblStatusT[k].BackColor = forms::kColorGreen;
    Place(lblT[k], 7590, top + 60, 240, 255);
    layout::Caption(lblT[k],
                    "\xC2\xB0"
                    "C");
    // The thermometer under the gauge spans 0..100 °C; its thumb marks the reading.
    Place(picTemp[k], 2580, top + 420, 3000, 150);
    picTemp[k].BackColor = forms::Rgb(255, 255, 255);
    picThumb[k].SetContainer(&fraTemp);
    Place(picThumb[k], 2530, top + 400, 100, 190);
    picThumb[k].BackColor = forms::Rgb(200, 0, 0);
  }
  LineTemp.SetContainer(&fraTemp);
  LineTemp.BorderColor = forms::Rgb(255, 0, 0);
  LineTemp.Visible = false;

  // Chassis intrusion.
  OnPage(fraCase, SSTabMain, kPageTempFan, 120, kCaseFrameTop, 7890, 600);
  fraCase.Caption = "Chassis";
  optCaseOpened.SetContainer(&fraCase);
  Place(optCaseOpened, 120, 240, 2400, 285);
  optCaseOpened.Caption = "Chassis Intrusion";
  lblCaseOpen.SetContainer(&fraCase);
  Place(lblCaseOpen, 2700, 240, 3000, 285);
  layout::Caption(lblCaseOpen, "");
}

}  // namespace veltrix::monitor
