// Tray icon, tray menu, the main window's window procedure and its show/hide/exit handlers.
#include "monitor/startup/tray_window.h"

#include <cmath>
#include <cstring>

#include "monitor/boards/board_tables.h"
#include "monitor/channels/fan_output.h"
#include "monitor/chip/chip_setup.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/exit_program.h"
#include "monitor/startup/frm_init.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr std::size_t kTipLength = 64;
constexpr const char* kMainWindow = "frmdoctor";

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character (the Chinese
// captions are several bytes a character).
std::string CutUtf8(const std::string& text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

platform::Shell* ShellOf(Program& program) {
  return program.Svc().shell;
}

}  // namespace

std::string TrayProductName(Program& program) {
  return program.frmdoctor().CheckSupportFANControl() ? "Hushwind" : "Veltrix III";
}

std::string TrayTipText(Program& program) {
  auto& f = program.frmdoctor();
  const std::string temperature =
      f.lblStatusT[1].Visible ? f.lblTempItem[1].Caption + ":" + f.lblStatusT[1].Caption : std::string();
  const std::string fan =
      f.lblFanSpeed[0].Visible ? f.lblFanItem[0].Caption + ":" + f.lblFanSpeed[0].Caption : std::string();
  return TrayProductName(program) + "\r\n" + temperature + "\r\n" + fan;
}

platform::NotifyIconData TrayRecord(Program& program, const std::string& tip) {
  platform::NotifyIconData data;
  data.cbSize = sizeof(platform::NotifyIconData);
  if (platform::Shell* shell = ShellOf(program)) {
    data.hWnd = shell->WindowHandle(kMainWindow);
    data.hIcon = shell->WindowIcon(data.hWnd);
  }
  data.uID = kTrayIconId;
  data.uFlags = kTrayFlags;
  data.uCallbackMessage = kTrayCallbackMessage;
  // A fixed 64-character field: the text, then blanks.
  const std::string text = CutUtf8(tip, kTipLength);
  std::memset(data.szTip, ' ', kTipLength);
  std::memcpy(data.szTip, text.data(), text.size());
  return data;
}

void AddTrayIcon(Program& program) {
  platform::Shell* shell = ShellOf(program);
  if (shell == nullptr) return;
  // The main window is not loaded yet, so there are no readings: the tip names the program
  // until the first hover (or, on a desktop without hover events, the first tick) fills it.
  shell->Shell_NotifyIconA(platform::NIM_ADD, TrayRecord(program, TrayProductName(program)));
}

void UpdateTrayTip(Program& program) {
  platform::Shell* shell = ShellOf(program);
  if (shell == nullptr) return;
  shell->Shell_NotifyIconA(platform::NIM_MODIFY, TrayRecord(program, TrayTipText(program)));
}

void RemoveTrayIcon(Program& program) {
  platform::Shell* shell = ShellOf(program);
  if (shell == nullptr) return;
  shell->Shell_NotifyIconA(platform::NIM_DELETE, TrayRecord(program, ""));
}

void ShowTrayMenu(Program& program) {
  auto& f = program.frmdoctor();
  const std::string& prefix = program.G().LangPrefix;
  ApplyText(prefix, 123, [&](const std::string& s) { f.mnuExit.Caption = s; });
  ApplyText(prefix, 420, [&](const std::string& s) { f.mnuShow.Caption = s; });
  f.PopupMenu(f.mnuView);
}

void ResumeMonitoring(Program& program) {
  auto& f = program.frmdoctor();
  auto& g = program.G();
  ApplyChipQuirk(program);
  f.Init_Fan_Items();
  f.Init_Temp_Items();
  f.init_Voltage_items();
  f.ApplyBeepSettings();
  if (boards::NeedsRestartOnResume(g.ModelName)) {
    RestartMonitoring(program);
    ApplySensorSetup(program);
  } else {
    StartMonitoring(program);
  }
  SetFanSpeed(program, 0, f.CpuFanPercent);
  SetFanSpeed(program, 1, f.SystemFanPercent);
  if (g.ChipFamily == kChipFamilyIte) SetFanSpeed(program, 2, 100);
  f.Timer1.Enabled = true;
  f.Timer3.Enabled = true;
}

std::int32_t WindowProc(Program& program, std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam,
                        std::int32_t lParam) {
  auto& f = program.frmdoctor();
  platform::Shell* shell = ShellOf(program);
  std::int32_t result =
      shell == nullptr ? 0 : shell->CallWindowProcA(f.PrevWindowProc, hWnd, msg, wParam, lParam);
  switch (msg) {
    case platform::WM_NCHITTEST:
      if (result == platform::HTCLIENT &&
          f.IsInImage(platform::LowWord(lParam), platform::HighWord(lParam))) {
        result = platform::HTCAPTION;  // dragging the title picture moves the window
      }
      break;
    case kTrayCallbackMessage:
      if (lParam == static_cast<std::int32_t>(platform::WM_MOUSEMOVE)) {
        UpdateTrayTip(program);
      } else if (lParam == static_cast<std::int32_t>(platform::WM_LBUTTONDBLCLK)) {
        MeasureFullSpeedRpm(program);
        f.WindowState = 0;  // a window minimised to the task bar comes back too
        f.Show();
      } else if (lParam == static_cast<std::int32_t>(platform::WM_RBUTTONUP)) {
        ShowTrayMenu(program);
      }
      break;
    case platform::WM_POWERBROADCAST:
      if (wParam == platform::PBT_APMRESUMECRITICAL || wParam == platform::PBT_APMRESUMESUSPEND ||
          wParam == platform::PBT_APMRESUMEAUTOMATIC) {
        ResumeMonitoring(program);
        if (program.G().ChipFamily == kChipFamilyWinbond) SetResumeBeepEnables(program);
      } else {
        // Suspend queries, the suspend itself and power-status changes all stop monitoring.
        ClearBeepEnables(program);
        f.Timer1.Enabled = false;
        f.Timer3.Enabled = false;
        if (program.G().ChipFamily == kChipFamilyWinbond) StopMonitoring(program);
      }
      break;
    default:
      break;
  }
  return result;
}

// ---- frmdoctor: window procedure and title hit test -----------------------------------------

void frmdoctor::Load_Proc() {
  platform::Shell* shell = program_.Svc().shell;
  if (shell == nullptr) return;
  if (WindowProcValue == 0) {
    Program* program = &program_;
    WindowProcValue = shell->RegisterWindowProcedure(
        [program](std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam, std::int32_t lParam) {
          return WindowProc(*program, hWnd, msg, wParam, lParam);
        });
  }
  const std::uint32_t hWnd = shell->WindowHandle(kMainWindow);
  PrevWindowProc = shell->GetWindowLongA(hWnd, platform::GWL_WNDPROC);
  shell->SetWindowLongA(hWnd, platform::GWL_WNDPROC, WindowProcValue);
}

void frmdoctor::Unload_Proc() {
  platform::Shell* shell = program_.Svc().shell;
  if (shell == nullptr || PrevWindowProc == 0) return;
  shell->SetWindowLongA(shell->WindowHandle(kMainWindow), platform::GWL_WNDPROC, PrevWindowProc);
  PrevWindowProc = 0;
}

void frmdoctor::Form_Unload(int& /*cancel*/) {
  Unload_Proc();
  // Closed before the first monitoring tick took the splash down: it goes with the main
  // window, or a desktop would keep running for a splash alone.
  if (program_.frmInit().IsLoaded()) program_.frmInit().Unload();
}

bool frmdoctor::IsInImage(std::int16_t x, std::int16_t y) {
  platform::Shell* shell = program_.Svc().shell;
  if (shell == nullptr) return false;
  const std::uint32_t hWnd = shell->WindowHandle(kMainWindow);
  platform::Rect w;
  platform::Rect c;
  shell->GetWindowRect(hWnd, &w);
  shell->GetClientRect(hWnd, &c);
  // Half the difference between the outer and the client width is the frame around the client.
  const auto border = static_cast<int>(std::nearbyint(((w.right - w.left) - c.right) / 2.0));
  // The image's position and size in pixels (15 twips a pixel).
  const int left = ImageTitle.Left / 15;
  const int top = ImageTitle.Top / 15;
  const int width = ImageTitle.Width / 15;
  const int height = ImageTitle.Height / 15;
  return x > w.left + border + left && x < w.left + border + left + width && y > w.top + border + top &&
         y < w.top + border + top + height;
}

void frmdoctor::DesignTrayWindowControls() {
  // The skin buttons sit on the right end of the title picture.
  const std::string folder = program_.Sys().ProgramFolder();
  auto place = [](forms::Control& c, int left, int top, int width, int height) {
    c.Left.SetDefault(left);
    c.Top.SetDefault(top);
    c.Width.SetDefault(width);
    c.Height.SetDefault(height);
  };
  place(picMin, 7410, 150, 330, 330);
  picMin.Picture.SetDefault(folder + "\\skin\\min.png");
  picMin.ToolTipText.SetDefault("Minimize");
  place(picExit, 7800, 150, 330, 330);
  picExit.Picture.SetDefault(folder + "\\skin\\exit.png");
  picExit.ToolTipText.SetDefault("Exit");
  for (forms::PictureBox* p : {&picMin, &picExit}) p->BackColor.SetDefault(forms::Rgb(0x1b, 0x1f, 0x24));
  place(cmdExit, 120, 6030, 1200, 405);
  cmdExit.Caption.SetDefault("Exit");
  if (ImageTitle.Picture.Get().empty()) ImageTitle.Picture.SetDefault(folder + "\\GIF\\Veltrix III.jpg");

  // The tray menu and the icon menu hang below hidden top-level menus.
  mnuView.Caption.SetDefault("View");
  mnuView.Visible.SetDefault(false);
  mnuShow.SetContainer(&mnuView);
  mnuShow.Caption.SetDefault("Show");
  mnuExit.SetContainer(&mnuView);
  mnuExit.Caption.SetDefault("Exit");
  iconMenu.Caption.SetDefault("Icon");
  iconMenu.Visible.SetDefault(false);
  IconMenuRestore.SetContainer(&iconMenu);
  IconMenuRestore.Caption.SetDefault("Restore");
  IconMenuExit.SetContainer(&iconMenu);
  IconMenuExit.Caption.SetDefault("Exit");
}

// ---- wiring ---------------------------------------------------------------------------------

void frmdoctor::WireTrayWindowEvents() {
  DesignTrayWindowControls();
  Program& program = program_;
  cmdExit.OnClick = [&program] { ExitAndEndProcess(program); };
  picExit.OnClick = [&program] { ExitAndEndProcess(program); };
  mnuExit.OnClick = [&program, this] {
    mnuView.Visible = false;
    ExitProgram(program);
    Unload();
  };
  IconMenuExit.OnClick = [&program, this] {
    ExitProgram(program);
    Unload();
  };
  mnuShow.OnClick = [&program, this] {
    mnuView.Visible = false;
    MeasureFullSpeedRpm(program);
    WindowState = 0;
    Show();
  };
  IconMenuRestore.OnClick = [this] {
    iconMenu.Visible = false;
    WindowState = 0;
    Visible = true;
  };
  picMin.OnClick = [this] { HideMainWindow(); };
}

void frmdoctor::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
  // Closed from the desktop (the window manager's close, Alt+F4) rather than by the program's
  // own exit handlers: the same orderly exit as the Exit button, then the unload goes on.
  if (unloadMode == vbFormControlMenu) ExitProgram(program_);
}

}  // namespace veltrix::monitor
