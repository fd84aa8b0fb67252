#pragma once
// The desktop shell and window messages as the program uses them: the notification-area
// icon (Shell_NotifyIconA with the 88-byte ANSI notify-icon record), window rectangles in
// pixels, z-order (SetWindowPos), and the window-procedure slot of a window (GetWindowLongA /
// SetWindowLongA / CallWindowProcA) through which a form replaces its window procedure.
//
// Windows are named by form ("frmdoctor"); each gets a stable 32-bit handle. Window
// procedures are registered once and referred to by a 32-bit value, the way the program
// stores a procedure address in a window's GWL_WNDPROC slot.
//
// Messages reach a window's current procedure through SendMessageA (at once) or PostMessageA
// (from the event loop, never from inside a running handler). BroadcastMessageA posts to
// every window with a procedure of its own (power notifications).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace veltrix::platform {

inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

inline constexpr std::int32_t GWL_WNDPROC = -4;

inline constexpr std::uint32_t WM_NCHITTEST = 0x84;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x200;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x203;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x205;
inline constexpr std::uint32_t WM_POWERBROADCAST = 0x218;
inline constexpr std::int32_t HTNOWHERE = 0;
inline constexpr std::int32_t HTCLIENT = 1;
inline constexpr std::int32_t HTCAPTION = 2;
inline constexpr std::uint32_t PBT_APMSUSPEND = 4;
inline constexpr std::uint32_t PBT_APMRESUMECRITICAL = 6;
inline constexpr std::uint32_t PBT_APMRESUMESUSPEND = 7;
inline constexpr std::uint32_t PBT_APMPOWERSTATUSCHANGE = 10;
inline constexpr std::uint32_t PBT_APMRESUMEAUTOMATIC = 0x12;

// The notify-icon record in its 88-byte ANSI layout (handles are 32-bit values).
struct NotifyIconData {
  std::uint32_t cbSize = 0;
  std::uint32_t hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uint32_t hIcon = 0;
  char szTip[64] = {};
};
static_assert(sizeof(NotifyIconData) == 88);
static_assert(offsetof(NotifyIconData, uCallbackMessage) == 16);
static_assert(offsetof(NotifyIconData, hIcon) == 20);
static_assert(offsetof(NotifyIconData, szTip) == 24);

// The tip of a record as text: up to the first NUL (at most 64 characters).
std::string TipText(const NotifyIconData& data);

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};
struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// lParam of mouse messages: x in the low word, y in the high word (each signed 16-bit).
constexpr std::int32_t MakeLParam(int x, int y) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                   static_cast<std::uint32_t>(x & 0xFFFF));
}
constexpr std::int16_t LowWord(std::int32_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint32_t>(value) & 0xFFFF);
}
constexpr std::int16_t HighWord(std::int32_t value) {
  return static_cast<std::int16_t>((static_cast<std::uint32_t>(value) >> 16) & 0xFFFF);
}

using WindowProcedure = std::function<std::int32_t(std::uint32_t hWnd, std::uint32_t msg,
                                                   std::uint32_t wParam, std::int32_t lParam)>;

class Shell {
 public:
  virtual ~Shell() = default;

  // The handle of a form's window (the same for the whole run; never 0).
  std::uint32_t WindowHandle(const std::string& formName);
  // The form name of a handle, "" when unknown.
  std::string WindowName(std::uint32_t hWnd) const;
  // The handle of a window's icon (the tray shows the program's icon).
  std::uint32_t WindowIcon(std::uint32_t hWnd) const { return hWnd == 0 ? 0 : 0x10000 + hWnd; }

  // NIM_ADD, NIM_MODIFY or NIM_DELETE with the record; false when the shell refused it.
  virtual bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) = 0;
  // Whether the desktop has a notification area to hold the icon now. Without one a window
  // hidden "to the tray" could not be found again.
  virtual bool HasNotificationArea() const { return true; }

  // Pixels, screen coordinates; the client rectangle starts at 0, 0.
  virtual bool GetWindowRect(std::uint32_t hWnd, Rect* rect) = 0;
  virtual bool GetClientRect(std::uint32_t hWnd, Rect* rect) = 0;
  // insertAfter -1 HWND_TOPMOST, -2 HWND_NOTOPMOST; flags SWP_NOSIZE 1, SWP_NOMOVE 2.
  virtual bool SetWindowPos(std::uint32_t hWnd, std::int32_t insertAfter, int x, int y, int cx, int cy,
                            std::uint32_t flags) = 0;
  // The mouse pointer in screen pixels.
  virtual bool GetCursorPos(Point* point) = 0;

  // The value under which a procedure can be stored in a window's GWL_WNDPROC slot.
  std::int32_t RegisterWindowProcedure(WindowProcedure procedure);
  // GWL_WNDPROC: the window's current procedure (its default one until replaced). Other
  // indexes read 0.
  std::int32_t GetWindowLongA(std::uint32_t hWnd, std::int32_t index);
  // GWL_WNDPROC: installs a registered procedure and returns the previous one; an
  // unregistered value is refused (returns 0, nothing changes).
  std::int32_t SetWindowLongA(std::uint32_t hWnd, std::int32_t index, std::int32_t newLong);
  // Runs a procedure by its value (the window's default procedure for the default value).
  std::int32_t CallWindowProcA(std::int32_t procedure, std::uint32_t hWnd, std::uint32_t msg,
                               std::uint32_t wParam, std::int32_t lParam);
  // Delivers a message to the window's current procedure now.
  std::int32_t SendMessageA(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam, std::int32_t lParam);
  // Delivers later, from the event loop.
  virtual void PostMessageA(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam,
                            std::int32_t lParam) = 0;
  // Whether the window's procedure was replaced (SetWindowLongA).
  bool ProcedureReplaced(std::uint32_t hWnd) const { return installed_.count(hWnd) != 0; }
  // Posts to every window whose procedure was replaced.
  void BroadcastMessageA(std::uint32_t msg, std::uint32_t wParam, std::int32_t lParam);

 protected:
  // What a window does with a message nobody handled: the hit test says "client area" inside
  // the window rectangle and "nowhere" outside; everything else returns 0.
  virtual std::int32_t DefaultWindowProc(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam,
                                         std::int32_t lParam);

 private:
  static constexpr std::int32_t kDefaultProcedure = 1;
  std::map<std::string, std::uint32_t> handles_;
  std::vector<WindowProcedure> procedures_;  // value = index + 2
  std::map<std::uint32_t, std::int32_t> installed_;
};

// One call of the shell, as NullShell records it.
struct ShellCall {
  std::string name;  // "Shell_NotifyIconA", "SetWindowPos", "PostMessageA"
  std::uint32_t message = 0;
  NotifyIconData data;
  std::uint32_t hWnd = 0;
  std::int32_t insertAfter = 0;
  std::uint32_t flags = 0;
  std::uint32_t wParam = 0;
  std::int32_t lParam = 0;
};

// For the console and tests: no tray and no screen. Every call is recorded; the tray icon
// "exists" between NIM_ADD and NIM_DELETE; windows have the rectangles tests give them
// (0, 0, 0, 0 otherwise); posted messages are delivered at once, in order.
class NullShell : public Shell {
 public:
  bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;
  bool GetWindowRect(std::uint32_t hWnd, Rect* rect) override;
  bool GetClientRect(std::uint32_t hWnd, Rect* rect) override;
  bool SetWindowPos(std::uint32_t hWnd, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  bool GetCursorPos(Point* point) override;
  void PostMessageA(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam,
                    std::int32_t lParam) override;

  void SetWindowRects(std::uint32_t hWnd, Rect window, Rect client);
  const std::vector<ShellCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  bool TrayIconPresent() const { return trayIcon_; }
  bool HasNotificationArea() const override { return notificationArea_; }
  void SetNotificationArea(bool present) { notificationArea_ = present; }
  // The record of the last NIM_ADD or NIM_MODIFY.
  const NotifyIconData& TrayRecord() const { return tray_; }
  bool TopMost(std::uint32_t hWnd) const;

 private:
  std::vector<ShellCall> calls_;
  std::map<std::uint32_t, std::pair<Rect, Rect>> rects_;
  std::map<std::uint32_t, bool> topMost_;
  NotifyIconData tray_;
  bool trayIcon_ = false;
  bool notificationArea_ = true;
  bool delivering_ = false;
  std::vector<ShellCall> posted_;
};

}  // namespace veltrix::platform
