// Page 4 "System": the title picture on the left and ten rows of caption and value beside it.
// The captions come from the language tables; the values are written once by
// FillSystemInformation.
#include <array>

#include "monitor/resources/logos.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

using namespace layout;

namespace {
constexpr int kLogoLeft = 240;
constexpr int kCaptionLeft = kLogoLeft + kLogoWidth * 15 + 300;
constexpr int kCaptionWidth = 2160;
constexpr int kValueLeft = kCaptionLeft + kCaptionWidth + 60;
constexpr int kValueWidth = 8130 - kValueLeft - 180;
constexpr int kFirstRow = kPageTop + 300;
constexpr int kRowHeight = 420;
constexpr int kRowCount = 10;
constexpr int kLabelHeight = 300;
}  // namespace

void frmdoctor::LayoutSystemPage() {
  // The picture is centred on the rows.
  const int logoHeight = kLogoHeight * 15;
  const int rowsMiddle = kFirstRow + (kRowCount * kRowHeight - (kRowHeight - kLabelHeight)) / 2;
  OnPage(KorvanaLogo, SSTabMain, kPageSystem, kLogoLeft, rowsMiddle - logoHeight / 2, kLogoWidth * 15,
         logoHeight);
  KorvanaLogo.Stretch = false;

  // Rows in the order FillSystemInformation fills them.
  const std::array<forms::Label*, kRowCount> captions{
      &lblUser,      &lblCPU,         &lblMemory,   &lblModelName, &lblOS,
      &lblOSVersion, &lblBIOSVersion, &lblBIOSDate, &lblCountry,   &lblIO};
  const std::array<forms::Label*, kRowCount> values{
      &lblUser_,      &lblCPU_,         &lblMemory_,   &lblModelName_, &lblOS_,
      &lblOSVersion_, &lblBIOSVersion_, &lblBIOSDate_, &lblCountry_,   &lblIO_};
  const std::array<const char*, kRowCount> builtIn{
      "Current User:", "CPU:",          "System Memory:", "Mainboard:", "Operating System:",
      "O/S Version:",  "BIOS Version:", "BIOS Date:",     "Language:",  "Super I/O:"};
  for (int row = 0; row < kRowCount; ++row) {
    const auto r = static_cast<std::size_t>(row);
    const int top = kFirstRow + row * kRowHeight;
    OnPage(*captions[r], SSTabMain, kPageSystem, kCaptionLeft, top, kCaptionWidth, kLabelHeight);
    layout::Caption(*captions[r], builtIn[r]);
    captions[r]->FontBold = true;
    OnPage(*values[r], SSTabMain, kPageSystem, kValueLeft, top, kValueWidth, kLabelHeight);
    layout::Caption(*values[r], "");
  }
}

}  // namespace veltrix::monitor
