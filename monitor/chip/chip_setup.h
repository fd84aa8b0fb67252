#pragma once
// One-time and suspend/resume programming of the sensor chip, built only from the register
// routines. Most of it concerns Winbond chips and is selected by ChipId or by the board model
// (the board lists come from the board catalog).
#include <cstdint>

namespace veltrix::monitor {

class Program;

// Chassis-sensor clear and chipset set-up by board family: Intel-style boards ("ZQ"/"ZR")
// write 1 to PmBase + 0x66, "ZT"/"ZV" boards set bits of port 0x4449 (ten listed boards) or
// write 0x40 to PmBase + 0x20. A board of no known family gets the "cannot support" box and
// the program ends at once (EndProgram).
void PrepareChassisSensor(Program& program);

// W83637HF: bank 0 register 0x18 bit 0 cleared.
void ApplyChipQuirk(Program& program);

// Sensor types and VBAT monitoring (W83627HF, W83697HF, W83637HF), then the temperature
// offsets on the first two.
void ApplySensorSetup(Program& program);

// Bank-4 registers 0x54..0x56 (temperature offsets, signed degrees) by board model.
void SetTemperatureOffsets(Program& program);

// Default Vcore limits (volts) by ChipId; an unknown chip leaves them unchanged.
void SetDefaultVcoreLimits(Program& program, float& loLimit, float& hiLimit);

// Suspend: every beep enable off (all boards).
void ClearBeepEnables(Program& program);
// Resume on Winbond boards: fan beeps on, everything else off.
void SetResumeBeepEnables(Program& program);

// Start-up's one-time Winbond step: bank 0 register 0x4D bit 7 set.
void ApplyWinbondStartupBit(Program& program);

}  // namespace veltrix::monitor
