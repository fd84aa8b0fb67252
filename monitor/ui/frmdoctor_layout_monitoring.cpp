// Page 6 "Monitoring": per item an Enable and a Beep box. Voltages in the left column (their
// captions are lblItemName(24 - i)), fans, temperatures and the chassis on the right.
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kRowHeight = 420;
constexpr int kFirstRow = 420;
constexpr int kColumnLeft[2] = {180, 4080};
}  // namespace

void frmdoctor::LayoutMonitoringPage() {
  OnPage(fraMonitorConfig, SSTabMain, kPageMonitoring, 120, kPageTop + 60, 7890, 4500);
  fraMonitorConfig.Caption = "Monitoring Config.";
  for (int c = 0; c < 2; ++c) {
    lblItemHeader[c].SetContainer(&fraMonitorConfig);
    Place(lblItemHeader[c], kColumnLeft[c], 180, 1700, 255);
    layout::Caption(lblItemHeader[c], "Item");
    lblItemHeader[c].FontBold = true;
  }
  const char* headings[] = {"Enable", "Beep", "Enable", "Beep"};
  for (int h = 0; h < 4; ++h) {
    lblConfigHeading[h].SetContainer(&fraMonitorConfig);
    Place(lblConfigHeading[h], kColumnLeft[h / 2] + 1800 + (h % 2) * 960, 180, 900, 255);
    layout::Caption(lblConfigHeading[h], headings[h]);
    lblConfigHeading[h].FontBold = true;
  }
  const char* otherNames[] = {"CPU FAN1", "System FAN2",     "System FAN3",      "System Temp",
                              "CPU Temp", "CPU Kernal Temp", "Chassis Intrusion"};
  const char* voltageNames[] = {"Vbat", "5Vsb", "-5V", "-12V", "+12V", "+5V", "+3.3V", "+2.5V", "VCore"};
  for (int n = 9; n < kItemNameCount; ++n) {
    const int item = n <= 15 ? n : 24 - n;  // the item this caption names
    const int column = item < kVoltageCount ? 0 : 1;
    const int row = item < kVoltageCount ? item : item - kFirstFanItem;
    lblItemName[n].SetContainer(&fraMonitorConfig);
    Place(lblItemName[n], kColumnLeft[column], kFirstRow + row * kRowHeight + 30, 1700, 255);
    layout::Caption(lblItemName[n], n <= 15 ? otherNames[n - 9] : voltageNames[n - 16]);
  }
  for (int i = 0; i < kItemCount; ++i) {
    const int column = i < kVoltageCount ? 0 : 1;
    const int row = i < kVoltageCount ? i : i - kFirstFanItem;
    const int top = kFirstRow + row * kRowHeight;
    chkEnable[i].SetContainer(&fraMonitorConfig);
    Place(chkEnable[i], kColumnLeft[column] + 1800, top, 900, 315);
    chkEnable[i].Caption = "";
    ChkBeep[i].SetContainer(&fraMonitorConfig);
    Place(ChkBeep[i], kColumnLeft[column] + 2760, top, 900, 315);
    ChkBeep[i].Caption = "";
  }
}

}  // namespace veltrix::monitor
