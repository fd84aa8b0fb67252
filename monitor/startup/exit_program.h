#pragma once
// The orderly way out: put the chip back as start-up found it, stop fans and drives being
// held back, remove the tray icon and unload every secondary window.
#include <array>
#include <string_view>

namespace veltrix::monitor {

class Program;

// Secondary windows, in the order UnloadAllForms unloads them.
inline constexpr std::array<std::string_view, 23> kSecondaryForms{
    "frmCaseOpen",  "frmFan1",     "frmFan2",     "frmFan3",  "frmTemp1",  "frmTemp2",  "frmTemp3", "frmV33",
    "frmVbat",      "frmVcoreA",   "frmVn12",     "frmVn5",   "frmVp12",   "frmVp5",    "frmVsb",   "frmV25",
    "frmManualFAN", "frmMultiFAN", "frmSmartFAN", "frmGraph", "frmGraph1", "frmGraph2", "frmGraph3"};

// Temperature offsets cleared, fans at full output, CD-ROM speed released, Winbond beep off,
// monitor device deactivated when start-up activated it, log touched, tray icon removed,
// secondary windows unloaded. The caller then unloads frmdoctor.
void ExitProgram(Program& program);

// Unloads every secondary window that is loaded; a window never created stays uncreated.
void UnloadAllForms(Program& program);

// The exit buttons' handler (cmdExit, picExit), and every other way a person or the system
// asks the program to end (signals, logout, a refused board at the model check):
// ExitProgram, unload frmdoctor, end the process (throws ProgramEnded with the status).
[[noreturn]] void ExitAndEndProcess(Program& program, int exitStatus = 0);

}  // namespace veltrix::monitor
