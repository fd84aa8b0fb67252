#pragma once
// The chipset's power-management I/O base, read from the PCI configuration space of its
// LPC/ISA bridge (/sys/bus/pci/devices/*/config). The chassis-intrusion flags of the Intel and
// VIA south bridges live at offsets from it; the NVIDIA ones at fixed ports.
//
// Reading the registers past the first 64 bytes of configuration space needs root; without
// them, or on a chipset not listed here, no base is reported.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace veltrix::platform {

enum class ChipsetVendor : std::uint8_t { kIntel, kVia, kNvidia };

struct ChipsetBridge {
  ChipsetVendor vendor = ChipsetVendor::kIntel;
  std::string address;  // "0000:00:1f.0"
  std::uint16_t deviceId = 0;
  std::optional<std::uint16_t> pmBase;  // nothing when the register is unreadable or off
};

// The first known south bridge under `root` + /sys/bus/pci/devices (root "/" or a test tree).
std::optional<ChipsetBridge> FindChipsetBridge(const std::string& root);

// The same from one device's address ("0000:00:1f.0") and configuration bytes (64 or 256).
std::optional<ChipsetBridge> IdentifyChipsetBridge(const std::string& address,
                                                   std::span<const std::uint8_t> config);

}  // namespace veltrix::platform
