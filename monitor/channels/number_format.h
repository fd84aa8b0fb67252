#pragma once
// Number conversions and display formats shared by the channels, the limit store and the log.
//
// Every conversion of volts, degrees or RPM to an integer rounds to nearest, ties to even.
// Display patterns: "0.00" (voltages, limits), "0.0" (temperatures), "####" (fan speeds: an
// integer without leading zeros; zero shows as an empty text, as that pattern does).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrix::monitor {

// x rounded to the nearest integer, ties to even. NaN gives 0; values beyond the int range
// are clamped to it.
int RoundHalfEven(double x);
// The same, clamped to the signed 16-bit range (the program's 16-bit integers).
std::int16_t RoundHalfEven16(double x);

// "0.00": two decimals, never "-0.00".
std::string Format2(double x);
// "0.0": one decimal, never "-0.0".
std::string Format1(double x);
// "####": the rounded integer, "" for 0.
std::string FormatRpm(double x);

// The numeric value of a caption the way the program reads its own captions back: leading
// blanks skipped, then the longest decimal number ("-12.5", "60.00", "1e3"); 0 when none.
double CaptionValue(std::string_view text);

// Float to registry text: the shortest text that reads back as the same float, with the
// system's decimal separator ("4.1" or "4,1").
std::string FloatToRegistryText(float value, char decimalSeparator);
// Registry text to float. Accepts either decimal separator ('.' or ','), whatever the system's
// is, so a store written under another locale still reads; surrounding blanks and a
// terminating NUL. Nothing for text that is not a number, holds two separators, or is not finite.
std::optional<float> RegistryTextToFloat(std::string_view text, char decimalSeparator);

}  // namespace veltrix::monitor
