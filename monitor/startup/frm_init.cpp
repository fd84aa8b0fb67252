#include "monitor/startup/frm_init.h"

#include "monitor/program.h"

namespace veltrix::monitor {

frmInit::frmInit(Program& program) : forms::Form(program.App(), "frmInit"), program_(program) {}

void frmInit::InitializeComponent() {
  // A borderless picture window, 5400 x 3600 twips (360 x 240 pixels), centred by the
  // front end.
  BorderStyle = 0;
  Caption = kAppTitle;
  Width = 5400;
  Height = 3600;
  imgSplash.Move(0, 0, 5400, 3600);
  imgSplash.Stretch = false;  // the splash picture is drawn for this size
}

void frmInit::Form_Load() {
  imgSplash.Picture = program_.Sys().ProgramFolder() + kSplashPicture;
  SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void frmInit::SetWindowPos(int insertAfter, int x, int y, int cx, int cy, std::uint32_t flags) {
  lastPos_ = WindowPos{insertAfter, x, y, cx, cy, flags};
  if (insertAfter == HWND_TOPMOST) topMost_ = true;
  if (insertAfter == HWND_NOTOPMOST) topMost_ = false;
  // Positions and sizes arrive in pixels; the form keeps twips (15 per pixel).
  if ((flags & SWP_NOMOVE) == 0) Move(x * 15, y * 15, Width, Height);
  if ((flags & SWP_NOSIZE) == 0) Move(Left, Top, cx * 15, cy * 15);
}

}  // namespace veltrix::monitor
