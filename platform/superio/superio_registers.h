#pragma once
// The parts of a Super I/O chip that both families (Winbond W83627HF/W83697HF/W83637HF and ITE
// IT8705F/IT8712F) share: the configuration space behind the index/data pair at 0x2E/0x2F or
// 0x4E/0x4F, and the hardware monitor's own index/data pair above the monitor device's base
// address. The family headers (winbond_registers.h, ite_registers.h) add the entry keys, the
// id values and the hardware-monitor registers.
//
// Every register is named once, in these three headers; the program (monitor/) and the
// simulated chips (sim/) both use the names. Names follow the chips' data sheets; the comment gives the data
// sheet's wording where the name shortens it.
#include <cstddef>
#include <cstdint>

namespace veltrix::superio {

// ---- ports --------------------------------------------------------------------------------------

// The two places a Super I/O chip decodes its configuration index port (a strap pin picks
// one); the data port is the next port up.
inline constexpr std::uint16_t kConfigPort2E = 0x2E;
inline constexpr std::uint16_t kConfigPort4E = 0x4E;

constexpr std::uint16_t ConfigDataPort(std::uint16_t indexPort) {
  return static_cast<std::uint16_t>(indexPort + 1);
}

// The hardware monitor's port pair, relative to the monitor device's base address
// (configuration registers 0x60/0x61, low three bits ignored): Address Port base + 5, Data
// Port base + 6. With the usual base 0x290 these are 0x295/0x296.
inline constexpr std::uint16_t kMonitorIndexOffset = 5;
inline constexpr std::uint16_t kMonitorDataOffset = 6;
inline constexpr std::uint16_t kMonitorBaseAlignMask = 0xFFF8;
inline constexpr std::uint16_t kUsualMonitorBase = 0x290;

constexpr std::uint16_t MonitorIndexPort(std::uint16_t base) {
  return static_cast<std::uint16_t>((base & kMonitorBaseAlignMask) + kMonitorIndexOffset);
}
constexpr std::uint16_t MonitorDataPort(std::uint16_t indexPort) {
  return static_cast<std::uint16_t>(indexPort - kMonitorIndexOffset + kMonitorDataOffset);
}

// The monitor's address register is 7 bits wide: addresses 0x80..0xFF reach 0x00..0x7F.
inline constexpr std::uint8_t kMonitorAddressMask = 0x7F;
inline constexpr std::size_t kMonitorRegisterCount = 0x80;

// ---- configuration space ------------------------------------------------------------------------
// Global registers (0x00..0x2F) are the same whichever logical device is selected; registers
// 0x30..0xFF belong to the selected logical device.

inline constexpr std::uint8_t kConfigControl = 0x02;        // Configure Control (ITE: bit 1 leaves)
inline constexpr std::uint8_t kLogicalDeviceSelect = 0x07;  // Logical Device Number
inline constexpr std::uint8_t kChipIdByte1 = 0x20;          // Winbond Device ID; ITE Chip ID byte 1
inline constexpr std::uint8_t kChipIdByte2 = 0x21;          // Winbond Device Rev; ITE Chip ID byte 2
inline constexpr std::uint8_t kFirstDeviceRegister = 0x30;  // below: global registers

inline constexpr std::uint8_t kActivate = 0x30;         // Logical Device Activate (Enable)
inline constexpr std::uint8_t kActivateBit = 0x01;      //   bit 0: the device decodes its ports
inline constexpr std::uint8_t kBaseAddressHigh = 0x60;  // I/O Base Address, bits 15..8
inline constexpr std::uint8_t kBaseAddressLow = 0x61;   // I/O Base Address, bits 7..0
inline constexpr std::uint8_t kInterruptSelect = 0x70;  // IRQ channel select

}  // namespace veltrix::superio
