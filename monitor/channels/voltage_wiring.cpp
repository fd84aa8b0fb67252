#include "monitor/channels/voltage_wiring.h"

namespace veltrix::monitor {

std::uint8_t IteVoltageInput(std::uint16_t variant, int item) {
  // SDRAM boards and the first DDR wiring read 3.3Vsb/-5V on input 5 and -12V on input 6; the
  // second DDR wiring has them the other way round; updated DDR boards read in order.
  if (variant == 1 || variant == 2 || variant == 3) {
    if (item == 5) return 0x26;
    if (item == 6) return 0x25;
  }
  return static_cast<std::uint8_t>(0x20 + item);
}

bool IsNegativeRailItem(std::uint16_t variant, int item) {
  switch (variant) {
    case 0:
      return item == 5 || item == 6;
    case 1:
    case 2:
      return item == 5;
    case 3:
    case 5:
      return item == 5 || item == 6;
    case 4:
      return item == 7;
    default:
      return false;
  }
}

std::optional<IteLimitPair> IteVoltageLimitRegisters(std::uint16_t variant, int item) {
  const int input = IteVoltageInput(variant, item) - 0x20;
  if (input < 0 || input > 7) return std::nullopt;
  return IteLimitPair{static_cast<std::uint8_t>(0x30 + 2 * input),
                      static_cast<std::uint8_t>(0x31 + 2 * input)};
}

std::optional<VoltageLimitRegister> VoltageLimitRegisterOf(std::uint16_t family, std::uint16_t variant,
                                                           int item, bool high) {
  if (item < 0 || item > 8) return std::nullopt;
  if (family == 1) {
    // Winbond: inputs 0..6 in bank 0 (high 0x2B + 2i, low 0x2C + 2i); 5VSB and VBAT in bank 5.
    if (item <= 6) return VoltageLimitRegister{0, static_cast<std::uint8_t>((high ? 0x2B : 0x2C) + 2 * item)};
    if (item == 7) return VoltageLimitRegister{5, static_cast<std::uint8_t>(high ? 0x54 : 0x55)};
    return VoltageLimitRegister{5, static_cast<std::uint8_t>(high ? 0x56 : 0x57)};
  }
  if (family == 2) {
    const std::optional<IteLimitPair> pair = IteVoltageLimitRegisters(variant, item);
    if (!pair) return std::nullopt;
    return VoltageLimitRegister{-1, high ? pair->high : pair->low};
  }
  return std::nullopt;
}

}  // namespace veltrix::monitor
