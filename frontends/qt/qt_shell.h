#pragma once
// The desktop shell for the Qt front end:
// - the notification-area icon (QSystemTrayIcon): NIM_ADD / NIM_MODIFY / NIM_DELETE with the
//   record's tip (its CR LF lines become lines; trailing blanks go); hovering, a double click
//   and the context click reach the record's window as its callback message with lParam
//   0x200 (move), 0x203 (left double click) and 0x205 (right button up);
// - window rectangles and z-order of the forms' windows;
// - the hit test: a left press in a window with a replaced procedure asks it WM_NCHITTEST;
//   HTCAPTION drags the window (frameless windows are moved by their title picture);
// - power notifications from logind's PrepareForSleep over the system bus, broadcast as
//   WM_POWERBROADCAST (4 suspend, 7 resume). Without a system bus this is logged once;
// - the machine going down (logind's PrepareForShutdown(true)): onSystemShutdown runs, and the
//   app ends the program there the orderly way.
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/system/shell.h"

class QSystemTrayIcon;
class QWidget;

namespace veltrix::qt {

class FormRenderer;

class QtShell : public QObject, public platform::Shell {
  Q_OBJECT

 public:
  // `trayIcon` is the icon shown in the notification area.
  QtShell(FormRenderer& renderer, QIcon trayIcon);
  ~QtShell() override;

  bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconData& data) override;
  bool HasNotificationArea() const override { return assumedTray_.value_or(TrayAvailable()); }
  bool GetWindowRect(std::uint32_t hWnd, platform::Rect* rect) override;
  bool GetClientRect(std::uint32_t hWnd, platform::Rect* rect) override;
  bool SetWindowPos(std::uint32_t hWnd, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  bool GetCursorPos(platform::Point* point) override;
  void PostMessageA(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam,
                    std::int32_t lParam) override;

  // Whether the desktop has a notification area. Without one the program's main window is
  // shown instead of hidden, or it would be unreachable.
  static bool TrayAvailable();
  // Tests on a platform without a tray host: act as if there were one (or not).
  void AssumeTray(bool present) { assumedTray_ = present; }
  QSystemTrayIcon* TrayIcon() const { return tray_.get(); }
  // The tip as shown (lines joined with "\n").
  static QString TipForDisplay(const platform::NotifyIconData& data);

  // Subscribes to the system's sleep and shut-down notifications; false (logged once)
  // without a system bus.
  bool WatchPowerEvents();
  // Run (guarded) when logind announces that the machine shuts down or reboots.
  std::function<void()> onSystemShutdown;
  // What a tray event sends (the simulator's tray click, tests): the callback message to the
  // record's window.
  void TrayMouse(std::int32_t mouseMessage);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void PrepareForSleep(bool start);
  void PrepareForShutdown(bool start);

 private:
  QWidget* Window(std::uint32_t hWnd) const;
  bool Drag(QWidget* window, const QPoint& globalPos);

  FormRenderer& renderer_;
  QIcon trayIcon_;
  std::unique_ptr<QSystemTrayIcon> tray_;
  platform::NotifyIconData record_;
  QPointer<QWidget> dragging_;
  QPoint dragOffset_;
  quint64 lastPress_ = 0;
  std::optional<bool> assumedTray_;
};

}  // namespace veltrix::qt
