#pragma once
// Chooses an entry of the next pop-up menu the way a person does: once QMenu::exec shows the
// menu, the pointer moves onto the entry, presses and releases.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

namespace veltrix::qt {

// `seen` receives the menu's entries. Gives up after about two seconds without a menu.
inline void ClickNextPopupEntry(const QString& text, QStringList* seen) {
  // The pending timer owns the attempt; the attempt only knows itself weakly, so nothing is
  // left behind once the menu is found or the time is up.
  auto attempt = std::make_shared<std::function<void(int)>>();
  std::weak_ptr<std::function<void(int)>> self = attempt;
  *attempt = [text, seen, self](int left) {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr || !menu->isVisible()) {
      if (auto again = self.lock(); again && left > 0) {
        QTimer::singleShot(10, [again, left] { (*again)(left - 1); });
      }
      return;
    }
    QAction* target = nullptr;
    for (QAction* a : menu->actions()) {
      if (seen != nullptr) *seen << a->text();
      if (a->text() == text) target = a;
    }
    if (target == nullptr) {
      menu->close();
      return;
    }
    const QPoint at = menu->actionGeometry(target).center();
    const QPoint global = menu->mapToGlobal(at);
    QMouseEvent move(QEvent::MouseMove, at, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(menu, &move);
    QApplication::sendEvent(menu, &press);
    QApplication::sendEvent(menu, &release);
    // Offscreen the pointer may not count as moved; the keyboard picks the same entry then.
    if (menu->isVisible()) {
      menu->setActiveAction(target);
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(menu, &enter);
    }
  };
  QTimer::singleShot(0, [attempt] { (*attempt)(200); });
}

}  // namespace veltrix::qt
