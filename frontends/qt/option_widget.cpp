#include "frontends/qt/option_widget.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "frontends/qt/skin.h"

namespace veltrix::qt {

OptionWidget::OptionWidget(QWidget* parent) : QRadioButton(parent) {
  setAutoExclusive(false);  // the model clears the siblings
}

void OptionWidget::paintEvent(QPaintEvent* event) {
  QRadioButton::paintEvent(event);
  if (!isChecked()) return;
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRectF ring = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(isEnabled() ? skin::kAccent : skin::kDimText);
  const double inset = ring.width() * 0.2;
  p.drawEllipse(ring.adjusted(inset, inset, -inset, -inset));
}

}  // namespace veltrix::qt
