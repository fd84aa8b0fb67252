#pragma once
// The veltrix program as a function: parse the command line, pick the backends, start the
// monitor, run its event loop, end it the orderly way. main() only forwards to it.
#include <ostream>
#include <span>
#include <string>

#include "app/veltrix/command_line.h"

namespace veltrix::app {

// Returns the process exit status.
int RunVeltrix(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The --list-boards output: a header line, then one tab-separated line per simulated board
// (model, chip, family, variant, chassis, fancontrol, known).
void ListBoards(std::ostream& out);

// The board the simulator runs when none is named: the first supported board of the catalog
// with fan control and a chipset chassis flag that the simulator has a profile for.
std::string DefaultBoardModel();

}  // namespace veltrix::app
