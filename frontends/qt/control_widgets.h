#pragma once
// Widgets of the controls that have no ready-made Qt counterpart: the gauge (a slider that
// shows its limit window), the spin arrows of an up/down control, a picture box with its
// persistent drawing, and a line. They paint from the model control they show and report
// input through callbacks; they never hold state of their own.
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "platform/forms/control.h"

namespace veltrix::qt {

// Twips to pixels (15 twips = 1 pixel at 96 DPI).
constexpr int Px(int twips) {
  return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}

// A horizontal gauge: the track, the highlighted window SelStart..SelStart+SelLength and a
// marker at Value. Min above Max is a reversed scale. Still drawn when disabled (greyed).
class GaugeWidget : public QWidget {
 public:
  GaugeWidget(forms::Slider& slider, QWidget* parent);
  std::function<void(int value)> onUserValue;
  // The value at a horizontal pixel position.
  int ValueAt(int x) const;
  // The horizontal pixel position of a value.
  double XOf(double value) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  forms::Slider& slider_;
};

// The two arrows of an up/down control, stacked (upper = up). A click reports +1 or -1.
class SpinArrows : public QWidget {
 public:
  SpinArrows(forms::UpDown& updown, QWidget* parent);
  std::function<void(int direction)> onStep;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  forms::UpDown& updown_;
  int pressed_ = 0;
};

// A picture box: its picture at the top-left corner, then its drawn lines (twips). The lines
// are painted once into a canvas; a repaint adds only the lines drawn since, so a picture
// that accumulates a long path costs no more to show than a fresh one. The canvas is made
// again when the picture, the size or the drawing's erasures change.
class DrawingWidget : public QWidget {
 public:
  DrawingWidget(forms::PictureBox& box, QWidget* parent);
  void SetPixmap(const QPixmap& pixmap);
  // Lines painted into the canvas so far (tests).
  std::size_t PaintedLines() const { return painted_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void BringCanvasUpToDate();

  forms::PictureBox& box_;
  QPixmap pixmap_;
  QImage canvas_;
  std::size_t painted_ = 0;
  std::uint64_t erasures_ = 0;
  bool stale_ = true;
};

// A line control: a transparent widget spanning the line's bounding box. A line of zero
// length shows as a dot as wide as the line.
class LineWidget : public QWidget {
 public:
  LineWidget(forms::LineControl& line, QWidget* parent);
  // Moves and resizes the widget to the line's ends.
  void Sync();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  forms::LineControl& line_;
};

}  // namespace veltrix::qt
