// Page 3 "Hushwind": the fan speed control. A heading with the feature's fan picture, the
// switch, the frame with the four methods (the first three with their "Setting" button), the
// method in force with OK and Cancel beside it. Boards without fan control see one sentence
// instead (lblHushwindMessage). The CD-ROM speed controls of the same page sit below all
// this, from 3850 twips down.
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kLeft = 240;
constexpr int kTitleTop = kPageTop + 120;
constexpr int kSwitchTop = kPageTop + 660;
constexpr int kFrameTop = kPageTop + 1020;
constexpr int kFrameHeight = 1560;
constexpr int kMethodRowHeight = 300;
constexpr int kCurrentTop = kFrameTop + kFrameHeight + 150;  // ends before 3800
}  // namespace

void frmdoctor::LayoutHushwindPage() {
  OnPage(Label8, SSTabMain, kPageHushwind, kLeft, kTitleTop, 4200, 405);
  layout::Caption(Label8, "Hushwind");
  Label8.FontSize = 14;
  Label8.FontBold = true;
  OnPage(imgHushwindLogo, SSTabMain, kPageHushwind, 7260, kTitleTop - 60, 660, 660);
  imgHushwindLogo.Stretch = true;
  imgHushwindLogo.Picture = "\\GIF\\fan1.gif";

  OnPage(chkEnableFanControl, SSTabMain, kPageHushwind, kLeft + 120, kSwitchTop, 5400, 315);
  chkEnableFanControl.Caption = "Enable FAN Speed Control";

  OnPage(framFanControl, SSTabMain, kPageHushwind, kLeft, kFrameTop, 7650, kFrameHeight);
  framFanControl.Caption = "FAN Speed Control";
  framFanControl.Enabled = false;
  const char* methods[] = {"Multiple Level Control", "Fixed Fan Control", "Smart Fan Control",
                           "Korvana Recommend Setting"};
  for (int m = 0; m < rFANMethod.Count(); ++m) {
    const int top = 300 + m * kMethodRowHeight;
    rFANMethod[m].SetContainer(&framFanControl);
    Place(rFANMethod[m], 360, top, 4200, 285);
    rFANMethod[m].Caption = methods[m];
    rFANMethod[m].Enabled = false;
    if (m < btnMethodSet.Count()) {
      btnMethodSet[m].SetContainer(&framFanControl);
      Place(btnMethodSet[m], 4800, top - 15, 1200, 300);
      btnMethodSet[m].Caption = "Setting";
      btnMethodSet[m].Enabled = false;
    }
  }

  OnPage(lblCurrentControlMethod, SSTabMain, kPageHushwind, kLeft + 120, kCurrentTop + 45, 2760, 285);
  layout::Caption(lblCurrentControlMethod, "Current Fan Control Method : ");
  OnPage(txtCurrentControlMethod, SSTabMain, kPageHushwind, kLeft + 2880, kCurrentTop, 2700, 345);
  txtCurrentControlMethod.Locked = true;
  txtCurrentControlMethod.Text = "Disable Fan Control";
  OnPage(cmdSelect[0], SSTabMain, kPageHushwind, 6060, kCurrentTop - 15, 840, 375);
  cmdSelect[0].Caption = "OK";
  OnPage(cmdSelect[1], SSTabMain, kPageHushwind, 7020, kCurrentTop - 15, 870, 375);
  cmdSelect[1].Caption = "Cancel";

  // Shown instead of everything above on boards without fan control.
  OnPage(lblHushwindMessage, SSTabMain, kPageHushwind, kLeft, kFrameTop + 300, 7650, 720);
  layout::Caption(lblHushwindMessage, "", 2);
  lblHushwindMessage.FontSize = 11;
  lblHushwindMessage.Visible = false;
}

}  // namespace veltrix::monitor
