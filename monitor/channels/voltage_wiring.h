#pragma once
// Which chip input each voltage item reads on every chip and wiring, which items are negative
// rails, and the limit registers of each input.
#include <cstdint>
#include <optional>

namespace veltrix::monitor {

inline constexpr int kVoltageInputCount = 9;  // in0..in8 (in8 = VBAT)

// Input register of voltage item 0..8 on ITE wiring `variant` (1..5).
std::uint8_t IteVoltageInput(std::uint16_t variant, int item);

// The chip input (0..8) voltage item `item` is read from: ITE by wiring, Winbond the item's own
// input except on the W83637HF, which carries +12V on input 1 and -12V/-5V on input 4.
std::optional<int> VoltageInputOf(std::uint16_t family, std::uint16_t variant, std::uint32_t chipId,
                                  int item);

// Whether the chip converts input `input` at all (the W83697HF has no input 1, the W83637HF no
// inputs 5 and 6).
bool ChipHasVoltageInput(std::uint16_t family, std::uint32_t chipId, int input);

// Whether voltage item `item` is converted by the negative-rail formula on this wiring.
bool IsNegativeRailItem(std::uint16_t variant, int item);

// Where one end of a voltage limit window lives in the chip: Winbond input n 0x2B + 2n (high) and
// 0x2C + 2n (low) in bank 0, 5VSB and VBAT in bank 5; ITE input n 0x30 + 2n and 0x31 + 2n.
// bank < 0: no bank select (ITE). Nothing when the input has no limit register (ITE VBAT).
struct VoltageLimitRegister {
  int bank;
  std::uint8_t reg;
};
std::optional<VoltageLimitRegister> VoltageInputLimitRegister(std::uint16_t family, int input, bool high);
// The limit register of the input voltage item `item` is read from.
std::optional<VoltageLimitRegister> VoltageLimitRegisterOf(std::uint16_t family, std::uint16_t variant,
                                                           std::uint32_t chipId, int item, bool high);

}  // namespace veltrix::monitor
