// The recommended setting: the CPU fan's output by processor clock class and CPU temperature.
// The values are chip outputs handed to SetFanSpeed as its percentage; from the fan timer only
// the columns below 55 °C are ever reached (at 55 °C the timer runs every fan at full output).
#include <array>

#include "monitor/channels/fan_output.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

struct ClockClass {
  std::string_view marker;        // found anywhere in the processor name
  std::array<float, 5> below;     // upper ends (exclusive) of the first five columns, °C
};
constexpr std::array<int, 6> kValues{0, 7, 15, 23, 34, 255};
// Tested in this order; the first class whose marker the name contains applies.
constexpr std::array<ClockClass, 5> kClasses{{
    {"1.6", {44.0F, 50.0F, 53.5F, 56.0F, 58.0F}},
    {"1.8", {46.5F, 51.0F, 53.5F, 57.0F, 60.0F}},
    {"2.0", {48.0F, 52.5F, 54.5F, 58.0F, 60.5F}},
    {"2.2", {48.0F, 52.5F, 54.5F, 58.5F, 61.0F}},
    {"2.4", {48.0F, 52.5F, 58.0F, 60.0F, 63.0F}},
}};

}  // namespace

int RecommendedFanValue(std::string_view cpuName, float celsius) {
  for (const ClockClass& c : kClasses) {
    if (cpuName.find(c.marker) == std::string_view::npos) continue;
    for (std::size_t column = 0; column < c.below.size(); ++column) {
      if (celsius < c.below[column]) return kValues[column];
    }
    return kValues.back();
  }
  return -1;
}

void ApplyRecommendedFanSpeed(Program& program, std::string_view cpuName, float celsius) {
  const int value = RecommendedFanValue(cpuName, celsius);
  if (value < 0) return;  // an unknown processor: the fan is left as it is
  SetFanSpeed(program, 0, static_cast<std::int16_t>(value));
  program.frmdoctor().CpuFanPercent = static_cast<std::int16_t>(value);
}

}  // namespace veltrix::monitor
