#pragma once
// Putting a register dump onto a simulated board: the chip's registers, and the physical state
// (rail volts, temperatures, fan speeds) that makes the chip convert the same counts again, so
// that reprogramming the chip later (divisors, limits) gives physically consistent readings.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/board/board_profile.h"
#include "sim/chip/chip.h"
#include "sim/dump/register_dump.h"
#include "sim/physics/sensor_physics.h"

namespace veltrix::sim {

// Empty when every table of the dump fits this chip; otherwise "FILE:LINE: reason".
std::string CheckDumpFits(const RegisterDump& dump, ChipModel chip);

// A reading no physical state can produce (a fan count of 0), kept as a stuck register.
struct StuckReading {
  int bank = 0;
  std::uint8_t reg = 0;
  std::uint8_t value = 0;
};

// Applies a dump that passed CheckDumpFits. Returns the readings the physics cannot explain.
std::vector<StuckReading> ApplyDump(const RegisterDump& dump, const BoardProfile& profile, SimChip& chip,
                                    SensorPhysics& physics);

}  // namespace veltrix::sim
