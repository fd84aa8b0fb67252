#include <cstdio>

#include "platform/superio/ite_registers.h"
#include "platform/superio/superio_registers.h"
#include "platform/superio/winbond_registers.h"
#include "sim/dump/register_dump.h"

namespace veltrix::sim {
namespace {

std::string Hex(unsigned v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*x", width, v);
  return buf;
}

bool IsConfigPort(std::uint16_t port) {
  return port == superio::kConfigPort2E || port == superio::kConfigPort4E;
}

// Winbond monitors answer 0xA3 (HBACS clear) or 0x5C (HBACS set) at the vendor id register.
bool WinbondMonitorSignature(const DumpTable& t) {
  auto bankSel = t.At(winbond::kBankSelect), vendor = t.At(winbond::kVendorId);
  if (!bankSel || !vendor) return false;
  bool hbacs = (*bankSel & winbond::kHbacs) != 0;
  return (!hbacs && *vendor == winbond::kVendorIdLowByte) || (hbacs && *vendor == winbond::kVendorIdHighByte);
}

bool IteMonitorSignature(const DumpTable& t) {
  return t.At(ite::kVendorId) == std::optional<std::uint8_t>(ite::kVendorIdValue);
}

// Chip ids of the Winbond monitors (the three simulated ones and relatives people dump).
std::string MonitorChipName(std::uint8_t id) {
  switch (id) {
    case winbond::kChipIdW83627HF:
      return "W83627HF";
    case winbond::kChipIdW83697HF:
      return "W83697HF";
    case winbond::kChipIdW83637HF:
      return "W83637HF";
    case 0x90:
      return "W83627THF/W83687THF";
    case 0x30:
      return "W83782D";
    case 0x10:
      return "W83781D";
    default:
      return "unknown Winbond chip";
  }
}

}  // namespace

std::optional<ChipModel> ChipFromMonitorId(std::uint8_t id58) {
  switch (id58) {
    case winbond::kChipIdW83627HF:
      return ChipModel::W83627HF;
    case winbond::kChipIdW83697HF:
      return ChipModel::W83697HF;
    case winbond::kChipIdW83637HF:
      return ChipModel::W83637HF;
    default:
      return std::nullopt;
  }
}

std::optional<ChipModel> ChipFromConfigId(SuperIoVendor vendor, std::uint16_t id) {
  if (vendor == SuperIoVendor::Ite) {
    if (id == ite::kChipIdIT8705F) return ChipModel::IT8705F;
    if (id == ite::kChipIdIT8712F) return ChipModel::IT8712F;
    return std::nullopt;
  }
  switch (id) {
    case winbond::kDeviceIdW83627HF:
      return ChipModel::W83627HF;
    case winbond::kDeviceIdW83697HF:
      return ChipModel::W83697HF;
    case winbond::kDeviceIdW83637HF:
      return ChipModel::W83637HF;
    default:
      return std::nullopt;
  }
}

DumpIdentity IdentifyTable(const DumpTable& t) {
  DumpIdentity id;
  const bool configPorts = IsConfigPort(t.addressPort);
  if (!configPorts && WinbondMonitorSignature(t)) {
    id.kind = DumpKind::kMonitor;
    id.vendor = SuperIoVendor::Winbond;
    int bank = t.bank.value_or(0);
    if (bank == winbond::kChipId.bank) {
      if (auto chip = t.At(winbond::kChipId.reg)) {
        id.chipId = *chip;
        id.description = "Winbond monitor, chip id " + Hex(*chip, 2) + " (" + MonitorChipName(*chip) + ")";
        return id;
      }
    }
    id.description = "Winbond monitor, bank " + std::to_string(bank);
    return id;
  }
  if (!configPorts && IteMonitorSignature(t)) {
    id.kind = DumpKind::kMonitor;
    id.vendor = SuperIoVendor::Ite;
    id.description = "ITE environment controller";
    return id;
  }
  // Configuration space: ITE id 0x87xx at 0x20/0x21, Winbond one-byte id at 0x20.
  constexpr std::uint8_t kIteIdHigh = ite::kChipIdIT8712F >> 8;
  static_assert(kIteIdHigh == ite::kChipIdIT8705F >> 8);
  auto hi = t.At(superio::kChipIdByte1), lo = t.At(superio::kChipIdByte2);
  if (hi && *hi == kIteIdHigh && lo) {
    id.kind = DumpKind::kConfigSpace;
    id.vendor = SuperIoVendor::Ite;
    id.chipId = static_cast<std::uint16_t>(kIteIdHigh << 8 | *lo);
    id.description = "ITE configuration space, chip id " + Hex(*id.chipId, 4);
    return id;
  }
  if (hi && (configPorts || ChipFromConfigId(SuperIoVendor::Winbond, *hi)) &&
      t.At(superio::kLogicalDeviceSelect).value_or(0xFF) <= winbond::kMonitorDevice &&
      !WinbondMonitorSignature(t)) {
    id.kind = DumpKind::kConfigSpace;
    id.vendor = SuperIoVendor::Winbond;
    id.chipId = *hi;
    id.description = "Winbond configuration space, device id " + Hex(*hi, 2);
    return id;
  }
  id.description = "not a Winbond or ITE sensor chip dump";
  return id;
}

}  // namespace veltrix::sim
