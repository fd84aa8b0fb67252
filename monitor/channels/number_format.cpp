#include "monitor/channels/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace veltrix::monitor {
namespace {

std::string FixedDecimals(double x, int decimals) {
  if (!std::isfinite(x)) x = 0.0;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, x);
  std::string text(buffer);
  // A tiny negative value prints as "-0.00"; a person reads that as zero.
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace

int RoundHalfEven(double x) {
  if (std::isnan(x)) return 0;
  const double r = std::nearbyint(x);  // the default rounding mode: to nearest, ties to even
  if (r >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (r <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

std::int16_t RoundHalfEven16(double x) {
  const int r = RoundHalfEven(x);
  if (r > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
  if (r < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(r);
}

std::string Format2(double x) {
  return FixedDecimals(x, 2);
}
std::string Format1(double x) {
  return FixedDecimals(x, 1);
}

std::string FormatRpm(double x) {
  const int r = RoundHalfEven(x);
  return r == 0 ? std::string() : std::to_string(r);
}

double CaptionValue(std::string_view text) {
  std::size_t pos = text.find_first_not_of(" \t");
  if (pos == std::string_view::npos) return 0.0;
  text.remove_prefix(pos);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return value;
}

std::string FloatToRegistryText(float value, char decimalSeparator) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == '.') c = decimalSeparator;
  }
  return text;
}

std::optional<float> RegistryTextToFloat(std::string_view text, char decimalSeparator) {
  while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.size() > 48) return std::nullopt;
  // A store written under a locale with the other separator must still read: a point and a
  // comma both mark the decimals (these texts never group thousands), but only one of them.
  std::string normal(text);
  int separators = 0;
  for (char& c : normal) {
    if (c == decimalSeparator || c == '.' || c == ',') {
      c = '.';
      ++separators;
    }
  }
  if (separators > 1) return std::nullopt;
  float value = 0.0F;
  const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (result.ec != std::errc() || result.ptr != normal.data() + normal.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace veltrix::monitor
