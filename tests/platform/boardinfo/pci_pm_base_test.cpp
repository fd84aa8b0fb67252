// The chipset's PM base from the LPC bridge's configuration space, on fake sysfs trees.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/boardinfo/pci_pm_base.h"

namespace veltrix::platform {
namespace {

namespace fs = std::filesystem;

// Configuration bytes of a bridge: vendor, device, class 06/01 and the given registers.
std::vector<std::uint8_t> Config(std::uint16_t vendor, std::uint16_t device,
                                 std::initializer_list<std::pair<std::size_t, std::uint8_t>> regs,
                                 std::size_t size = 256) {
  std::vector<std::uint8_t> c(size, 0);
  c[0] = vendor & 0xFF, c[1] = vendor >> 8, c[2] = device & 0xFF, c[3] = device >> 8;
  c[0x0A] = 0x01, c[0x0B] = 0x06;
  for (auto [at, v] : regs)
    if (at < size) c[at] = v;
  return c;
}

TEST(PciPmBase, IntelViaAndNvidiaRegisters) {
  struct Case {
    const char* what;
    const char* address;
    std::vector<std::uint8_t> config;
    std::optional<ChipsetVendor> vendor;
    std::optional<std::uint16_t> base;
  };
  const Case cases[] = {
      {"ICH4, ACPI on (bit 4)", "0000:00:1f.0",
       Config(0x8086, 0x24C0, {{0x40, 0x01}, {0x41, 0x04}, {0x44, 0x10}}), ChipsetVendor::kIntel, 0x0400},
      {"ICH4, ACPI off", "0000:00:1f.0", Config(0x8086, 0x24C0, {{0x40, 0x01}, {0x41, 0x04}, {0x44, 0x80}}),
       ChipsetVendor::kIntel, std::nullopt},
      {"ICH7 enables with bit 7", "0000:00:1f.0",
       Config(0x8086, 0x27B8, {{0x40, 0x81}, {0x41, 0x08}, {0x44, 0x80}}), ChipsetVendor::kIntel, 0x0880},
      {"Intel, not an I/O base", "0000:00:1f.0",
       Config(0x8086, 0x24D0, {{0x40, 0x00}, {0x41, 0x04}, {0x44, 0x10}}), ChipsetVendor::kIntel,
       std::nullopt},
      {"Intel bridge elsewhere", "0000:00:1e.0", Config(0x8086, 0x24D0, {{0x40, 0x01}, {0x44, 0x10}}),
       std::nullopt, std::nullopt},
      {"unprivileged: 64 bytes only", "0000:00:1f.0", Config(0x8086, 0x24D0, {{0x40, 0x01}}, 64),
       ChipsetVendor::kIntel, std::nullopt},
      {"VT8235", "0000:00:11.0", Config(0x1106, 0x3177, {{0x88, 0x01}, {0x89, 0x05}, {0x81, 0x84}}),
       ChipsetVendor::kVia, 0x0500},
      {"VT8235, PM I/O off", "0000:00:11.0",
       Config(0x1106, 0x3177, {{0x88, 0x01}, {0x89, 0x05}, {0x81, 0x04}}), ChipsetVendor::kVia, std::nullopt},
      {"VIA bridge not of the VT8233 family", "0000:00:11.0",
       Config(0x1106, 0x0686, {{0x88, 0x01}, {0x81, 0x80}}), std::nullopt, std::nullopt},
      {"nForce", "0000:00:01.0", Config(0x10DE, 0x0060, {{0x60, 0x01}, {0x61, 0x50}}), ChipsetVendor::kNvidia,
       0x5000},
      {"another maker", "0000:00:07.0", Config(0x1039, 0x0008, {{0x40, 0x01}}), std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto bridge = IdentifyChipsetBridge(c.address, c.config);
    ASSERT_EQ(bridge.has_value(), c.vendor.has_value());
    if (!bridge) continue;
    EXPECT_EQ(bridge->vendor, *c.vendor);
    EXPECT_EQ(bridge->pmBase, c.base);
  }
  EXPECT_FALSE(IdentifyChipsetBridge("garbage", Config(0x8086, 0x24D0, {})));
  EXPECT_FALSE(IdentifyChipsetBridge("0000:00:1f.0", std::vector<std::uint8_t>(8, 0)));
}

TEST(PciPmBase, FindsTheBridgeAmongTheDevicesOfATree) {
  const fs::path root = fs::temp_directory_path() / ("veltrix-pci-" + std::to_string(::getpid()));
  auto write = [&](const std::string& device, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(root / "sys/bus/pci/devices" / device);
    std::ofstream(root / "sys/bus/pci/devices" / device / "config", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  EXPECT_FALSE(FindChipsetBridge(root.string())) << "no tree at all";
  write("0000:00:00.0", Config(0x8086, 0x2570, {}));  // not at device 31: not the LPC bridge
  write("0000:00:02.0", std::vector<std::uint8_t>{0x86, 0x80});
  EXPECT_FALSE(FindChipsetBridge(root.string()));
  write("0000:00:1f.0", Config(0x8086, 0x24D0, {{0x40, 0x01}, {0x41, 0x10}, {0x44, 0x10}}));
  const auto bridge = FindChipsetBridge(root.string() + "/");
  ASSERT_TRUE(bridge);
  EXPECT_EQ(bridge->address, "0000:00:1f.0");
  EXPECT_EQ(bridge->pmBase, 0x1000);
  fs::remove_all(root);
}

}  // namespace
}  // namespace veltrix::platform
