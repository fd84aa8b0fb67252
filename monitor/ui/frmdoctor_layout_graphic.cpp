// Page 0 "Graphic": one row per graph window, its name and a "Show" button.
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

void frmdoctor::LayoutGraphicPage() {
  OnPage(fraGraphSetting, SSTabMain, kPageGraphic, 1320, kPageTop + 360, 5490, 3000);
  fraGraphSetting.Caption = "Graph Setting Control";
  const char* names[] = {"Voltage vs Time", "Temp vs Time", "Fan speed vs Time", "Fan speed vs Temp"};
  for (int n = 0; n < 4; ++n) {
    const int top = 540 + n * 600;
    lblGraphSetting[n].SetContainer(&fraGraphSetting);
    Place(lblGraphSetting[n], 480, top + 60, 2880, 285);
    layout::Caption(lblGraphSetting[n], names[n]);
    btnGraphSet[n].SetContainer(&fraGraphSetting);
    Place(btnGraphSet[n], 3600, top, 1380, 405);
    btnGraphSet[n].Caption = "Show";
  }
}

}  // namespace veltrix::monitor
