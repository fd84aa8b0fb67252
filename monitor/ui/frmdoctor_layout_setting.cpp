// Page 7 "Setting": the general options and the sampling period. Further controls of the page
// are added by the settings subsystem.
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

void frmdoctor::LayoutSettingPage() {
  OnPage(fraSetting, SSTabMain, kPageSetting, 120, kPageTop + 60, 7890, 2700);
  fraSetting.Caption = "Setting";
  forms::CheckBox* boxes[] = {&Check1, &Check2, &Check3, &Check4, &Check5};
  const char* captions[] = {"Run when Window starts.", "Shutdown.", "Sampling period",
                            "Starting as small icon on system tray.", "Save sampling data to log file."};
  for (int b = 0; b < 5; ++b) {
    boxes[b]->SetContainer(&fraSetting);
    Place(*boxes[b], 240, 330 + b * 450, 3600, 315);
    boxes[b]->Caption = captions[b];
  }
  SldInterval.SetContainer(&fraSetting);
  Place(SldInterval, 2400, 1200, 3600, 420);
  SldInterval.Min = 0;
  SldInterval.Max = 9;
  SldInterval.Value = 1;
  lblSec.SetContainer(&fraSetting);
  Place(lblSec, 6120, 1260, 600, 255);
  layout::Caption(lblSec, "Sec.");
}

}  // namespace veltrix::monitor
