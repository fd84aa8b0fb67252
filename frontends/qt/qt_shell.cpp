#include "frontends/qt/qt_shell.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QLabel>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <iostream>

#include "frontends/qt/event_guard.h"
#include "frontends/qt/form_renderer.h"

namespace veltrix::qt {

QtShell::QtShell(FormRenderer& renderer, QIcon trayIcon)
    : renderer_(renderer), trayIcon_(std::move(trayIcon)) {
  qApp->installEventFilter(this);
}

QtShell::~QtShell() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

bool QtShell::TrayAvailable() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

QString QtShell::TipForDisplay(const platform::NotifyIconData& data) {
  QStringList lines = QString::fromStdString(platform::TipText(data)).split(QStringLiteral("\r\n"));
  for (QString& line : lines) {
    while (line.endsWith(' ')) line.chop(1);
  }
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines.join('\n');
}

bool QtShell::Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconData& data) {
  switch (message) {
    case platform::NIM_ADD:
      if (tray_) return false;
      record_ = data;
      tray_ = std::make_unique<QSystemTrayIcon>(trayIcon_);
      tray_->setToolTip(TipForDisplay(data));
      connect(tray_.get(), &QSystemTrayIcon::activated, this,
              [this](QSystemTrayIcon::ActivationReason reason) {
                // The shell reports the pointer over the icon before any click, as the desktop does.
                TrayMouse(platform::WM_MOUSEMOVE);
                if (reason == QSystemTrayIcon::DoubleClick) TrayMouse(platform::WM_LBUTTONDBLCLK);
                if (reason == QSystemTrayIcon::Context) TrayMouse(platform::WM_RBUTTONUP);
              });
      if (TrayAvailable()) tray_->show();
      return true;
    case platform::NIM_MODIFY: {
      if (!tray_) return false;
      record_ = data;
      // The tip is refreshed every monitoring tick; the tray host hears only real changes.
      const QString tip = TipForDisplay(data);
      if (tip != tray_->toolTip()) tray_->setToolTip(tip);
      return true;
    }
    case platform::NIM_DELETE:
      if (!tray_) return false;
      tray_->hide();
      // Deleted later: the removal may come from the icon's own menu.
      tray_.release()->deleteLater();
      return true;
    default:
      return false;
  }
}

void QtShell::TrayMouse(std::int32_t mouseMessage) {
  if (!tray_ || (record_.uFlags & platform::NIF_MESSAGE) == 0) return;
  const std::uint32_t hWnd = record_.hWnd;
  const std::uint32_t msg = record_.uCallbackMessage;
  Guarded([&] { SendMessageA(hWnd, msg, record_.uID, mouseMessage); });
}

QWidget* QtShell::Window(std::uint32_t hWnd) const {
  const std::string name = WindowName(hWnd);
  return name.empty() ? nullptr : renderer_.WindowOf(name);
}

bool QtShell::GetWindowRect(std::uint32_t hWnd, platform::Rect* rect) {
  QWidget* w = Window(hWnd);
  if (w == nullptr) {
    *rect = {};
    return false;
  }
  const QRect g = w->frameGeometry();
  *rect = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  return true;
}

bool QtShell::GetClientRect(std::uint32_t hWnd, platform::Rect* rect) {
  QWidget* w = Window(hWnd);
  if (w == nullptr) {
    *rect = {};
    return false;
  }
  *rect = {0, 0, w->width(), w->height()};
  return true;
}

bool QtShell::SetWindowPos(std::uint32_t hWnd, std::int32_t insertAfter, int x, int y, int cx, int cy,
                           std::uint32_t flags) {
  QWidget* w = Window(hWnd);
  if (w == nullptr) return false;
  if (insertAfter == -1 || insertAfter == -2) {
    const bool visible = w->isVisible();
    w->setWindowFlag(Qt::WindowStaysOnTopHint, insertAfter == -1);
    if (visible) w->show();
  }
  if ((flags & 0x2) == 0) w->move(x, y);
  if ((flags & 0x1) == 0) w->resize(cx, cy);
  return true;
}

bool QtShell::GetCursorPos(platform::Point* point) {
  const QPoint p = QCursor::pos();
  *point = {p.x(), p.y()};
  return true;
}

void QtShell::PostMessageA(std::uint32_t hWnd, std::uint32_t msg, std::uint32_t wParam, std::int32_t lParam) {
  QTimer::singleShot(0, this, [this, hWnd, msg, wParam, lParam] {
    Guarded([&] { SendMessageA(hWnd, msg, wParam, lParam); });
  });
}

bool QtShell::WatchPowerEvents() {
  QDBusConnection bus = QDBusConnection::systemBus();
  auto watch = [&](const char* signal, const char* slot) {
    return bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                       QStringLiteral("org.freedesktop.login1.Manager"), QString::fromLatin1(signal), this, slot);
  };
  const bool ok = bus.isConnected() && watch("PrepareForSleep", SLOT(PrepareForSleep(bool))) &&
                  watch("PrepareForShutdown", SLOT(PrepareForShutdown(bool)));
  if (!ok) std::cerr << "veltrix: no system bus: suspend and resume will not be noticed\n";
  return ok;
}

void QtShell::PrepareForSleep(bool start) {
  BroadcastMessageA(platform::WM_POWERBROADCAST,
                    start ? platform::PBT_APMSUSPEND : platform::PBT_APMRESUMESUSPEND, 0);
}

void QtShell::PrepareForShutdown(bool start) {
  if (start && onSystemShutdown) Guarded(onSystemShutdown);
}

bool QtShell::Drag(QWidget* window, const QPoint& globalPos) {
  if (QWindow* handle = window->windowHandle(); handle != nullptr && handle->startSystemMove()) return true;
  // No system move on this platform: follow the mouse until the button is released.
  dragging_ = window;
  dragOffset_ = globalPos - window->frameGeometry().topLeft();
  return true;
}

bool QtShell::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) {
    return false;
  }
  auto* me = static_cast<QMouseEvent*>(event);
  if (dragging_) {
    if (type == QEvent::MouseMove) dragging_->move(me->globalPosition().toPoint() - dragOffset_);
    if (type == QEvent::MouseButtonRelease) dragging_.clear();
    return true;
  }
  if (type != QEvent::MouseButtonPress || me->button() != Qt::LeftButton) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return false;
  // A press not taken by a child travels up to its parents: ask once per press.
  if (me->timestamp() == lastPress_ && lastPress_ != 0) return false;
  lastPress_ = me->timestamp();
  // Windowless controls (labels, images) are part of their window's surface: the window is
  // asked. Controls with a window of their own (buttons, picture boxes) take the press.
  QWidget* window = widget->window();
  if (widget != window && qobject_cast<QLabel*>(widget) == nullptr) return false;
  widget = window;
  forms::Form* form = renderer_.FormOfWindow(widget);
  if (form == nullptr) return false;
  const std::uint32_t hWnd = WindowHandle(form->Name());
  if (!ProcedureReplaced(hWnd)) return false;
  const QPoint global = me->globalPosition().toPoint();
  std::int32_t hit = platform::HTCLIENT;
  Guarded([&] {
    hit = SendMessageA(hWnd, platform::WM_NCHITTEST, 0, platform::MakeLParam(global.x(), global.y()));
  });
  if (hit != platform::HTCAPTION) return false;
  return Drag(widget, global);
}

}  // namespace veltrix::qt
