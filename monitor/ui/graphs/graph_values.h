#pragma once
// Small pieces the graph windows share: reading the main window's captions, the time stamps
// of the time axis, the word that opens a mouse read-out, and keeping plot coordinates sane.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system/system.h"

namespace veltrix::monitor::graphs {

// Whether a caption is a number: optional blanks, an optional sign, digits with at most one
// decimal point (at least one digit), an optional exponent, optional blanks. An empty caption
// and words such as "fan stop" are not numbers.
bool IsNumericText(std::string_view text);

// "HH:mm:ss".
std::string TimeText(const platform::LocalTime& time);

// The word in front of a mouse read-out: "目前" on Traditional Chinese systems (1028),
// "Current" on every other (English and Simplified Chinese alike).
std::string ReadoutWord(std::uint32_t languageId);

// A coordinate in twips: `twips` rounded to nearest (ties to even) and kept inside
// [low, high]. A value far outside its axis is still drawn outside the grid, but it pins to
// the edge of that band instead of overflowing the window's 16-bit coordinates.
int PlotCoordinate(double twips, int low, int high);

}  // namespace veltrix::monitor::graphs
