#include "monitor/channels/voltage_wiring.h"

#include "platform/superio/ite_registers.h"
#include "platform/superio/winbond_registers.h"

namespace veltrix::monitor {

namespace {
constexpr std::uint16_t kWinbond = 1;
constexpr std::uint16_t kIte = 2;
constexpr std::uint32_t kW83697HF = winbond::kChipIdW83697HF;
constexpr std::uint32_t kW83637HF = winbond::kChipIdW83637HF;
}  // namespace

std::uint8_t IteVoltageInput(std::uint16_t variant, int item) {
  // SDRAM boards and the first DDR wiring read 3.3Vsb/-5V on input 5 and -12V on input 6; the
  // second DDR wiring has them the other way round; updated DDR boards read in order.
  if (variant == 1 || variant == 2 || variant == 3) {
    if (item == 5) return ite::kVoltageBase + 6;
    if (item == 6) return ite::kVoltageBase + 5;
  }
  return static_cast<std::uint8_t>(ite::kVoltageBase + item);
}

std::optional<int> VoltageInputOf(std::uint16_t family, std::uint16_t variant, std::uint32_t chipId,
                                  int item) {
  if (item < 0 || item >= kVoltageInputCount) return std::nullopt;
  if (family == kIte) return IteVoltageInput(variant, item) - ite::kVoltageBase;
  if (family != kWinbond) return std::nullopt;
  if (chipId == kW83637HF && item == 4) return 1;
  if (chipId == kW83637HF && (item == 5 || item == 6)) return 4;
  return item;
}

bool ChipHasVoltageInput(std::uint16_t family, std::uint32_t chipId, int input) {
  if (input < 0 || input >= kVoltageInputCount) return false;
  if (family != kWinbond) return family == kIte;
  if (chipId == kW83697HF) return input != 1;
  if (chipId == kW83637HF) return input != 5 && input != 6;
  return true;
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

std::optional<VoltageLimitRegister> VoltageInputLimitRegister(std::uint16_t family, int input, bool high) {
  if (input < 0 || input >= kVoltageInputCount) return std::nullopt;
  if (family == kWinbond) {
    // Inputs 0..6 in bank 0; 5VSB and VBAT in bank 5.
    if (input < winbond::kBank0VoltageInputs) {
      const int base = high ? winbond::kVoltageHighLimitBase : winbond::kVoltageLowLimitBase;
      return VoltageLimitRegister{winbond::kBank0, static_cast<std::uint8_t>(base + 2 * input)};
    }
    const winbond::BankedRegister reg = input == 7
                                            ? (high ? winbond::k5VsbHighLimit : winbond::k5VsbLowLimit)
                                            : (high ? winbond::kVbatHighLimit : winbond::kVbatLowLimit);
    return VoltageLimitRegister{reg.bank, reg.reg};
  }
  if (family == kIte && input < ite::kLimitedVoltageInputs) {
    const int base = high ? ite::kVoltageHighLimitBase : ite::kVoltageLowLimitBase;
    return VoltageLimitRegister{-1, static_cast<std::uint8_t>(base + 2 * input)};
  }
  return std::nullopt;
}

std::optional<VoltageLimitRegister> VoltageLimitRegisterOf(std::uint16_t family, std::uint16_t variant,
                                                           std::uint32_t chipId, int item, bool high) {
  const std::optional<int> input = VoltageInputOf(family, variant, chipId, item);
  if (!input) return std::nullopt;
  return VoltageInputLimitRegister(family, *input, high);
}

}  // namespace veltrix::monitor
