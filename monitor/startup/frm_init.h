#pragma once
// frmInit: the splash window shown from the vendor check until the first monitoring tick.
// It stays on top of every other window so the user sees the program is starting.
#include <cstdint>

#include "platform/forms/forms.h"

namespace veltrix::monitor {

class Program;

// Arguments of the toolkit's SetWindowPos as the splash uses them.
inline constexpr int HWND_TOPMOST = -1;
inline constexpr int HWND_NOTOPMOST = -2;
inline constexpr std::uint32_t SWP_NOSIZE = 0x0001;
inline constexpr std::uint32_t SWP_NOMOVE = 0x0002;

// The splash picture, in the program folder (360 x 240 pixels).
inline constexpr const char* kSplashPicture = "\\skin\\splash.png";

class frmInit : public forms::Form {
 public:
  explicit frmInit(Program& program);

  forms::Image imgSplash{*this, "imgSplash"};

  // The last SetWindowPos made on this window, and whether it is now topmost. A front end
  // reads TopMost() when it mirrors the window.
  struct WindowPos {
    int insertAfter = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t flags = 0;
  };
  void SetWindowPos(int insertAfter, int x, int y, int cx, int cy, std::uint32_t flags);
  const WindowPos& LastWindowPos() const { return lastPos_; }
  bool TopMost() const { return topMost_; }

 protected:
  void InitializeComponent() override;
  void Form_Load() override;

 private:
  Program& program_;
  WindowPos lastPos_;
  bool topMost_ = false;
};

}  // namespace veltrix::monitor
