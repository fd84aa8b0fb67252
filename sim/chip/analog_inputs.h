#pragma once
// What the physical board presents to the sensor chip's pins at one moment.
// The board profile and the physics produce it; the chip turns it into register counts.
#include <array>

namespace veltrix::sim {

struct AnalogInputs {
  // Volts at the chip's voltage input pins (after the board's dividers), by the chip's
  // own input number (IN0.. on Winbond, VIN0.. on ITE). Negative rails arrive already
  // shifted into the ADC's 0..4.08 V range by the board's resistor network.
  std::array<double, 9> pinVolts{};
  double vbatVolts = 3.0;   // battery input, where the chip has one
  double vsbVolts = 5.0;    // 5V standby rail, where the chip measures it on its own pin
  // Temperatures at the chip's three temperature inputs, degrees Celsius.
  std::array<double, 3> tempC{25.0, 25.0, 25.0};
  // Fan speeds at the chip's three tachometer inputs; 0 = stopped or not connected.
  std::array<double, 3> fanRpm{};
  // Chassis-intrusion switch on the chip's own CASEOPEN input (latched by the chip).
  bool caseOpen = false;
};

}  // namespace veltrix::sim
