#pragma once
// The desktop skin: a dark hardware-monitor look. Controls whose colours are the toolkit's
// system defaults (button face, window text) take these; colours the program sets
// explicitly (the red and green status labels) are shown as set.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <cstdint>

namespace veltrix::qt::skin {

inline const QColor kWindow{0x1b, 0x1f, 0x24};
inline const QColor kPanel{0x23, 0x29, 0x30};
inline const QColor kBorder{0x3a, 0x44, 0x4f};
inline const QColor kText{0xd9, 0xdf, 0xe6};
inline const QColor kDimText{0x7d, 0x88, 0x94};
inline const QColor kAccent{0x3c, 0xb4, 0xf0};
inline const QColor kTrack{0x2d, 0x35, 0x3e};
inline const QColor kWindowRange{0x2f, 0x8f, 0x5b};  // the limit window on a gauge
inline const QColor kMarker{0xf2, 0xf5, 0xf8};

// A COLORREF (0x00BBGGRR) as a colour.
inline QColor FromColorRef(std::uint32_t c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

QPalette Palette();
// Point size and weight of the model on the skin's font.
QFont Font(int pointSize, bool bold);

}  // namespace veltrix::qt::skin
