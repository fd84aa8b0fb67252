#pragma once
// Which chip input each voltage item reads on the ITE wirings, which items are negative rails,
// and the limit registers of an ITE input.
#include <cstdint>
#include <optional>

namespace veltrix::monitor {

// Input register of voltage item 0..8 on ITE wiring `variant` (1..5).
std::uint8_t IteVoltageInput(std::uint16_t variant, int item);

// Whether voltage item `item` is converted by the negative-rail formula on this wiring.
bool IsNegativeRailItem(std::uint16_t variant, int item);

struct IteLimitPair {
  std::uint8_t high;
  std::uint8_t low;
};
// The limit registers of the input the item reads (input n: 0x30 + 2n, 0x31 + 2n); nothing for
// VBAT, which has no limits.
std::optional<IteLimitPair> IteVoltageLimitRegisters(std::uint16_t variant, int item);

// Where one end of a voltage item's limit window lives in the chip. bank < 0: no bank select
// (ITE). Nothing when the item has no limit register (ITE VBAT).
struct VoltageLimitRegister {
  int bank;
  std::uint8_t reg;
};
std::optional<VoltageLimitRegister> VoltageLimitRegisterOf(std::uint16_t family, std::uint16_t variant,
                                                           int item, bool high);

}  // namespace veltrix::monitor
