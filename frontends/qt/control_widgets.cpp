#include "frontends/qt/control_widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "frontends/qt/skin.h"

namespace veltrix::qt {

namespace {
constexpr int kGaugeMargin = 6;  // pixels left and right of the track, room for the marker
}

// ---- GaugeWidget ------------------------------------------------------------------------------

GaugeWidget::GaugeWidget(forms::Slider& slider, QWidget* parent) : QWidget(parent), slider_(slider) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

double GaugeWidget::XOf(double value) const {
  const int lo = slider_.Min;
  const int hi = slider_.Max;
  const double span = hi - lo;
  const double usable = std::max(1, width() - 2 * kGaugeMargin);
  const double fraction = span == 0 ? 0.0 : (value - lo) / span;
  return kGaugeMargin + std::clamp(fraction, 0.0, 1.0) * usable;
}

int GaugeWidget::ValueAt(int x) const {
  const int lo = slider_.Min;
  const int hi = slider_.Max;
  const double usable = std::max(1, width() - 2 * kGaugeMargin);
  const double fraction = std::clamp((x - kGaugeMargin) / usable, 0.0, 1.0);
  return static_cast<int>(std::lround(lo + fraction * (hi - lo)));
}

void GaugeWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const bool enabled = isEnabled();
  const double mid = height() / 2.0;
  const double trackHeight = std::max(4.0, height() / 4.0);
  const QRectF track(kGaugeMargin, mid - trackHeight / 2, width() - 2 * kGaugeMargin, trackHeight);
  p.setPen(Qt::NoPen);
  p.setBrush(skin::kTrack);
  p.drawRoundedRect(track, trackHeight / 2, trackHeight / 2);

  // The limit window.
  const int selStart = slider_.SelStart;
  const int selLength = slider_.SelLength;
  if (selLength != 0) {
    double x1 = XOf(selStart);
    double x2 = XOf(static_cast<double>(selStart) + selLength);
    if (x2 < x1) std::swap(x1, x2);
    QColor c = skin::kWindowRange;
    if (!enabled) c = c.darker(170);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(x1, track.top(), std::max(2.0, x2 - x1), track.height()), trackHeight / 2,
                      trackHeight / 2);
  }

  // Tick marks every tenth of the scale.
  p.setPen(QPen(skin::kBorder, 1));
  for (int i = 0; i <= 10; ++i) {
    const double x = kGaugeMargin + i * (width() - 2.0 * kGaugeMargin) / 10.0;
    p.drawLine(QPointF(x, track.bottom() + 2), QPointF(x, track.bottom() + (i % 5 == 0 ? 6 : 4)));
  }

  // The marker: a small pointer above the track.
  const double x = XOf(slider_.Value.Get());
  QPainterPath marker;
  const double top = std::max(0.0, track.top() - 7);
  marker.moveTo(x - 5, top);
  marker.lineTo(x + 5, top);
  marker.lineTo(x, track.top() + 1);
  marker.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(enabled ? skin::kMarker : skin::kDimText);
  p.drawPath(marker);
  p.fillRect(QRectF(x - 1, track.top(), 2, track.height()), enabled ? skin::kMarker : skin::kDimText);
  if (hasFocus()) {
    p.setPen(QPen(skin::kAccent, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void GaugeWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && onUserValue) onUserValue(ValueAt(event->position().toPoint().x()));
}

void GaugeWidget::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) && onUserValue)
    onUserValue(ValueAt(event->position().toPoint().x()));
}

void GaugeWidget::keyPressEvent(QKeyEvent* event) {
  if (!onUserValue) return;
  const int step = slider_.Max >= slider_.Min ? 1 : -1;
  if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Up) {
    onUserValue(slider_.Value + step);
  } else if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Down) {
    onUserValue(slider_.Value - step);
  } else {
    QWidget::keyPressEvent(event);
  }
}

// ---- SpinArrows -------------------------------------------------------------------------------

SpinArrows::SpinArrows(forms::UpDown& updown, QWidget* parent) : QWidget(parent), updown_(updown) {}

void SpinArrows::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const bool enabled = isEnabled();
  const int half = height() / 2;
  for (int part = 0; part < 2; ++part) {
    const QRectF r(0.5, part * half + 0.5, width() - 1.0, (part == 0 ? half : height() - half) - 1.0);
    const bool down = pressed_ == (part == 0 ? 1 : -1);
    p.setPen(QPen(skin::kBorder, 1));
    p.setBrush(down ? skin::kTrack : skin::kPanel);
    p.drawRoundedRect(r, 2, 2);
    const double cx = r.center().x();
    const double cy = r.center().y();
    const double w = std::min(r.width(), r.height()) * 0.28;
    QPainterPath arrow;
    if (part == 0) {
      arrow.moveTo(cx - w, cy + w / 2);
      arrow.lineTo(cx + w, cy + w / 2);
      arrow.lineTo(cx, cy - w / 2);
    } else {
      arrow.moveTo(cx - w, cy - w / 2);
      arrow.lineTo(cx + w, cy - w / 2);
      arrow.lineTo(cx, cy + w / 2);
    }
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(enabled ? skin::kText : skin::kDimText);
    p.drawPath(arrow);
  }
}

void SpinArrows::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = event->position().y() < height() / 2.0 ? 1 : -1;
  update();
  if (onStep) onStep(pressed_);
}

void SpinArrows::mouseReleaseEvent(QMouseEvent* /*event*/) {
  pressed_ = 0;
  update();
}

// ---- DrawingWidget ----------------------------------------------------------------------------

DrawingWidget::DrawingWidget(forms::PictureBox& box, QWidget* parent) : QWidget(parent), box_(box) {}

void DrawingWidget::SetPixmap(const QPixmap& pixmap) {
  pixmap_ = pixmap;
  stale_ = true;
  update();
}

namespace {

Qt::PenStyle PenStyle(int drawStyle) {
  switch (drawStyle) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    case 4:
      return Qt::DashDotDotLine;
    case 5:
      return Qt::NoPen;
    default:
      return Qt::SolidLine;
  }
}

}  // namespace

void DrawingWidget::BringCanvasUpToDate() {
  const std::vector<forms::DrawnLine>& lines = box_.Lines();
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = size() * ratio;
  if (stale_ || canvas_.size() != pixels || box_.Erasures() != erasures_ || lines.size() < painted_) {
    canvas_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    canvas_.setDevicePixelRatio(ratio);
    canvas_.fill(Qt::transparent);
    if (!pixmap_.isNull()) {
      QPainter p(&canvas_);
      p.drawPixmap(0, 0, pixmap_);
    }
    painted_ = 0;
    erasures_ = box_.Erasures();
    stale_ = false;
  }
  if (painted_ == lines.size()) return;
  QPainter p(&canvas_);
  p.setRenderHint(QPainter::Antialiasing);
  for (std::size_t i = painted_; i < lines.size(); ++i) {
    const forms::DrawnLine& l = lines[i];
    QPen pen(skin::FromColorRef(l.color), std::max(1, l.width), PenStyle(l.style));
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    const QPointF from(l.x1 / 15.0, l.y1 / 15.0);
    const QPointF to(l.x2 / 15.0, l.y2 / 15.0);
    if (from == to) {
      p.drawPoint(from);
    } else {
      p.drawLine(from, to);
    }
  }
  painted_ = lines.size();
}

void DrawingWidget::paintEvent(QPaintEvent* /*event*/) {
  BringCanvasUpToDate();
  QPainter p(this);
  p.drawImage(0, 0, canvas_);
}

// ---- LineWidget -------------------------------------------------------------------------------

LineWidget::LineWidget(forms::LineControl& line, QWidget* parent) : QWidget(parent), line_(line) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void LineWidget::Sync() {
  const int pad = std::max(1, line_.BorderWidth.Get());
  const int x1 = Px(line_.X1);
  const int y1 = Px(line_.Y1);
  const int x2 = Px(line_.X2);
  const int y2 = Px(line_.Y2);
  setGeometry(std::min(x1, x2) - pad, std::min(y1, y2) - pad, std::abs(x2 - x1) + 2 * pad + 1,
              std::abs(y2 - y1) + 2 * pad + 1);
  update();
}

void LineWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  const QPoint origin = pos();
  QPen pen(skin::FromColorRef(line_.BorderColor), std::max(1, line_.BorderWidth.Get()));
  const QPoint from = QPoint(Px(line_.X1), Px(line_.Y1)) - origin;
  const QPoint to = QPoint(Px(line_.X2), Px(line_.Y2)) - origin;
  if (from == to) {
    pen.setCapStyle(Qt::RoundCap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pen);
    p.drawPoint(from);
    return;
  }
  p.setPen(pen);
  p.drawLine(from, to);
}

}  // namespace veltrix::qt
