#include "platform/boardinfo/pci_pm_base.h"

#include <dirent.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <vector>

namespace veltrix::platform {
namespace {

constexpr std::uint16_t kVendorIntel = 0x8086;
constexpr std::uint16_t kVendorVia = 0x1106;
constexpr std::uint16_t kVendorNvidia = 0x10DE;

// Class code 06/01: a PCI-to-ISA (LPC) bridge.
constexpr std::uint8_t kClassBridge = 0x06;
constexpr std::uint8_t kSubclassIsa = 0x01;

// Intel ICH LPC bridge (bus 0, device 31, function 0): PMBASE at 0x40, bits 15:7, bit 0 reads 1
// (an I/O range); ACPI_CNTL at 0x44 enables it: bit 4 on the 82801AA..EB/ESB (ICH to ICH5), bit 7
// from the ICH6 on. (Intel 82801DB ICH4 and 82801FB ICH6 datasheets, LPC interface D31:F0; the
// same offsets and bits are used by Linux's PCI quirks for these bridges.)
constexpr std::size_t kIntelPmBase = 0x40;
constexpr std::size_t kIntelAcpiControl = 0x44;
constexpr std::uint8_t kIchAcpiEnable = 0x10;
constexpr std::uint8_t kIch6AcpiEnable = 0x80;
constexpr std::array<std::uint16_t, 10> kIchUpToIch5{0x2410, 0x2420, 0x2440, 0x244C, 0x2480,
                                                     0x248C, 0x24C0, 0x24CC, 0x24D0, 0x25A1};

// VIA VT8233/VT8233A/VT8235/VT8237 bridge (bus 0, device 17, function 0): power-management I/O
// base at 0x88-0x89, bits 15:7; register 0x81 bit 7 turns that I/O space on. (VT8235/VT8237
// datasheets, device 17 function 0; Linux's VT8235 quirk reads the same 128-byte range.)
constexpr std::size_t kViaPmBase = 0x88;
constexpr std::size_t kViaPmControl = 0x81;
constexpr std::uint8_t kViaPmIoEnable = 0x80;
constexpr std::array<std::uint16_t, 7> kViaBridges{0x3074, 0x3109, 0x3147, 0x3177, 0x3227, 0x3337, 0x3372};

// NVIDIA nForce LPC bridge (bus 0, device 1, function 0): the PM I/O base at 0x60, bits 15:8
// (as the open-source firmware for the nForce4-class bridges sets it up; not confirmed for the
// nForce2). The NVIDIA chassis ports do not depend on it.
constexpr std::size_t kNvidiaPmBase = 0x60;

std::optional<std::uint16_t> Word(std::span<const std::uint8_t> c, std::size_t at) {
  if (at + 2 > c.size()) return std::nullopt;
  return static_cast<std::uint16_t>(c[at] | (c[at + 1] << 8));
}

std::optional<std::uint8_t> Byte(std::span<const std::uint8_t> c, std::size_t at) {
  if (at >= c.size()) return std::nullopt;
  return c[at];
}

// "0000:00:1f.0" -> bus 0, device 0x1f, function 0.
bool ParseAddress(const std::string& address, int& bus, int& device, int& function) {
  unsigned domain = 0, b = 0, d = 0, f = 0;
  char tail = 0;
  if (std::sscanf(address.c_str(), "%4x:%2x:%2x.%1x%c", &domain, &b, &d, &f, &tail) != 4) return false;
  bus = static_cast<int>(b);
  device = static_cast<int>(d);
  function = static_cast<int>(f);
  return true;
}

std::optional<std::uint16_t> IntelPmBase(std::uint16_t deviceId, std::span<const std::uint8_t> c) {
  const auto base = Word(c, kIntelPmBase);
  const auto control = Byte(c, kIntelAcpiControl);
  if (!base || !control || (*base & 0x0001) == 0) return std::nullopt;
  const bool oldIch = std::find(kIchUpToIch5.begin(), kIchUpToIch5.end(), deviceId) != kIchUpToIch5.end();
  if ((*control & (oldIch ? kIchAcpiEnable : kIch6AcpiEnable)) == 0) return std::nullopt;
  const auto pm = static_cast<std::uint16_t>(*base & 0xFF80);
  return pm != 0 ? std::optional(pm) : std::nullopt;
}

std::optional<std::uint16_t> ViaPmBase(std::span<const std::uint8_t> c) {
  const auto base = Word(c, kViaPmBase);
  const auto control = Byte(c, kViaPmControl);
  if (!base || !control || (*control & kViaPmIoEnable) == 0) return std::nullopt;
  const auto pm = static_cast<std::uint16_t>(*base & 0xFF80);
  return pm != 0 ? std::optional(pm) : std::nullopt;
}

std::optional<std::uint16_t> NvidiaPmBase(std::span<const std::uint8_t> c) {
  const auto base = Word(c, kNvidiaPmBase);
  if (!base) return std::nullopt;
  const auto pm = static_cast<std::uint16_t>(*base & 0xFF00);
  return pm != 0 ? std::optional(pm) : std::nullopt;
}

std::vector<std::uint8_t> ReadConfig(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes(256);
  if (!in) return {};
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

}  // namespace

std::optional<ChipsetBridge> IdentifyChipsetBridge(const std::string& address,
                                                   std::span<const std::uint8_t> config) {
  int bus = 0, device = 0, function = 0;
  if (!ParseAddress(address, bus, device, function) || bus != 0 || function != 0) return std::nullopt;
  const auto vendor = Word(config, 0x00);
  const auto deviceId = Word(config, 0x02);
  const auto subclass = Byte(config, 0x0A);
  const auto baseClass = Byte(config, 0x0B);
  if (!vendor || !deviceId || baseClass != kClassBridge || subclass != kSubclassIsa) return std::nullopt;

  ChipsetBridge bridge;
  bridge.address = address;
  bridge.deviceId = *deviceId;
  if (*vendor == kVendorIntel && device == 0x1F) {
    bridge.vendor = ChipsetVendor::kIntel;
    bridge.pmBase = IntelPmBase(*deviceId, config);
  } else if (*vendor == kVendorVia && device == 0x11 &&
             std::find(kViaBridges.begin(), kViaBridges.end(), *deviceId) != kViaBridges.end()) {
    bridge.vendor = ChipsetVendor::kVia;
    bridge.pmBase = ViaPmBase(config);
  } else if (*vendor == kVendorNvidia && device == 0x01) {
    bridge.vendor = ChipsetVendor::kNvidia;
    bridge.pmBase = NvidiaPmBase(config);
  } else {
    return std::nullopt;
  }
  return bridge;
}

std::optional<ChipsetBridge> FindChipsetBridge(const std::string& root) {
  std::string base = root;
  while (!base.empty() && base.back() == '/') base.pop_back();
  const std::string folder = base + "/sys/bus/pci/devices";
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    std::string path = folder;
    path.append("/").append(name).append("/config");
    const std::vector<std::uint8_t> config = ReadConfig(path);
    if (auto bridge = IdentifyChipsetBridge(name, config)) return bridge;
  }
  return std::nullopt;
}

}  // namespace veltrix::platform
