// Design-time set-up of the main window: the frame (title, tab strip, buttons, timers); the
// pages are laid out by their own files.
#include "monitor/ui/frmdoctor_layout.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

using namespace layout;

void frmdoctor::InitializeComponent() {
  LayoutFrame();
  LayoutVoltagePage();
  LayoutTempFanPage();
  LayoutHushwindPage();
  LayoutMonitoringPage();
  LayoutSettingPage();
  LayoutGraphicPage();
  LayoutSystemPage();
  LayoutAboutPage();
  LayoutCdromControls();
}

void frmdoctor::LayoutFrame() {
  Caption = "Veltrix";
  BorderStyle = 0;  // skinned, frameless
  Place(*this, 0, 0, 8280, 6540);
  ImageTitle.Stretch = true;
  Place(ImageTitle, 0, 0, 8250, 795);

  Place(SSTabMain, 60, 840, 8130, 5100);
  SSTabMain.Tabs = 8;
  const char* captions[] = {"Graphic", "Voltage", "Temp/Fan/Chassis", "Hushwind",
                            "System",  "About",   "Monitoring",       "Setting"};
  for (int t = 0; t < 8; ++t) SSTabMain.SetTabCaption(t, captions[t]);
  SSTabMain.Tab = kPageVoltage;

  cmdSave.Caption = "Save";
  Place(cmdSave, 5340, 6030, 1320, 405);
  cmdDefault.Caption = "Load Default";
  Place(cmdDefault, 6780, 6030, 1380, 405);

  Timer1.Enabled = false;
  Timer1.Interval = 1000;
  Timer3.Enabled = true;
  Timer3.Interval = 500;
  FanTimer.Enabled = false;
  FanTimer.Interval = 1000;
}

}  // namespace veltrix::monitor
