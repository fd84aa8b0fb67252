// Page 2 "Temp/Fan/Chassis": three fan rows with the animated CPU fan, three temperature rows
// with their thermometers, and the chassis-intrusion row.
#include <string>

#include "monitor/program.h"
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
// The thermometer picture is 200 pixels wide; its gauge above has the same width.
constexpr int kThermometerLeft = 2520;
constexpr int kThermometerWidth = 3000;
// The skin's window colour, behind the thermometer and its thumb.
constexpr std::uint32_t kSkinBack = forms::Rgb(0x1b, 0x1f, 0x24);
}  // namespace

void frmdoctor::LayoutTempFanPage() {
  // Fans. Rows sit in the frame; positions inside a frame are relative to it.
  OnPage(fraFanSpeed, SSTabMain, kPageTempFan, 120, kFanFrameTop, 7890, 1680);
  fraFanSpeed.Caption = "Fan";
  // Column headings: the low limit over its spinner and value, the unit over the units.
  lblFanLimit.SetContainer(&fraFanSpeed);
  Place(lblFanLimit, 1260, 240, 1320, 255);
  layout::Caption(lblFanLimit, "Low Limit", 2);
  lblFanLimit.FontBold = true;
  lblUnit.SetContainer(&fraFanSpeed);
  Place(lblUnit, 6540, 240, 600, 255);
  layout::Caption(lblUnit, "Unit", 2);
  lblUnit.FontBold = true;
  const char* fanNames[] = {"CPU FAN1", "System FAN2", "System FAN3"};
  for (int j = 0; j < kFanCount; ++j) {
    const int top = 540 + j * kFanRowHeight;
    for (forms::Control* c :
         std::initializer_list<forms::Control*>{&lblFanItem[j], &updFanLoLimit[j], &lblFanLoLimit[j],
                                                &prbFanSpeed[j], &lblFanSpeed[j], &lblFanUnit[j]}) {
      c->SetContainer(&fraFanSpeed);
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
  AniGif1.SetContainer(&fraFanSpeed);
  Place(AniGif1, 7140, 300, 660, 660);

  // Temperatures.
  OnPage(fraTemperature, SSTabMain, kPageTempFan, 120, kTempFrameTop, 7890, 2100);
  fraTemperature.Caption = "Temperature";
  const char* tempNames[] = {"CPU", "System", "Other"};
  const std::string folder = program_.Sys().ProgramFolder();
  for (int k = 0; k < kTempCount; ++k) {
    const int top = 270 + k * kTempRowHeight;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &lblTempItem[k], &updTempLoLimit[k], &lblTempLoLimit[k], &lblTempLoBound[k], &sldTemp[k],
             &lblTempHiBound[k], &lblTempHiLimit[k], &updTempHiLimit[k], &lblStatusT[k], &lblT[k],
             &picTemp[k]}) {
      c->SetContainer(&fraTemperature);
    }
    // Two lines high, so a long name ("CPU Kernal Temp") wraps instead of being cut; the
    // low-limit spinner under it stays hidden.
    Place(lblTempItem[k], 120, top, 1230, 400);
    layout::Caption(lblTempItem[k], tempNames[k]);
    lblTempItem[k].FontBold = true;
    lblTempItem[k].FontSize = 8;  // "System Temp" and its translations fit on one line
    Place(updTempLoLimit[k], 1140, top, 255, 375);
    Place(lblTempLoLimit[k], 1380, top + 60, 600, 255);
    layout::Caption(lblTempLoLimit[k], "0.00", 1);
    // The gauge's ends, smaller and grey as on the voltage page.
    Place(lblTempLoBound[k], 2040, top + 75, 420, 240);
    layout::Caption(lblTempLoBound[k], "0", 1);
    Place(sldTemp[k], kThermometerLeft, top, kThermometerWidth, 400);
    sldTemp[k].Min = 0;
    sldTemp[k].Max = 100;
    Place(lblTempHiBound[k], kThermometerLeft + kThermometerWidth + 60, top + 75, 420, 240);
    layout::Caption(lblTempHiBound[k], "100");
    for (forms::Label* bound : {&lblTempLoBound[k], &lblTempHiBound[k]}) {
      bound->FontSize = 8;
      bound->ForeColor = forms::Rgb(0x9a, 0xa5, 0xb1);
    }
    Place(lblTempHiLimit[k], 5980, top + 60, 570, 255);
    layout::Caption(lblTempHiLimit[k], "0.00", 1);
    Place(updTempHiLimit[k], 6630, top, 255, 375);
    updTempHiLimit[k].Max = 255;
    Place(lblStatusT[k], 6960, top + 30, 600, 315);
    layout::Caption(lblStatusT[k], "0.0", 2);
    lblStatusT[k].BorderStyle = 1;
    lblStatusT[k].BackColor = forms::kColorGreen;
    Place(lblT[k], 7590, top + 60, 240, 255);
    layout::Caption(lblT[k],
                    "\xC2\xB0"
                    "C");
    // The thermometer under the gauge spans 0..100 °C; its thumb marks the reading.
    Place(picTemp[k], kThermometerLeft, top + 420, kThermometerWidth, 150);
    picTemp[k].BackColor = kSkinBack;
    picTemp[k].Picture = folder + "\\skin\\thermometer.png";
    picThumb[k].SetContainer(&fraTemperature);
    Place(picThumb[k], kThermometerLeft - 50, top + 400, 100, 190);
    picThumb[k].BackColor = kSkinBack;
    picThumb[k].Picture = folder + "\\skin\\thumb.png";
  }
  LineTemp.SetContainer(&fraTemperature);
  LineTemp.BorderColor = forms::Rgb(255, 0, 0);
  LineTemp.Visible = false;

  // Chassis intrusion.
  OnPage(Frame2, SSTabMain, kPageTempFan, 120, kCaseFrameTop, 7890, 600);
  Frame2.Caption = "Chassis";
  // The option button is the row's lamp (on: opened); the frame names the row and the text
  // beside the lamp says the state.
  optCaseOpened.SetContainer(&Frame2);
  Place(optCaseOpened, 120, 240, 300, 285);
  optCaseOpened.Caption = "";
  lblCaseOpen.SetContainer(&Frame2);
  Place(lblCaseOpen, 480, 255, 7200, 255);
  layout::Caption(lblCaseOpen, "");
}

}  // namespace veltrix::monitor
