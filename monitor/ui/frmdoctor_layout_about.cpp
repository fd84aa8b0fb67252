// Page 5 "About": the product's frame with version, release date and supported systems, then
// the readme text under "PS:" in a read-only box that scrolls.
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kLeft = 240;
constexpr int kWidth = 8130 - 2 * kLeft;
constexpr int kTitleTop = kPageTop + 120;
constexpr int kTitleHeight = 1320;
constexpr int kLineHeight = 300;
constexpr int kPsTop = kTitleTop + kTitleHeight + 150;
constexpr int kTextTop = kPsTop + kLineHeight + 30;
constexpr int kTextBottom = 5100 - 150;
}  // namespace

void frmdoctor::LayoutAboutPage() {
  OnPage(frmTitle, SSTabMain, kPageAbout, kLeft, kTitleTop, kWidth, kTitleHeight);
  frmTitle.Caption = "Hushwind/Veltrix Product Utility";
  frmTitle.FontBold = true;
  forms::Label* lines[] = {&lblVersion, &lblRelease, &lblSupport};
  const char* texts[] = {"Version : 3.12.30", "Release Date : 2003/05/12",
                         "Support Windows 98SE/ME/NT/2000/XP"};
  for (int n = 0; n < 3; ++n) {
    lines[n]->SetContainer(&frmTitle);
    Place(*lines[n], 360, 330 + n * kLineHeight, kWidth - 720, kLineHeight - 15);
    layout::Caption(*lines[n], texts[n]);
  }

  OnPage(lblPS, SSTabMain, kPageAbout, kLeft, kPsTop, kWidth, kLineHeight);
  layout::Caption(lblPS, "PS:");
  lblPS.FontBold = true;

  OnPage(AboutText, SSTabMain, kPageAbout, kLeft, kTextTop, kWidth, kTextBottom - kTextTop);
  AboutText.MultiLine = true;
  AboutText.Locked = true;
  AboutText.Text = "";
}

}  // namespace veltrix::monitor
