// Page 7 "Setting": the general options in one frame. The sampling-period slider sits on the
// row of its check box, with its scale in seconds underneath; the start and log options
// follow below.
#include <array>

#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kBoxLeft = 360;
constexpr int kBoxHeight = 315;
constexpr int kRowHeight = 480;
constexpr int kFirstRow = 420;
// The slider's row, and the slider itself: its track starts 90 twips in from each end.
constexpr int kPeriodRow = kFirstRow + 2 * kRowHeight;
constexpr int kSliderLeft = 2760;
constexpr int kSliderWidth = 4200;
constexpr int kSliderHeight = 420;
constexpr int kTrackInset = 90;
constexpr int kScaleLabelWidth = 480;
constexpr int kClearLogLeft = 5700;
constexpr int kClearLogWidth = 1650;
// Periods of the slider's positions as the scale shows them, in seconds.
constexpr std::array<const char*, 10> kScale{"0.5", "1", "2", "3", "5", "10", "15", "20", "25", "30"};
}  // namespace

void frmdoctor::LayoutSettingPage() {
  OnPage(fraSetting, SSTabMain, kPageSetting, 240, kPageTop + 180, 7650, 3600);
  fraSetting.Caption = "";

  const std::array<forms::CheckBox*, 5> boxes{&Check1, &Check2, &Check3, &Check4, &Check5};
  const std::array<const char*, 5> captions{"Run when Window starts.", "Shutdown.", "Sampling period",
                                            "Starting as small icon on system tray.",
                                            "Save sampling data to log file."};
  // Rows 0..2 are the first three boxes; the scale under the slider takes a row of its own.
  const std::array<int, 5> rows{0, 1, 2, 4, 5};
  for (std::size_t b = 0; b < boxes.size(); ++b) {
    boxes[b]->SetContainer(&fraSetting);
    int width = 5400;
    if (boxes[b] == &Check3) width = kSliderLeft - kBoxLeft - 120;
    if (boxes[b] == &Check5) width = kClearLogLeft - kBoxLeft - 120;
    Place(*boxes[b], kBoxLeft, kFirstRow + rows[b] * kRowHeight, width, kBoxHeight);
    boxes[b]->Caption = captions[b];
  }

  // "Clear Log" on the row of the log option it belongs to.
  cmdDeleteLog.SetContainer(&fraSetting);
  Place(cmdDeleteLog, kClearLogLeft, kFirstRow + rows[4] * kRowHeight - 45, kClearLogWidth, 405);
  cmdDeleteLog.Caption = "Clear Log";

  SldInterval.SetContainer(&fraSetting);
  Place(SldInterval, kSliderLeft, kPeriodRow - 60, kSliderWidth, kSliderHeight);
  SldInterval.Min = 0;
  SldInterval.Max = 9;
  SldInterval.Value = 1;
  SldInterval.ToolTipText = "Sampling period";

  LblSec.SetContainer(&fraSetting);
  Place(LblSec, kSliderLeft + kSliderWidth + 120, kPeriodRow + 30, 600, 255);
  layout::Caption(LblSec, "Sec.");

  const int track = kSliderWidth - 2 * kTrackInset;
  for (int pos = 0; pos < lblIntervalScale.Count(); ++pos) {
    forms::Label& mark = lblIntervalScale[pos];
    const int centre = kSliderLeft + kTrackInset + pos * track / (lblIntervalScale.Count() - 1);
    mark.SetContainer(&fraSetting);
    Place(mark, centre - kScaleLabelWidth / 2, kPeriodRow + kSliderHeight - 30, kScaleLabelWidth, 255);
    layout::Caption(mark, kScale[static_cast<std::size_t>(pos)], 2);
    mark.FontSize = 7;
  }
}

}  // namespace veltrix::monitor
