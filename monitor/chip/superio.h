#pragma once
// The register routines: the only way the program talks to the sensor chip. They hide the
// two chip families (Winbond 1, ITE 2) behind one interface:
//  - the Super I/O configuration space, through ConfigPort (0x2E or 0x4E) and the data port
//    above it, after the family's entry key; always left again before returning;
//  - the hardware-monitor space, through HmIndexPort (0x295) and its data port 0x296, no key.
// Routines that depend on the family do nothing (and return 0 / false) for any other family.
#include <cstdint>
#include <vector>

#include "platform/superio/ite_registers.h"
#include "platform/superio/superio_registers.h"
#include "platform/superio/winbond_registers.h"

namespace veltrix::monitor {

class Program;

inline constexpr std::uint16_t kSystemControlPort = 0x61;  // PC speaker gate and data
inline constexpr std::uint8_t kSpeakerOffKeep = 0xEC;      // clears speaker gate, data and bit 4

// True when the family's chip answers at this configuration port. Winbond: device id 0x52
// or 0x60 with bit 4 of register 0x21 set. ITE: register 0x20 + 0x21 is 0x8C or 0x99; the
// sum is kept in ChipId whether the chip answered or not.
bool ProbeSuperIo(Program& program, std::uint16_t port);

// A configuration register of the monitor logical device (entry key, device select,
// access, exit). Nothing is touched while ConfigPort is 0 (no chip answered the probe):
// port 0 is the DMA controller, not a Super I/O index port.
std::uint8_t ReadConfigRegister(Program& program, std::uint8_t reg);
void WriteConfigRegister(Program& program, std::uint8_t reg, std::uint8_t value);
// The port writes WriteConfigRegister makes (entry key, device select, the register, exit),
// for replaying them where no routine may run (the last-resort restore). Empty when
// WriteConfigRegister would touch nothing.
struct PortWrite {
  std::uint16_t port;
  std::uint8_t value;
};
std::vector<PortWrite> ConfigRegisterWrites(Program& program, std::uint8_t reg, std::uint8_t value);

// Monitor registers: index to HmIndexPort, data at HmIndexPort + 1.
std::uint8_t ReadMonitorRegister(Program& program, std::uint8_t reg);
void WriteMonitorRegister(Program& program, std::uint8_t reg, std::uint8_t value);

// Winbond bank select through register 0x4E; bit 7 (which byte of the vendor id 0x4F shows)
// is kept.
void SelectBank(Program& program, std::uint8_t bank);

// Winbond: 0x4F high byte (0x4E bit 7 set), then low byte (bit 7 clear) -> 0x5CA3.
// ITE: register 0x58 -> 0x90.
std::uint32_t ReadVendorId(Program& program);

// Winbond only: ChipId := bank-0 register 0x58.
void ReadChipId(Program& program);

// Sets the start bit (Winbond bank 0 register 0x40 bit 0; ITE register 0x00 bits 0 and 6),
// then runs the sensor-type set-up.
void StartMonitoring(Program& program);
// Winbond: clears the start bit and, on the three known chips, bits 0 and 5 of 0x5D. Both
// families then let pending window messages run once.
void StopMonitoring(Program& program);
// After a resume: bank 0, register 0x40 |= 0x81.
void RestartMonitoring(Program& program);

// Port 0x61 &= 0xEC: speaker gate, speaker data and bit 4 cleared.
void SpeakerOff(Program& program);

}  // namespace veltrix::monitor
