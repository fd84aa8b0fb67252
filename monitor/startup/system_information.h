#pragma once
// ModuleInformation: the value labels of the system information page (lblUser_ ... lblIO_),
// filled once while the main window loads and never refreshed.
#include <cstdint>
#include <string>

namespace veltrix::monitor {

class Program;

// The Super I/O chip's name by ChipId; "Unknown." for any other id.
std::string SuperIoName(std::uint32_t chipId);

// Physical memory as the page shows it: bytes / 1024 in the shortest decimal form that reads
// back as the same number, then " KBytes" ("524288 KBytes", "524288.0009765625 KBytes").
std::string MemoryText(std::uint64_t bytes);

// Fills lblUser_, lblCPU_, lblMemory_, lblModelName_, lblOS_, lblOSVersion_, lblBIOSVersion_,
// lblBIOSDate_, lblCountry_ and lblIO_ of the main window, in that order, from the
// board-information library, the model table, the language table and ChipId.
void FillSystemInformation(Program& program);

}  // namespace veltrix::monitor
