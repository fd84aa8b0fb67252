#include "frontends/qt/skin.h"

namespace veltrix::qt::skin {

QPalette Palette() {
  QPalette p;
  p.setColor(QPalette::Window, kWindow);
  p.setColor(QPalette::WindowText, kText);
  p.setColor(QPalette::Base, kPanel);
  p.setColor(QPalette::AlternateBase, kTrack);
  p.setColor(QPalette::Text, kText);
  p.setColor(QPalette::Button, kPanel);
  p.setColor(QPalette::ButtonText, kText);
  p.setColor(QPalette::Highlight, kAccent);
  p.setColor(QPalette::HighlightedText, kWindow);
  p.setColor(QPalette::ToolTipBase, kPanel);
  p.setColor(QPalette::ToolTipText, kText);
  p.setColor(QPalette::Light, kBorder);
  p.setColor(QPalette::Midlight, kBorder);
  p.setColor(QPalette::Mid, kTrack);
  p.setColor(QPalette::Dark, QColor(0x12, 0x15, 0x19));
  p.setColor(QPalette::Shadow, QColor(0x0c, 0x0e, 0x10));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, kDimText);
  }
  return p;
}

QFont Font(int pointSize, bool bold) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPointSizeF(pointSize > 0 ? pointSize * 0.9 : 8.0);
  f.setBold(bold);
  return f;
}

}  // namespace veltrix::qt::skin
