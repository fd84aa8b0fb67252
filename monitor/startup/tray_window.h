#pragma once
// The program in the notification area: the tray icon and its tip, the tray menu, the main
// window's replacement window procedure (tray mouse messages, dragging by the title
// picture, power suspend and resume) and the main window's show, hide and exit handlers.
// Everything goes through the platform shell of Services; without one (a program built
// without a desktop) the tray steps do nothing.
#include <cstdint>
#include <string>

#include "platform/system/shell.h"

namespace veltrix::monitor {

class Program;

inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayFlags = platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP;
inline constexpr std::uint32_t kTrayCallbackMessage = platform::WM_MOUSEMOVE;

// The tip: product name, CR LF, CPU temperature line, CR LF, CPU fan line.
std::string TrayTipText(Program& program);
// "Hushwind" on boards with fan control, else "Veltrix III".
std::string TrayProductName(Program& program);
// The record with the given tip, left-aligned and blank-padded to 64 characters (cut there).
platform::NotifyIconData TrayRecord(Program& program, const std::string& tip);

// NIM_ADD; the tip names the program until the readings are there.
void AddTrayIcon(Program& program);
// NIM_MODIFY with the current tip.
void UpdateTrayTip(Program& program);
// NIM_DELETE (the exit path).
void RemoveTrayIcon(Program& program);
// "Exit" and "Show" in the user's language on mnuExit and mnuShow, then mnuView pops up at
// the mouse pointer.
void ShowTrayMenu(Program& program);

// The main window's procedure: the previous procedure first, then the tray callback, the
// title-picture hit test and the power notifications.
std::int32_t WindowProc(Program& program, std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam,
                        std::int32_t lParam);
// Resume after a suspend: chip quirk, channel set-up, beeps, monitoring, fan outputs, timers.
void ResumeMonitoring(Program& program);

}  // namespace veltrix::monitor
