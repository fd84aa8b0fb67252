// Programming the chip's beep enables from the item flags.
#include "monitor/alarms/beep_settings.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "monitor/boards/board_tables.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

// Where an item's beep-enable bit sits on a Winbond chip.
struct BeepBit {
  std::uint8_t bank;
  std::uint8_t reg;  // 0 = the item has no bit
  std::uint8_t bit;
};
constexpr std::array<BeepBit, kItemCount> kWinbondBeepBits{{
    {0, 0x56, 0},  // 0 Vcore
    {0, 0x00, 0},  // 1 +2.5V: no beep bit
    {0, 0x56, 2},  // 2 +3.3V
    {0, 0x56, 3},  // 3 +5V
    {0, 0x57, 0},  // 4 +12V
    {0, 0x57, 1},  // 5 -12V
    {0, 0x57, 2},  // 6 -5V
    {4, 0x53, 0},  // 7 5Vsb
    {4, 0x53, 1},  // 8 VBat
    {0, 0x56, 6},  // 9 CPU fan
    {0, 0x56, 7},  // 10 system fan 2
    {0, 0x57, 3},  // 11 system fan 3
    {0, 0x56, 4},  // 12 temperature 0
    {0, 0x56, 5},  // 13 temperature 1
    {0, 0x57, 5},  // 14 temperature 2
    {0, 0x57, 4},  // 15 chassis
}};

bool InList(boards::NameList list, const std::string& model) {
  return std::find(list.begin(), list.end(), model) != list.end();
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
    // Two boards wire temperatures 1 and 2 the other way round to the chip's comparators.
    const bool swapped = InList(boards::TempSwapList(), program.G().ModelName);
    for (int item = 0; item < kItemCount; ++item) {
      if (!on(item)) continue;
      BeepBit where = kWinbondBeepBits[static_cast<std::size_t>(item)];
      if (swapped && item == 13) where = kWinbondBeepBits[14];
      if (swapped && item == 14) where = kWinbondBeepBits[13];
      const auto mask = static_cast<std::uint8_t>(1U << where.bit);
      if (where.reg == 0x56) a |= mask;
      if (where.reg == 0x57) b |= mask;
    }
    std::uint8_t bank4 = c & 0xFC;
    if (on(7)) bank4 |= 0x01;
    if (on(8)) bank4 |= 0x02;
    SelectBank(program, 0);
    WriteMonitorRegister(program, 0x56, a);
    WriteMonitorRegister(program, 0x57, static_cast<std::uint8_t>(b & 0x7F));
    SelectBank(program, 4);
    WriteMonitorRegister(program, 0x53, bank4);
  } else if (program.G().ChipFamily == kChipFamilyIte) {
    // Bits 3..7 of 0x5C are not beep enables; they are kept as the chip holds them.
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
  const BeepBit where = kWinbondBeepBits[static_cast<std::size_t>(item)];
  if (where.reg == 0) return;
  SelectBank(program, where.bank);
  const std::uint8_t value = ReadMonitorRegister(program, where.reg);
  WriteMonitorRegister(program, where.reg, static_cast<std::uint8_t>(value & ~(1U << where.bit)));
}

}  // namespace veltrix::monitor
