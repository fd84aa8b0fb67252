#include "monitor/ui/graphs/graph_values.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "monitor/channels/number_format.h"
#include "monitor/resources/strings.h"

namespace veltrix::monitor::graphs {

namespace {

std::string TwoDigits(int n) {
  return std::string(1, static_cast<char>('0' + (n / 10) % 10)) + static_cast<char>('0' + n % 10);
}

bool Digit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool IsNumericText(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&] {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipBlanks();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  int digits = 0;
  while (i < n && Digit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && Digit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    int exponentDigits = 0;
    while (i < n && Digit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  skipBlanks();
  return i == n;
}

std::string TimeText(const platform::LocalTime& time) {
  return TwoDigits(time.hour) + ":" + TwoDigits(time.minute) + ":" + TwoDigits(time.second);
}

std::string ReadoutWord(std::uint32_t languageId) {
  return languageId == kLcidTraditionalChinese ? "\xE7\x9B\xAE\xE5\x89\x8D" : "Current";  // 目前
}

int PlotCoordinate(double twips, int low, int high) {
  if (std::isnan(twips)) return std::clamp(0, low, high);
  const double bounded = std::clamp(twips, static_cast<double>(low), static_cast<double>(high));
  return RoundHalfEven(bounded);
}

}  // namespace veltrix::monitor::graphs
