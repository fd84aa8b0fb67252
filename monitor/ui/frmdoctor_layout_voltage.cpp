// Page 1 "Voltage": nine rows, each name, low-limit spinner and caption, gauge with its ends,
// high-limit caption and spinner, reading and unit. The limits sit next to their spinners
// and under their headings; the gauge's end values are smaller and dimmer, so a limit and the
// gauge end beside it never read as one number.
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kRowHeight = 470;
constexpr int kFirstRow = kPageTop + 300;

// Columns, left to right (twips inside the tab strip; 15 twips a pixel). Every number column
// is wide enough for "-13.50" with room to spare.
constexpr int kNameLeft = 120;
constexpr int kNameWidth = 840;
constexpr int kSpinWidth = 255;
constexpr int kLimitWidth = 600;
constexpr int kBoundWidth = 510;
constexpr int kGap = 60;
constexpr int kLoSpinLeft = kNameLeft + kNameWidth + kGap;
constexpr int kLoLimitLeft = kLoSpinLeft + kSpinWidth + 60;
constexpr int kLoBoundLeft = kLoLimitLeft + kLimitWidth + kGap;
constexpr int kGaugeLeft = kLoBoundLeft + kBoundWidth + kGap;
constexpr int kGaugeWidth = 2880;
constexpr int kHiBoundLeft = kGaugeLeft + kGaugeWidth + kGap;
constexpr int kHiLimitLeft = kHiBoundLeft + kBoundWidth + kGap;
constexpr int kHiSpinLeft = kHiLimitLeft + kLimitWidth + 60;
constexpr int kStatusLeft = kHiSpinLeft + kSpinWidth + 90;
constexpr int kStatusWidth = 720;  // "-11.97" with a margin inside its box
constexpr int kUnitLeft = kStatusLeft + kStatusWidth + 45;
constexpr int kUnitWidth = 180;
static_assert(kUnitLeft + kUnitWidth <= 8130 - 60, "the row fits the page");

// The gauge's end values: a size smaller and grey.
constexpr int kBoundFontSize = 8;
constexpr std::uint32_t kBoundColor = forms::Rgb(0x9a, 0xa5, 0xb1);
}  // namespace

void frmdoctor::LayoutVoltagePage() {
  // Headings centred over their columns: the low limit over its spinner and value, the
  // voltage over the gauge, the high limit over its value and spinner, the status over the
  // reading.
  const char* headings[] = {"Low Limit", "Voltage", "High Limit", "Status"};
  const int headingLeft[] = {kLoSpinLeft - 120, kGaugeLeft, kHiLimitLeft - 90, kStatusLeft - 60};
  const int headingWidth[] = {kSpinWidth + 60 + kLimitWidth + 240, kGaugeWidth,
                              kLimitWidth + 60 + kSpinWidth + 120, kStatusWidth + 120};
  for (int h = 0; h < 4; ++h) {
    OnPage(lblVoltHeading[h], SSTabMain, kPageVoltage, headingLeft[h], kPageTop, headingWidth[h], 255);
    layout::Caption(lblVoltHeading[h], headings[h], 2);
    lblVoltHeading[h].FontBold = true;
  }

  const char* names[] = {"Vcore", "+2.5V", "+3.3V", "+5V", "+12V", "-12V", "-5V", "5Vsb", "Vbat"};
  for (int i = 0; i < kVoltageCount; ++i) {
    const int top = kFirstRow + i * kRowHeight;
    OnPage(lblItemName[i], SSTabMain, kPageVoltage, kNameLeft, top + 60, kNameWidth, 255);
    layout::Caption(lblItemName[i], names[i]);
    lblItemName[i].FontBold = true;

    OnPage(updLoLimit[i], SSTabMain, kPageVoltage, kLoSpinLeft, top, kSpinWidth, 375);
    OnPage(LblLoLimit[i], SSTabMain, kPageVoltage, kLoLimitLeft, top + 60, kLimitWidth, 255);
    layout::Caption(LblLoLimit[i], "0.00", 0);
    OnPage(lblLoBound[i], SSTabMain, kPageVoltage, kLoBoundLeft, top + 75, kBoundWidth, 240);
    layout::Caption(lblLoBound[i], "0.00", 1);

    OnPage(SldVoltage[i], SSTabMain, kPageVoltage, kGaugeLeft, top, kGaugeWidth, 400);
    SldVoltage[i].Min = 0;
    SldVoltage[i].Max = 255;

    OnPage(lblHiBound[i], SSTabMain, kPageVoltage, kHiBoundLeft, top + 75, kBoundWidth, 240);
    layout::Caption(lblHiBound[i], "0.00");
    OnPage(LblHiLimit[i], SSTabMain, kPageVoltage, kHiLimitLeft, top + 60, kLimitWidth, 255);
    layout::Caption(LblHiLimit[i], "0.00", 1);
    OnPage(updHiLimit[i], SSTabMain, kPageVoltage, kHiSpinLeft, top, kSpinWidth, 375);
    for (forms::Label* bound : {&lblLoBound[i], &lblHiBound[i]}) {
      bound->FontSize = kBoundFontSize;
      bound->ForeColor = kBoundColor;
    }

    OnPage(lblStatusV[i], SSTabMain, kPageVoltage, kStatusLeft, top + 30, kStatusWidth, 315);
    layout::Caption(lblStatusV[i], "0.00", 2);
    lblStatusV[i].BorderStyle = 1;
    lblStatusV[i].BackColor = forms::kColorGreen;
    OnPage(lblV[i], SSTabMain, kPageVoltage, kUnitLeft, top + 60, kUnitWidth, 255);
    layout::Caption(lblV[i], "V");
  }
  // Across the -5V row, for boards that have no -5V input.
  LineN5V.SetContainer(&SSTabMain, kPageVoltage);
  const int y = kFirstRow + 6 * kRowHeight + 190;
  LineN5V.X1 = kNameLeft;
  LineN5V.X2 = kUnitLeft + kUnitWidth;
  LineN5V.Y1 = y;
  LineN5V.Y2 = y;
  LineN5V.BorderColor = forms::Rgb(128, 128, 128);
  LineN5V.Visible = false;
}

}  // namespace veltrix::monitor
