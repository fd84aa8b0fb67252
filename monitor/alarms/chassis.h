#pragma once
// Chassis intrusion: every monitoring tick reads the board's case-opened flag with the method
// the board table names (Intel, VIA or NVIDIA south bridge, or the Winbond chip), mirrors it
// into the chassis row of the main window (optCaseOpened, lblCaseOpen) and raises or closes
// item 15. The NT family cannot reach the ports, so the feature is off there.
#include <cstdint>
#include <string_view>
#include <vector>

#include "monitor/boards/board_tables.h"

namespace veltrix::monitor {

class Program;

// The tick's chassis step.
void ChkModuleCaseOpen(Program& program);

// Detection, one per method; each does nothing while WEnable[15] is not 1.
void ProcessCaseOpenIntel(Program& program);   // PmBase + 0x66 bit 0 = opened
void ProcessCaseOpenNVIDIA(Program& program);  // port 0x4444 bit 2 = opened
void ProcessCaseOpenVT8233(Program& program);  // PmBase + 0x20 bit 6 = 0 means opened
void ProcessCaseOpenVT8233A(Program& program);
void ProcessCaseOpen697(Program& program);  // Winbond bank-0 register 0x42 bit 4 = opened
void ProcessCaseOpen627(Program& program);

// Resets the case-opened flag with a method (kNone does nothing). A chipset port the port
// layer does not reach is left alone.
void ClearChassisFlag(Program& program, boards::ChassisMethod method);

// The chipset ports a board's chassis routines use (the start-up preparation, the detection
// and both clears), so real hardware can open exactly those: the method each belongs to, and
// the port, as an offset from PmBase when fromPmBase.
struct ChipsetPortUse {
  boards::ChassisMethod method;
  std::uint16_t port;
  bool fromPmBase;
  friend bool operator==(const ChipsetPortUse&, const ChipsetPortUse&) = default;
};
std::vector<ChipsetPortUse> ChipsetPortsUsed(std::string_view model);

}  // namespace veltrix::monitor
