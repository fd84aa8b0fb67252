#include <cstdio>

#include "sim/dump/register_dump.h"

namespace veltrix::sim {
namespace {

std::string Hex(unsigned v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*x", width, v);
  return buf;
}

bool IsConfigPort(std::uint16_t port) {
  return port == 0x2E || port == 0x4E;
}

// Winbond monitors answer 0xA3 (HBACS clear) or 0x5C (HBACS set) at 0x4F.
bool WinbondMonitorSignature(const DumpTable& t) {
  auto bankSel = t.At(0x4E), vendor = t.At(0x4F);
  if (!bankSel || !vendor) return false;
  bool hbacs = (*bankSel & 0x80) != 0;
  return (!hbacs && *vendor == 0xA3) || (hbacs && *vendor == 0x5C);
}

bool IteMonitorSignature(const DumpTable& t) {
  return t.At(0x58) == std::optional<std::uint8_t>(0x90);
}

std::string MonitorChipName(std::uint8_t id) {
  switch (id) {
    case 0x21:
      return "W83627HF";
    case 0x60:
      return "W83697HF";
    case 0x80:
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
    case 0x21:
      return ChipModel::W83627HF;
    case 0x60:
      return ChipModel::W83697HF;
    case 0x80:
      return ChipModel::W83637HF;
    default:
      return std::nullopt;
  }
}

std::optional<ChipModel> ChipFromConfigId(SuperIoVendor vendor, std::uint16_t id) {
  if (vendor == SuperIoVendor::Ite) {
    if (id == 0x8705) return ChipModel::IT8705F;
    if (id == 0x8712) return ChipModel::IT8712F;
    return std::nullopt;
  }
  switch (id) {
    case 0x52:
      return ChipModel::W83627HF;
    case 0x60:
      return ChipModel::W83697HF;
    case 0x70:
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
    if (bank == 0) {
      if (auto chip = t.At(0x58)) {
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
  auto hi = t.At(0x20), lo = t.At(0x21);
  if (hi && *hi == 0x87 && lo) {
    id.kind = DumpKind::kConfigSpace;
    id.vendor = SuperIoVendor::Ite;
    id.chipId = static_cast<std::uint16_t>(0x8700 | *lo);
    id.description = "ITE configuration space, chip id " + Hex(*id.chipId, 4);
    return id;
  }
  if (hi && (configPorts || ChipFromConfigId(SuperIoVendor::Winbond, *hi)) &&
      t.At(0x07).value_or(0xFF) <= 0x0B && !WinbondMonitorSignature(t)) {
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
