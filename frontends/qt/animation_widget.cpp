#include "frontends/qt/animation_widget.h"

#include <QEvent>
#include <QPainter>

namespace veltrix::qt {

AnimationWidget::AnimationWidget(QWidget* parent) : QWidget(parent) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { Advance(); });
}

void AnimationWidget::SetAnimation(std::shared_ptr<const Animation> animation) {
  if (animation == animation_) return;
  animation_ = std::move(animation);
  frame_ = 0;
  timer_.stop();
  Update();
  update();
}

void AnimationWidget::SetPlaying(bool playing) {
  playing_ = playing;
  Update();
}

bool AnimationWidget::Seen() const {
  const QWidget* window = this->window();
  return isVisible() && window != nullptr && !window->isMinimized();
}

void AnimationWidget::Update() {
  // The window's state changes (minimised, restored) reach the widget through a filter.
  if (QWidget* window = this->window(); window != watchedWindow_) {
    if (watchedWindow_) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = window;
    if (window != nullptr && window != this) window->installEventFilter(this);
  }
  const bool run = playing_ && animation_ && animation_->frames.size() > 1 && Seen();
  if (!run) {
    timer_.stop();
  } else if (!timer_.isActive()) {
    timer_.start(animation_->delaysMs.value(frame_, 100));
  }
}

void AnimationWidget::Advance() {
  if (!animation_ || animation_->frames.isEmpty()) return;
  frame_ = (frame_ + 1) % static_cast<int>(animation_->frames.size());
  update();
  Update();
}

void AnimationWidget::paintEvent(QPaintEvent* /*event*/) {
  if (!animation_ || animation_->frames.isEmpty()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawPixmap(rect(), animation_->frames.at(frame_));
}

void AnimationWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Update();
}

void AnimationWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Update();
}

bool AnimationWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedWindow_ && event->type() == QEvent::WindowStateChange) Update();
  return false;
}

}  // namespace veltrix::qt
