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
  std::uint8_t bank = 0;
  std::uint8_t reg = 0;  // 0 = no bit
  std::uint8_t mask = 0;
};
constexpr BeepBit BeepBitOf(int statusBit) {
  const winbond::BankedRegister reg = winbond::BeepControlOf(statusBit);
  return {reg.bank, reg.reg, winbond::MaskInByte(statusBit)};
}
static_assert(kVoltageInputCount == winbond::kVoltageStatusBit.size());
static_assert(kFanCount == winbond::kFanStatusBit.size());
static_assert(kTempCount == winbond::kTempStatusBit.size());

// The bit that makes the chip beep for `item`: the bit of the comparator that watches the input
// the item is read from. So +12V on a W83637HF (read from input 1) beeps on input 1's bit, and
// a temperature read from the other bank (the boards of the temperature-swap list, and the
// boards that read both temperatures from one bank) on that bank's bit.
BeepBit WinbondBeepBit(Program& program, int item) {
  const Globals& g = program.G();
  if (item == 1) return {};  // the +2.5V item has no beep bit
  if (item < kVoltageCount) {
    const std::optional<int> input = VoltageInputOf(g.ChipFamily, g.BoardVariant, g.ChipId, item);
    return input ? BeepBitOf(winbond::kVoltageStatusBit[static_cast<std::size_t>(*input)]) : BeepBit{};
  }
  if (item < kFirstTempItem)
    return BeepBitOf(winbond::kFanStatusBit[static_cast<std::size_t>(item - kFirstFanItem)]);
  if (item < kChassisItem) {
    const int k = item - kFirstTempItem;
    const int sensor = k == 0 ? 0 : boards::TempReadBank(g.ModelName, k);
    return BeepBitOf(winbond::kTempStatusBit[static_cast<std::size_t>(sensor)]);
  }
  return item == kChassisItem ? BeepBitOf(winbond::kCaseOpenStatusBit) : BeepBit{};
}

}  // namespace

void frmdoctor::ApplyBeepSettings() {
  Program& program = program_;
  const auto on = [this](int item) { return WBeep[item] == 1 && WEnable[item] == 1; };

  if (program.G().ChipFamily == kChipFamilyWinbond) {
    std::uint8_t a = 0;  // beep control 1
    std::uint8_t b = 0;  // beep control 2
    SelectBank(program, winbond::kBeepControl3.bank);
    const std::uint8_t c = ReadMonitorRegister(program, winbond::kBeepControl3.reg);
    std::uint8_t bank4 = c & ~winbond::kBeepControl3Mask;
    for (int item = 0; item < kItemCount; ++item) {
      if (!on(item)) continue;
      const BeepBit where = WinbondBeepBit(program, item);
      if (where.reg == winbond::kBeepControl1.reg) a |= where.mask;
      if (where.reg == winbond::kBeepControl2.reg) b |= where.mask;
      if (where.reg == winbond::kBeepControl3.reg) bank4 |= where.mask;
    }
    // Beep control 1 and 2 share bank 0, beep control 3 is in bank 4.
    static_assert(winbond::kBeepControl1.bank == winbond::kBeepControl2.bank);
    SelectBank(program, winbond::kBeepControl1.bank);
    WriteMonitorRegister(program, winbond::kBeepControl1.reg, a);
    WriteMonitorRegister(program, winbond::kBeepControl2.reg,
                         static_cast<std::uint8_t>(b & ~winbond::kGlobalBeepEnable));
    SelectBank(program, winbond::kBeepControl3.bank);
    WriteMonitorRegister(program, winbond::kBeepControl3.reg, bank4);
  } else if (program.G().ChipFamily == kChipFamilyIte) {
    // Only bits 0..2 of the beep event enable register are the beep enables this program sets.
    // The firmware leaves other values in bits 3..7 (0x50 and 0xD4 are seen on real boards)
    // whose meaning these chips' documentation does not give; clearing them could change what
    // the firmware set up, so they are written back as read.
    const std::uint8_t current = ReadMonitorRegister(program, ite::kBeepEnable);
    std::uint8_t d = 0;
    for (int item : {0, 2, 3, 4, 5, 6, 7, 8}) {
      if (on(item)) d |= ite::kBeepVoltages;
    }
    for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) {
      if (on(item)) d |= ite::kBeepFans;
    }
    for (int item = kFirstTempItem; item < kFirstTempItem + kTempCount; ++item) {
      if (on(item)) d |= ite::kBeepTemperatures;
    }
    WriteMonitorRegister(program, ite::kBeepEnable,
                         static_cast<std::uint8_t>((current & ~ite::kBeepEnableMask) | d));
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
  WriteMonitorRegister(program, where.reg, static_cast<std::uint8_t>(value & ~where.mask));
}

}  // namespace veltrix::monitor
