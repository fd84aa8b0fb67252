// Numbers in the fan-control dialogs: what a typed text holds, and the tooltip form of a
// percentage.
#include <cstdio>

#include "monitor/channels/number_format.h"
#include "monitor/fancontrol/fan_methods.h"

namespace veltrix::monitor {

std::optional<float> TextNumber(std::string_view text, char decimalSeparator) {
  return RegistryTextToFloat(text, decimalSeparator);
}

bool IsNumericCaption(std::string_view caption) {
  return RegistryTextToFloat(caption, '.').has_value();
}

std::string BlankSignedNumber(double value) {
  // Fifteen significant digits: 7 / 20 × 100 is 35, not 34.99999999999999.
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value == 0.0 ? 0.0 : value);
  return (value >= 0.0 ? " " : "") + std::string(buffer);
}

}  // namespace veltrix::monitor
