#include "sim/chip/superio_config.h"

#include <utility>

#include "platform/superio/ite_registers.h"
#include "platform/superio/winbond_registers.h"

namespace veltrix::sim {

namespace {
// Winbond: 0x87 twice. ITE: 0x87 0x01 0x55 and a last byte that depends on the port the chip
// decodes (0x55 at 0x2E, 0xAA at 0x4E).
std::vector<std::uint8_t> EntryKey(SuperIoVendor vendor, std::uint16_t port) {
  if (vendor == SuperIoVendor::Winbond) return {winbond::kEntryKey, winbond::kEntryKey};
  return {ite::kEntryKey1, ite::kEntryKey2, ite::kEntryKey3, ite::EntryKeyLast(port)};
}
}  // namespace

SuperIoConfig::SuperIoConfig(SuperIoVendor vendor, std::uint16_t indexPort, std::vector<std::uint8_t> idBytes)
    : vendor_(vendor), indexPort_(indexPort), key_(EntryKey(vendor, indexPort)) {
  for (std::size_t i = 0; i < idBytes.size() && superio::kChipIdByte1 + i < globals_.size(); ++i) {
    globals_[superio::kChipIdByte1 + i] = idBytes[i];
  }
  idCount_ = static_cast<std::uint8_t>(idBytes.size());
}

std::uint16_t SuperIoConfig::BaseAddress(std::uint8_t ldn) const {
  return static_cast<std::uint16_t>(GetRegister(ldn, superio::kBaseAddressHigh) << 8 |
                                    GetRegister(ldn, superio::kBaseAddressLow));
}

std::uint8_t SuperIoConfig::GetRegister(std::uint8_t ldn, std::uint8_t index) const {
  if (index < superio::kFirstDeviceRegister) return globals_[index];
  auto it = devices_.find(ldn);
  return it == devices_.end() ? 0x00 : it->second[index - superio::kFirstDeviceRegister];
}

void SuperIoConfig::SetRegister(std::uint8_t ldn, std::uint8_t index, std::uint8_t value) {
  if (index < superio::kFirstDeviceRegister) {
    globals_[index] = value;
    return;
  }
  auto it = devices_.try_emplace(ldn).first;
  it->second[index - superio::kFirstDeviceRegister] = value;
}

void SuperIoConfig::FeedKey(std::uint8_t value) {
  if (value == key_[keyProgress_]) {
    if (++keyProgress_ == key_.size()) {
      unlocked_ = true;
      keyProgress_ = 0;
    }
    return;
  }
  // A wrong byte restarts the sequence; it may itself be the first byte of a new try.
  keyProgress_ = (value == key_[0]) ? 1 : 0;
}

std::uint8_t SuperIoConfig::ReadPort(std::uint16_t port) {
  if (!unlocked_) return 0xFF;
  return port == indexPort_ ? index_ : ReadSelected();
}

void SuperIoConfig::WritePort(std::uint16_t port, std::uint8_t value) {
  if (!unlocked_) {
    if (port == indexPort_) FeedKey(value);
    return;
  }
  if (port == indexPort_) {
    // Winbond leaves configuration mode on 0xAA at the index port; ITE has no such register
    // and just selects index 0xAA.
    if (vendor_ == SuperIoVendor::Winbond && value == winbond::kExitKey) {
      unlocked_ = false;
      return;
    }
    index_ = value;
    return;
  }
  WriteSelected(value);
}

std::uint8_t SuperIoConfig::ReadSelected() const {
  if (index_ == superio::kConfigControl) return 0x00;  // write-only
  return GetRegister(SelectedLdn(), index_);
}

void SuperIoConfig::WriteSelected(std::uint8_t value) {
  if (index_ == superio::kConfigControl) {
    // On ITE bit 1 returns to Wait for Key; Winbond leaves only on its exit key.
    if (vendor_ == SuperIoVendor::Ite && (value & ite::kReturnToWaitForKey)) unlocked_ = false;
    return;
  }
  // Chip id and revision are read-only.
  if (index_ >= superio::kChipIdByte1 && index_ < superio::kChipIdByte1 + idCount_) return;
  SetRegister(SelectedLdn(), index_, value);
}

}  // namespace veltrix::sim
