#pragma once
// An animated picture control. Its frames come decoded from the picture cache; it advances
// them on a timer only while it can be seen: the control, its page and its window shown and
// the window not minimised. A hidden window in the tray costs nothing.
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "frontends/qt/program_files.h"

namespace veltrix::qt {

class AnimationWidget : public QWidget {
 public:
  explicit AnimationWidget(QWidget* parent);

  // The animation to show (nullptr: nothing); starts at its first frame.
  void SetAnimation(std::shared_ptr<const Animation> animation);
  // Whether the program wants it to play (a paused animation keeps its frame).
  void SetPlaying(bool playing);

  // The frame timer is running.
  bool Running() const { return timer_.isActive(); }
  int Frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Starts or stops the frame timer as the widget can be seen or not.
  void Update();
  void Advance();
  bool Seen() const;

  std::shared_ptr<const Animation> animation_;
  QTimer timer_;
  QPointer<QWidget> watchedWindow_;
  int frame_ = 0;
  bool playing_ = true;
};

}  // namespace veltrix::qt
