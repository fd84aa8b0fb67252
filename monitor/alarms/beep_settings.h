#pragma once
// The sensor chip's own beep output. An item beeps when both its WBeep and WEnable flags are
// 1; frmdoctor::ApplyBeepSettings programs the chip's beep-enable registers from the flags:
//   Winbond: bank 0 registers 0x56 and 0x57 (bit 7 of 0x57, the global enable, is left 0
//            here and set again by every monitoring tick) and bits 0..1 of bank-4 0x53, one
//            bit per comparator: an item sets the bit of the input it is read from;
//   ITE:     register 0x5C bit 0 fans, bit 1 voltages, bit 2 temperatures.
namespace veltrix::monitor {

class Program;

// The alarm dialog's Disable: on a Winbond chip, clears the item's bit in the beep-enable
// registers (the bit of the input the item is read from; item 1 has none). The ITE registers of those numbers are the
// temperature offsets, so an ITE chip gets its beep register recomputed from the flags
// instead.
void ClearItemBeepBit(Program& program, int item);

}  // namespace veltrix::monitor
