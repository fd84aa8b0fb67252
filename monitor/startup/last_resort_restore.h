#pragma once
// What the last-resort path puts back when the process ends without the orderly exit (a crash
// signal, exit() from a library, an accepted shut-down): the part of ExitProgram that is plain
// port writes and safe at any moment.
//
//  - full output (the value SetFanSpeed(fan, 100) writes) for every fan output this run
//    programmed, and once start-up is done for fans 0 and 1 as the orderly exit does;
//  - once start-up has programmed the chip: Winbond temperature offsets 0 (bank 4, 0x54..0x56),
//    Winbond beep enables off (bank 0, 0x57), the PC speaker off (port 0x61, every board: the
//    chassis alarm's tone may be sounding), and the monitor device deactivated again when
//    start-up activated it.
//
// The list is rebuilt whenever its contents change and cleared by the orderly exit, which
// restores everything itself.
#include <vector>

#include "platform/portio/last_resort.h"

namespace veltrix::monitor {

class Program;

// The operations for the program as it stands now.
std::vector<platform::RestoreOp> LastResortOps(Program& program);
// Puts LastResortOps in force.
void RefreshLastResort(Program& program);
// Start-up has programmed the chip: the exit's restores join the list.
void ArmLastResort(Program& program);
// The orderly exit has put everything back: nothing is left to do.
void DisarmLastResort(Program& program);

}  // namespace veltrix::monitor
