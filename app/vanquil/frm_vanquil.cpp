#include "app/vanquil/frm_vanquil.h"

#ifdef VELTRIX_HAVE_QT
#include <QApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#endif

#include <cstdlib>

namespace veltrix::app {

#ifdef VELTRIX_HAVE_QT

struct FrmVanquil::View {
  std::unique_ptr<QApplication> app;
  std::unique_ptr<QWidget> window;
};

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

// Ends the wait for the first paint of a window.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(QEventLoop& loop) : loop_(loop) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) loop_.quit();
    return QObject::eventFilter(watched, event);
  }

 private:
  QEventLoop& loop_;
};

}  // namespace

FrmVanquil::FrmVanquil(int& argc, char** argv) {
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) return;
  // A display that cannot be reached must not stop the clean-up: fall back to drawing
  // nowhere.
  if (!Set("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb;wayland;offscreen");
  // The window is a courtesy: the toolkit's complaints (an unreachable display, a missing
  // plugin) are not the user's business, and vanquil prints nothing when all is well.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  view_ = std::make_unique<View>();
  view_->app = std::make_unique<QApplication>(argc, argv);
  auto& window = view_->window;
  window = std::make_unique<QWidget>(
      nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
  window->setObjectName(QStringLiteral("frmVanquil"));
  window->setWindowTitle(QStringLiteral("Vanquil"));
  auto* frame = new QGroupBox(window.get());
  frame->setObjectName(QStringLiteral("frame1"));
  auto* label = new QLabel(QStringLiteral("Deletting Windows Registry....."), frame);
  label->setObjectName(QStringLiteral("lblDeletting"));
  label->setFont(QFont(QStringLiteral("Arial"), 11));
  label->setAlignment(Qt::AlignCenter);
  auto* inner = new QVBoxLayout(frame);
  inner->addWidget(label);
  auto* outer = new QVBoxLayout(window.get());
  outer->setContentsMargins(12, 8, 12, 12);
  outer->addWidget(frame);
  window->setFixedSize(360, 96);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window->move(screen->availableGeometry().center() - window->rect().center());
  }

  QEventLoop loop;
  FirstPaint painted(loop);
  window->installEventFilter(&painted);
  window->show();
  window->raise();
  QTimer::singleShot(1000, &loop, &QEventLoop::quit);
  loop.exec();
  window->removeEventFilter(&painted);
  QApplication::processEvents();  // what was painted reaches the screen
}

FrmVanquil::~FrmVanquil() {
  if (!view_) return;
  view_->window->hide();
  view_->window.reset();  // before the application it belongs to
  view_->app.reset();
}

#else

struct FrmVanquil::View {};
FrmVanquil::FrmVanquil(int& /*argc*/, char** /*argv*/) {}
FrmVanquil::~FrmVanquil() = default;

#endif

}  // namespace veltrix::app
