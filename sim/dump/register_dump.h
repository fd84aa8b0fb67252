#pragma once
// Register dumps in the text format of the isadump tool (256 cells in 16 rows under a column
// header), as people post them: with the tool's command line or its stderr lines pasted in,
// '#' comments, an i2cdump-style ASCII column, "XX" for cells that could not be read, and
// several tables in one file (one per bank). The accepted format is in docs/register-dumps.md.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/chip/chip.h"

namespace veltrix::sim {

struct DumpTable {
  int line = 0;                   // line of the column header
  std::uint16_t addressPort = 0;  // from the isadump command or probe line, 0 = not stated
  std::uint16_t dataPort = 0;
  std::optional<int> bank;  // bank (monitor) or logical device (configuration space)
  int rows = 16;            // 16, or 8 when the tool saw a busy address register
  std::array<std::optional<std::uint8_t>, 256> cells{};  // nullopt = "XX" or beyond `rows`

  std::optional<std::uint8_t> At(int index) const { return cells[static_cast<std::size_t>(index & 0xFF)]; }
};

struct RegisterDump {
  std::string fileName;
  std::vector<DumpTable> tables;
};

struct DumpParseResult {
  std::optional<RegisterDump> dump;
  std::string error;  // "FILE:LINE: reason" when dump is empty
};

// The largest register dump accepted (a dump of every bank of a chip is some 30 KiB).
inline constexpr std::size_t kMaxDumpFileBytes = 1024 * 1024;

DumpParseResult ParseRegisterDump(std::string_view text, std::string_view fileName);
// Reads only a regular file of at most kMaxDumpFileBytes, checked before and while reading (a
// FIFO or /dev/zero is refused at once).
DumpParseResult LoadRegisterDumpFile(const std::string& path);

// What one table is a dump of, judged from the ports it was taken at and from its contents.
enum class DumpKind : std::uint8_t { kUnknown, kMonitor, kConfigSpace };

struct DumpIdentity {
  DumpKind kind = DumpKind::kUnknown;
  SuperIoVendor vendor = SuperIoVendor::Winbond;
  // Monitor: the Winbond chip id byte of bank 0 register 0x58 (none for ITE, whose monitor
  // does not tell the two chips apart). Configuration space: the id registers 0x20 (/0x21).
  std::optional<std::uint16_t> chipId;
  std::string description;  // "Winbond monitor, chip id 0x21 (W83627HF)", ...
};

DumpIdentity IdentifyTable(const DumpTable& table);

// The chip a Winbond monitor chip id (register 0x58) or a configuration-space id belongs to,
// among the five simulated chips.
std::optional<ChipModel> ChipFromMonitorId(std::uint8_t id58);
std::optional<ChipModel> ChipFromConfigId(SuperIoVendor vendor, std::uint16_t id);

}  // namespace veltrix::sim
