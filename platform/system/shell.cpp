// Window handles, the window-procedure slots and the recording shell of the console.
#include "platform/system/shell.h"

#include <algorithm>
#include <cstring>

namespace veltrix::platform {

std::string TipText(const NotifyIconData& data) {
  const char* end = static_cast<const char*>(std::memchr(data.szTip, '\0', sizeof data.szTip));
  return std::string(data.szTip,
                     end == nullptr ? sizeof data.szTip : static_cast<std::size_t>(end - data.szTip));
}

std::uint32_t Shell::WindowHandle(const std::string& formName) {
  auto it = handles_.find(formName);
  if (it != handles_.end()) return it->second;
  // Small even numbers, like real window handles; never 0.
  const auto handle = static_cast<std::uint32_t>(0x100 + 4 * handles_.size());
  handles_.emplace(formName, handle);
  return handle;
}

std::string Shell::WindowName(std::uint32_t hWnd) const {
  for (const auto& [name, handle] : handles_) {
    if (handle == hWnd) return name;
  }
  return {};
}

std::int32_t Shell::RegisterWindowProcedure(WindowProcedure procedure) {
  procedures_.push_back(std::move(procedure));
  return static_cast<std::int32_t>(procedures_.size()) + kDefaultProcedure;
}

std::int32_t Shell::GetWindowLongA(std::uint32_t hWnd, std::int32_t index) {
  if (index != GWL_WNDPROC || hWnd == 0) return 0;
  auto it = installed_.find(hWnd);
  return it == installed_.end() ? kDefaultProcedure : it->second;
}

std::int32_t Shell::SetWindowLongA(std::uint32_t hWnd, std::int32_t index, std::int32_t newLong) {
  if (index != GWL_WNDPROC || hWnd == 0) return 0;
  const bool known = newLong == kDefaultProcedure ||
                     (newLong > kDefaultProcedure &&
                      newLong - kDefaultProcedure <= static_cast<std::int32_t>(procedures_.size()));
  if (!known) return 0;
  const std::int32_t previous = GetWindowLongA(hWnd, index);
  if (newLong == kDefaultProcedure) {
    installed_.erase(hWnd);
  } else {
    installed_[hWnd] = newLong;
  }
  return previous;
}

std::int32_t Shell::CallWindowProcA(std::int32_t procedure, std::uint32_t hWnd, std::uint32_t msg,
                                    std::uint32_t wParam, std::int32_t lParam) {
  if (procedure > kDefaultProcedure &&
      procedure - kDefaultProcedure <= static_cast<std::int32_t>(procedures_.size())) {
    // A copy: the procedure may replace itself while it runs.
    WindowProcedure proc = procedures_[static_cast<std::size_t>(procedure - kDefaultProcedure - 1)];
    return proc(hWnd, msg, wParam, lParam);
  }
  return DefaultWindowProc(hWnd, msg, wParam, lParam);
}

std::int32_t Shell::SendMessageA(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam,
                                 std::int32_t lParam) {
  return CallWindowProcA(GetWindowLongA(hWnd, GWL_WNDPROC), hWnd, msg, wParam, lParam);
}

void Shell::BroadcastMessageA(std::uint32_t msg, std::uint32_t wParam, std::int32_t lParam) {
  std::vector<std::uint32_t> targets;
  for (const auto& [hWnd, proc] : installed_) targets.push_back(hWnd);
  for (std::uint32_t hWnd : targets) PostMessageA(hWnd, msg, wParam, lParam);
}

std::int32_t Shell::DefaultWindowProc(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t /*wParam*/,
                                      std::int32_t lParam) {
  if (msg != WM_NCHITTEST) return 0;
  Rect w;
  if (!GetWindowRect(hWnd, &w)) return HTNOWHERE;
  const int x = LowWord(lParam);
  const int y = HighWord(lParam);
  return x >= w.left && x < w.right && y >= w.top && y < w.bottom ? HTCLIENT : HTNOWHERE;
}

// ---- NullShell -------------------------------------------------------------------------------

bool NullShell::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  ShellCall call;
  call.name = "Shell_NotifyIconA";
  call.message = message;
  call.data = data;
  call.hWnd = data.hWnd;
  calls_.push_back(call);
  switch (message) {
    case NIM_ADD:
      if (trayIcon_) return false;
      trayIcon_ = true;
      tray_ = data;
      return true;
    case NIM_MODIFY:
      if (!trayIcon_) return false;
      tray_ = data;
      return true;
    case NIM_DELETE:
      if (!trayIcon_) return false;
      trayIcon_ = false;
      return true;
    default:
      return false;
  }
}

bool NullShell::GetWindowRect(std::uint32_t hWnd, Rect* rect) {
  auto it = rects_.find(hWnd);
  *rect = it == rects_.end() ? Rect{} : it->second.first;
  return hWnd != 0;
}

bool NullShell::GetClientRect(std::uint32_t hWnd, Rect* rect) {
  auto it = rects_.find(hWnd);
  *rect = it == rects_.end() ? Rect{} : it->second.second;
  return hWnd != 0;
}

bool NullShell::SetWindowPos(std::uint32_t hWnd, std::int32_t insertAfter, int /*x*/, int /*y*/, int /*cx*/,
                             int /*cy*/, std::uint32_t flags) {
  ShellCall call;
  call.name = "SetWindowPos";
  call.hWnd = hWnd;
  call.insertAfter = insertAfter;
  call.flags = flags;
  calls_.push_back(call);
  if (insertAfter == -1) topMost_[hWnd] = true;
  if (insertAfter == -2) topMost_[hWnd] = false;
  return hWnd != 0;
}

bool NullShell::GetCursorPos(Point* point) {
  *point = Point{};
  return true;
}

void NullShell::PostMessageA(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam,
                             std::int32_t lParam) {
  ShellCall call;
  call.name = "PostMessageA";
  call.hWnd = hWnd;
  call.message = msg;
  call.wParam = wParam;
  call.lParam = lParam;
  calls_.push_back(call);
  posted_.push_back(call);
  // A message posted while one is being delivered waits until that one has returned.
  if (delivering_) return;
  delivering_ = true;
  try {
    while (!posted_.empty()) {
      const ShellCall next = posted_.front();
      posted_.erase(posted_.begin());
      SendMessageA(next.hWnd, next.message, next.wParam, next.lParam);
    }
  } catch (...) {
    // The program ended inside a procedure: what was still queued is dropped with it.
    posted_.clear();
    delivering_ = false;
    throw;
  }
  delivering_ = false;
}

void NullShell::SetWindowRects(std::uint32_t hWnd, Rect window, Rect client) {
  rects_[hWnd] = {window, client};
}

bool NullShell::TopMost(std::uint32_t hWnd) const {
  auto it = topMost_.find(hWnd);
  return it != topMost_.end() && it->second;
}

}  // namespace veltrix::platform
