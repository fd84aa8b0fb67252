#pragma once
// The process exit status of every way the program ends. Scripts and service managers tell
// a refusal from a crash by it; the README has the table.
namespace veltrix::monitor {

// The orderly exit (Exit button, tray menu, window close, --ticks, SIGINT/SIGTERM/SIGHUP
// before the process re-raises the signal) and an accepted system shut-down.
inline constexpr int kExitOk = 0;
// Bad command line (the app's own).
inline constexpr int kExitUsage = 2;
// "Hushwind has already run!!": another instance holds the single-instance lock.
inline constexpr int kExitAlreadyRunning = 3;
// The single-instance lock could not be taken for another reason (no runtime folder,
// permissions), reported as that.
inline constexpr int kExitLockFailed = 4;
// "Read model name of system information failed !"
inline constexpr int kExitNoModelName = 5;
// "LOAD Device Driver fail!": no port access; not root, or no /dev/port.
inline constexpr int kExitDriverLoadFailed = 6;
// "Initialize Bus Fail!"
inline constexpr int kExitBusInitFailed = 7;
// "Winbond or ITE Super I/O does not exist!"
inline constexpr int kExitNoSuperIo = 8;
// The board was refused: "... cannot support this Mainboard!!!" (chassis set-up, model check)
// or "Mainboard choose error!!" (board item table).
inline constexpr int kExitBoardRefused = 9;
// The program was put together without a part it needs (a bug, reported on stderr).
inline constexpr int kExitIncomplete = 70;

}  // namespace veltrix::monitor
