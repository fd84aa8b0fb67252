// Page 1 "Voltage": nine rows, each name, low-limit spinner and caption, gauge with its ends,
// high-limit caption and spinner, reading and unit.
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kRowHeight = 470;
constexpr int kFirstRow = kPageTop + 300;
}  // namespace

void frmdoctor::LayoutVoltagePage() {
  const char* headings[] = {"Low limit", "Range", "High limit", "Reading"};
  const int headingLeft[] = {1140, 2580, 5700, 6720};
  const int headingWidth[] = {900, 3200, 900, 900};
  for (int h = 0; h < 4; ++h) {
    OnPage(lblVoltHeading[h], SSTabMain, kPageVoltage, headingLeft[h], kPageTop, headingWidth[h], 255);
    layout::Caption(lblVoltHeading[h], headings[h], 2);
    lblVoltHeading[h].FontBold = true;
  }

  const char* names[] = {"Vcore", "+2.5V", "+3.3V", "+5V", "+12V", "-12V", "-5V", "5Vsb", "Vbat"};
  for (int i = 0; i < kVoltageCount; ++i) {
    const int top = kFirstRow + i * kRowHeight;
    OnPage(lblItemName[i], SSTabMain, kPageVoltage, 180, top + 60, 900, 255);
    layout::Caption(lblItemName[i], names[i]);
    lblItemName[i].FontBold = true;

    OnPage(updLoLimit[i], SSTabMain, kPageVoltage, 1110, top, 255, 375);
    OnPage(LblLoLimit[i], SSTabMain, kPageVoltage, 1380, top + 60, 600, 255);
    layout::Caption(LblLoLimit[i], "0.00", 1);
    OnPage(lblLoBound[i], SSTabMain, kPageVoltage, 2020, top + 60, 520, 255);
    layout::Caption(lblLoBound[i], "0.00", 1);

    OnPage(SldVoltage[i], SSTabMain, kPageVoltage, 2580, top, 3200, 400);
    SldVoltage[i].Min = 0;
    SldVoltage[i].Max = 255;

    OnPage(lblHiBound[i], SSTabMain, kPageVoltage, 5820, top + 60, 520, 255);
    layout::Caption(lblHiBound[i], "0.00");
    OnPage(LblHiLimit[i], SSTabMain, kPageVoltage, 6360, top + 60, 600, 255);
    layout::Caption(LblHiLimit[i], "0.00", 1);
    OnPage(updHiLimit[i], SSTabMain, kPageVoltage, 6990, top, 255, 375);

    OnPage(lblStatusV[i], SSTabMain, kPageVoltage, 7290, top + 30, 600, 315);
    layout::Caption(lblStatusV[i], "0.00", 2);
    lblStatusV[i].BorderStyle = 1;
    lblStatusV[i].BackColor = forms::kColorGreen;
    OnPage(lblV[i], SSTabMain, kPageVoltage, 7920, top + 60, 180, 255);
    layout::Caption(lblV[i], "V");
  }
  // Across the -5V row, for boards that have no -5V input.
  LineN5V.SetContainer(&SSTabMain, kPageVoltage);
  const int y = kFirstRow + 6 * kRowHeight + 190;
  LineN5V.X1 = 180;
  LineN5V.X2 = 7900;
  LineN5V.Y1 = y;
  LineN5V.Y2 = y;
  LineN5V.BorderColor = forms::Rgb(128, 128, 128);
  LineN5V.Visible = false;
}

}  // namespace veltrix::monitor
