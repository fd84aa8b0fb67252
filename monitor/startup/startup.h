#pragma once
// Start-up: the entry procedure Main and the hardware initialisation it hands over to. Every
// start-up failure shows its box and ends the process at once (EndProgram): no window is
// unloaded, no tray icon exists yet, and the chip is left as it is.
#include <cstdint>
#include <string>

namespace veltrix::monitor {

class Program;

// Texts of the start-up failure boxes.
inline constexpr const char* kAlreadyRunText = "Hushwind has already run!!";
inline constexpr const char* kModelNameFailedText = "Read model name of system information failed !";
inline constexpr const char* kDriverLoadFailedText = "LOAD Device Driver fail!";
inline constexpr const char* kBusInitFailedText = "Initialize Bus Fail!";
inline constexpr const char* kNoSuperIoText = "Winbond or ITE Super I/O does not exist!";

// Refuses a second instance, reads the model name, chooses the language, classifies the board
// and runs InitializeHardware. Returns when the main window is loaded (and hidden); throws
// ProgramEnded when start-up fails.
void Main(Program& program);

// The hardware half of start-up: port driver, configuration port probe, bus, vendor check,
// splash window, chipset and chip set-up, limit store, beeps, tray icon, main window.
void InitializeHardware(Program& program);

// Throws std::logic_error naming the part a front end must provide and did not (the shell).
// Main checks it first.
void EnsureAssembled(Program& program);

// The pieces of Main, usable on their own.
// ModelName from the board-information library: the first buffer, cut before its first NUL
// and upper-cased. A buffer without NUL leaves ModelName as it was.
void ReadModelName(Program& program);
// LanguageId and LangPrefix from the system's default locale.
void ChooseLanguage(Program& program);
// ChipFamily and BoardVariant from the start-up model table.
void ClassifyBoard(Program& program);
// PmBase: low 16 bits of the chipset base the library reports; 0x4000 when it finds none.
void ReadPmBase(Program& program);
// Probes 0x2E, then 0x4E; ConfigPort is the first that answered, else 0.
void FindConfigPort(Program& program);
// Reads configuration register 0x30 into SavedActivation and activates the monitor device
// when it read 0. Nothing when ConfigPort is 0.
void ActivateMonitorDevice(Program& program);

}  // namespace veltrix::monitor
