#pragma once
// The general settings store: where the "Setting" page keeps its state, the Windows start-up
// entry, and the table of sampling periods the page's slider selects.
//
// Key HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Halvane\Setting, every value a
// REG_DWORD of 4 bytes:
//   Check1     run the companion program when Windows starts  1 / 0
//   Check2     shut down when an alarm dialog opens             1 / 0
//   Check3     use the sampling-period slider                   1 / 0
//   Check4     start as a tray icon                             1 / 0
//   MinFlag    one-shot request to hide the main window once monitoring runs
//   Check5     save sampling data to the log file               1 / 0
//   PollingTime  position of SldInterval, 0..9
//   FirstTime  non-zero on the first start after installation (written by the installer)
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/registry.h"

namespace veltrix::monitor {

inline constexpr std::string_view kSettingKey = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Setting";
inline constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValueName = "Veltrix";
// The Run entry starts the companion program beside the monitor, not the monitor itself.
inline constexpr std::string_view kCompanionProgram = "\\Kestrine.exe";

// Timer1's interval for a slider position. The periods set when the settings are loaded are
// 100 ms longer than those set when the slider is moved; both are in use.
enum class PollingColumn { kLoaded, kMoved };
inline constexpr int kPollingPositions = 10;

// Said once when the window is minimised on a desktop that has no notification area.
inline constexpr const char* kNoTrayText =
    "This desktop has no notification area (system tray), so Veltrix cannot hide in it. The "
    "window is minimised to the task bar instead; use Exit to end the program.";
// Milliseconds for positions 0..9; nothing for a position outside the table.
std::optional<int> PollingPeriodTable(int position, PollingColumn column);

// Timer1's interval while Check3 is off.
inline constexpr int kUnsampledIntervalMs = 500;

// The REG_DWORD `name` of an open key: nothing when the value is missing, is not a REG_DWORD
// or does not hold exactly four bytes. Asks for the size first, as the store requires.
std::optional<std::uint32_t> ReadSettingDword(platform::Registry& reg, platform::HKey key,
                                              std::string_view name);
void WriteSettingDword(platform::Registry& reg, platform::HKey key, std::string_view name,
                       std::uint32_t value);

// The Run entry's data: the program folder followed by "\Kestrine.exe".
std::string RunEntryText(const std::string& programFolder);

}  // namespace veltrix::monitor
