#pragma once
// Super I/O configuration space (the index/data pair at 0x2E/0x2F or 0x4E/0x4F) of one chip:
// the vendor's entry key, the exit sequence, logical-device select (0x07), the global id
// registers (0x20..0x2F) and the per-device registers (0x30..0xFF) of every logical device.
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/superio/superio_registers.h"

namespace veltrix::sim {

enum class SuperIoVendor { Winbond, Ite };

class SuperIoConfig {
 public:
  // Global registers 0x20.. are given as the chip's id bytes (Winbond: 0x20 id, 0x21 revision;
  // ITE: 0x20/0x21 id high/low, 0x22 version).
  SuperIoConfig(SuperIoVendor vendor, std::uint16_t indexPort, std::vector<std::uint8_t> idBytes);

  std::uint16_t IndexPort() const { return indexPort_; }
  std::uint16_t DataPort() const { return superio::ConfigDataPort(indexPort_); }
  SuperIoVendor Vendor() const { return vendor_; }
  // True between a correct entry key and the exit sequence.
  bool Unlocked() const { return unlocked_; }

  // Port cycles at IndexPort()/DataPort(). While locked the data port reads 0xFF and ignores
  // writes, and the index port only listens for the key.
  std::uint8_t ReadPort(std::uint16_t port);
  void WritePort(std::uint16_t port, std::uint8_t value);

  // Raw access without the key, for board set-up (what the BIOS left) and tests. Index < 0x30 is
  // global and ignores `ldn`. Writes here may set the read-only id registers.
  std::uint8_t GetRegister(std::uint8_t ldn, std::uint8_t index) const;
  void SetRegister(std::uint8_t ldn, std::uint8_t index, std::uint8_t value);
  std::uint8_t SelectedLdn() const { return globals_[superio::kLogicalDeviceSelect]; }

  // Logical device helpers: activation (0x30 bit 0) and the raw base address (0x60/0x61).
  bool Active(std::uint8_t ldn) const {
    return (GetRegister(ldn, superio::kActivate) & superio::kActivateBit) != 0;
  }
  std::uint16_t BaseAddress(std::uint8_t ldn) const;

 private:
  void FeedKey(std::uint8_t value);
  std::uint8_t ReadSelected() const;
  void WriteSelected(std::uint8_t value);

  SuperIoVendor vendor_;
  std::uint16_t indexPort_;
  std::vector<std::uint8_t> key_;
  std::size_t keyProgress_ = 0;
  bool unlocked_ = false;
  std::uint8_t index_ = 0;
  std::array<std::uint8_t, superio::kFirstDeviceRegister> globals_{};
  std::uint8_t idCount_ = 0;  // global registers 0x20.. that are read-only id bytes
  std::map<std::uint8_t, std::array<std::uint8_t, 0x100 - superio::kFirstDeviceRegister>>
      devices_;  // per LDN
};

}  // namespace veltrix::sim
