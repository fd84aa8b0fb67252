// Page 3 "Hushwind", lower band: the CD-ROM rotation speed box and its slider between the
// "Low Speed" and "High Speed" labels. The fan-control controls take the page above.
#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kLeft = 360;
constexpr int kBoxTop = 3900;
constexpr int kSliderTop = 4320;
constexpr int kSliderHeight = 420;
constexpr int kLabelWidth = 1140;
constexpr int kSliderLeft = kLeft + kLabelWidth + 120;
constexpr int kSliderWidth = 4800;
constexpr int kLabelTop = kSliderTop + 90;
}  // namespace

void frmdoctor::LayoutCdromControls() {
  OnPage(chkControlCDROMSpeed, SSTabMain, kPageHushwind, kLeft, kBoxTop, 5400, 315);
  chkControlCDROMSpeed.Caption = "Enable CD-ROM Rotation Speed Control";

  OnPage(lblLowSpeed, SSTabMain, kPageHushwind, kLeft, kLabelTop, kLabelWidth, 255);
  layout::Caption(lblLowSpeed, "Low Speed", 1);
  OnPage(SldRotationSpeed, SSTabMain, kPageHushwind, kSliderLeft, kSliderTop, kSliderWidth, kSliderHeight);
  OnPage(lblHighSpeed, SSTabMain, kPageHushwind, kSliderLeft + kSliderWidth + 120, kLabelTop, kLabelWidth,
         255);
  layout::Caption(lblHighSpeed, "High Speed");

  SldRotationSpeed.Min = 0;
  SldRotationSpeed.Max = kCdromSliderMax;
  SldRotationSpeed.Value = kCdromSliderStart;
  SldRotationSpeed.Enabled = false;
  SldRotationSpeed.ToolTipText = "CD-ROM rotation speed";
}

}  // namespace veltrix::monitor
