// Programming the chip's beep enables from the item flags.
#include "monitor/alarms/beep_settings.h"

#include <array>
#include <cstdint>
#include <optional>

#include "monitor/boards/board_tables.h"
#include "monitor/channels/voltage_wiring.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

// Where a beep-enable bit sits on a Winbond chip. The bits belong to the chip's comparators
// (one per voltage input, fan and temperature sensor), not to the program's items.
struct BeepBit {
  std::uint8_t bank;
  std::uint8_t reg;  // 0 = no bit
  std::uint8_t bit;
};
constexpr std::array<BeepBit, kVoltageInputCount> kVoltageInputBits{{
    {0, 0x56, 0},  // in0
    {0, 0x56, 1},  // in1
    {0, 0x56, 2},  // in2
    {0, 0x56, 3},  // in3
    {0, 0x57, 0},  // in4
    {0, 0x57, 1},  // in5
    {0, 0x57, 2},  // in6
    {4, 0x53, 0},  // in7 (5VSB)
    {4, 0x53, 1},  // in8 (VBAT)
}};
constexpr std::array<BeepBit, kFanCount> kFanBits{{{0, 0x56, 6}, {0, 0x56, 7}, {0, 0x57, 3}}};
constexpr std::array<BeepBit, kTempCount> kTempSensorBits{{{0, 0x56, 4}, {0, 0x56, 5}, {0, 0x57, 5}}};
constexpr BeepBit kChassisBit{0, 0x57, 4};

// The bit that makes the chip beep for `item`: the bit of the comparator that watches the input
// the item is read from. So +12V on a W83637HF (read from input 1) beeps on input 1's bit, and
// a temperature read from the other bank (the boards of the temperature-swap list, and the
// boards that read both temperatures from one bank) on that bank's bit.
BeepBit WinbondBeepBit(Program& program, int item) {
  const Globals& g = program.G();
  if (item == 1) return {};  // the +2.5V item has no beep bit
  if (item < kVoltageCount) {
    const std::optional<int> input = VoltageInputOf(g.ChipFamily, g.BoardVariant, g.ChipId, item);
    return input ? kVoltageInputBits[static_cast<std::size_t>(*input)] : BeepBit{};
  }
  if (item < kFirstTempItem) return kFanBits[static_cast<std::size_t>(item - kFirstFanItem)];
  if (item < kChassisItem) {
    const int k = item - kFirstTempItem;
    const int sensor = k == 0 ? 0 : boards::TempReadBank(g.ModelName, k);
    return kTempSensorBits[static_cast<std::size_t>(sensor)];
  }
  return item == kChassisItem ? kChassisBit : BeepBit{};
}

}  // namespace

void frmdoctor::ApplyBeepSettings() {
  Program& program = program_;
  const auto on = [this](int item) { return WBeep[item] == 1 && WEnable[item] == 1; };

  if (program.G().ChipFamily == kChipFamilyWinbond) {
    std::uint8_t a = 0;  // bank 0 register 0x56
    std::uint8_t b = 0;  // bank 0 register 0x57
    SelectBank(program, 4);
    const std::uint8_t c = ReadMonitorRegister(program, 0x53);
    std::uint8_t bank4 = c & 0xFC;
    for (int item = 0; item < kItemCount; ++item) {
      if (!on(item)) continue;
      const BeepBit where = WinbondBeepBit(program, item);
      const auto mask = static_cast<std::uint8_t>(1U << where.bit);
      if (where.reg == 0x56) a |= mask;
      if (where.reg == 0x57) b |= mask;
      if (where.reg == 0x53) bank4 |= mask;
    }
    SelectBank(program, 0);
    WriteMonitorRegister(program, 0x56, a);
    WriteMonitorRegister(program, 0x57, static_cast<std::uint8_t>(b & 0x7F));
    SelectBank(program, 4);
    WriteMonitorRegister(program, 0x53, bank4);
  } else if (program.G().ChipFamily == kChipFamilyIte) {
    // Only bits 0..2 of 0x5C are the beep enables this program sets. The firmware leaves other
    // values in bits 3..7 (0x50 and 0xD4 are seen on real boards) whose meaning these chips'
    // documentation does not give; clearing them could change what the firmware set up, so
    // they are written back as read.
    const std::uint8_t current = ReadMonitorRegister(program, 0x5C);
    std::uint8_t d = 0;
    for (int item : {0, 2, 3, 4, 5, 6, 7, 8}) {
      if (on(item)) d |= 0x02;
    }
    for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) {
      if (on(item)) d |= 0x01;
    }
    for (int item = kFirstTempItem; item < kFirstTempItem + kTempCount; ++item) {
      if (on(item)) d |= 0x04;
    }
    WriteMonitorRegister(program, 0x5C, static_cast<std::uint8_t>((current & 0xF8) | d));
  }
}

void ClearItemBeepBit(Program& program, int item) {
  if (item < 0 || item >= kChassisItem) return;
  if (program.G().ChipFamily == kChipFamilyIte) {
    program.frmdoctor().ApplyBeepSettings();
    return;
  }
  if (program.G().ChipFamily != kChipFamilyWinbond) return;
  const BeepBit where = WinbondBeepBit(program, item);
  if (where.reg == 0) return;
  SelectBank(program, where.bank);
  const std::uint8_t value = ReadMonitorRegister(program, where.reg);
  WriteMonitorRegister(program, where.reg, static_cast<std::uint8_t>(value & ~(1U << where.bit)));
}

}  // namespace veltrix::monitor
