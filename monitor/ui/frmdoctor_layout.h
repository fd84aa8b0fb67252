#pragma once
// Design-time helpers shared by the layout files of the main window.
#include <string>

#include "platform/forms/forms.h"

namespace veltrix::monitor::layout {

// Tab pages of SSTabMain.
inline constexpr int kPageGraphic = 0;
inline constexpr int kPageVoltage = 1;
inline constexpr int kPageTempFan = 2;
inline constexpr int kPageHushwind = 3;
inline constexpr int kPageSystem = 4;
inline constexpr int kPageAbout = 5;
inline constexpr int kPageMonitoring = 6;
inline constexpr int kPageSetting = 7;

// Controls on a page are placed relative to the tab strip, as the toolkit's tab control
// places its children; the page's content starts below the row of tabs.
inline constexpr int kPageTop = 420;

inline void Place(forms::Control& c, int left, int top, int width, int height) {
  c.Move(left, top, width, height);
}
inline void OnPage(forms::Control& c, forms::TabStrip& strip, int page, int left, int top, int width,
                   int height) {
  c.SetContainer(&strip, page);
  c.Move(left, top, width, height);
}
inline void Caption(forms::Label& l, const std::string& text, int alignment = 0) {
  l.Caption = text;
  l.Alignment = alignment;
}

}  // namespace veltrix::monitor::layout
