// The general settings: loading them into the "Setting" page at start-up, saving the page
// (with the Windows start-up entry), the first-run rule and the housekeeping step that hides
// the main window once when the program starts as a tray icon.
#include "monitor/settings/general_settings.h"

#include <array>

#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/system/shell.h"

namespace veltrix::monitor {

namespace {

struct PollingPeriod {
  int loadedMs;
  int movedMs;
};
constexpr std::array<PollingPeriod, kPollingPositions> kPollingPeriods{{
    {600, 500},
    {1100, 1000},
    {2100, 2000},
    {3100, 3000},
    {5100, 5000},
    {10100, 10000},
    {15100, 15000},
    {20100, 20000},
    {25100, 25000},
    {30100, 30000},
}};

// Registry values are little-endian, as on the platform the store comes from.
std::array<std::uint8_t, 4> DwordBytes(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// Sets a check box from a stored flag; a value that cannot be read leaves the box as it is.
void LoadCheckBox(platform::Registry& reg, platform::HKey key, std::string_view name, forms::CheckBox& box) {
  if (const auto stored = ReadSettingDword(reg, key, name)) box.Value = *stored != 0 ? 1 : 0;
}

bool ValueExists(platform::Registry& reg, platform::HKey key, std::string_view name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  return reg.RegQueryValueExA(key, name, &type, nullptr, &size) == platform::ERROR_SUCCESS;
}

std::uint32_t CheckedFlag(const forms::CheckBox& box) {
  return box.Value != 0 ? 1U : 0U;
}

}  // namespace

std::optional<int> PollingPeriodTable(int position, PollingColumn column) {
  if (position < 0 || position >= kPollingPositions) return std::nullopt;
  const PollingPeriod& p = kPollingPeriods[static_cast<std::size_t>(position)];
  return column == PollingColumn::kLoaded ? p.loadedMs : p.movedMs;
}

std::optional<std::uint32_t> ReadSettingDword(platform::Registry& reg, platform::HKey key,
                                              std::string_view name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (reg.RegQueryValueExA(key, name, &type, nullptr, &size) != platform::ERROR_SUCCESS) return std::nullopt;
  if (type != platform::REG_DWORD || size != 4) return std::nullopt;
  std::array<std::uint8_t, 4> data{};
  if (reg.RegQueryValueExA(key, name, &type, data.data(), &size) != platform::ERROR_SUCCESS || size != 4) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
         (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
}

void WriteSettingDword(platform::Registry& reg, platform::HKey key, std::string_view name,
                       std::uint32_t value) {
  const auto bytes = DwordBytes(value);
  reg.RegSetValueExA(key, name, platform::REG_DWORD, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

std::string RunEntryText(const std::string& programFolder) {
  return programFolder + std::string(kCompanionProgram);
}

void frmdoctor::LoadGeneralSettings() {
  auto& reg = program_.Reg();
  platform::HKey key = 0;
  // Open only: a fresh system has no Setting key until the first "Save" (or the first
  // housekeeping tick, which creates it empty).
  const bool opened =
      reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kSettingKey, &key) == platform::ERROR_SUCCESS;

  if (opened) {
    LoadCheckBox(reg, key, "Check1", Check1);
    LoadCheckBox(reg, key, "Check2", Check2);
    LoadCheckBox(reg, key, "Check3", Check3);
    if (const auto startSmall = ReadSettingDword(reg, key, "Check4")) {
      if (*startSmall != 0) {
        Check4.Value = 1;
        // Picked up by ApplySettingState once monitoring runs.
        WriteSettingDword(reg, key, "MinFlag", 1);
      } else {
        Check4.Value = 0;
      }
    }
    LoadCheckBox(reg, key, "Check5", Check5);  // ticking it writes the log heading
  }

  // A missing position reads as 0, as on a fresh system (600 ms). A damaged value (wrong
  // type or size, or outside the slider's 0..9) leaves the slider where it is.
  if (!opened || !ValueExists(reg, key, "PollingTime")) {
    SldInterval.Value = 0;
  } else if (const auto position = ReadSettingDword(reg, key, "PollingTime");
             position && *position < static_cast<std::uint32_t>(kPollingPositions)) {
    SldInterval.Value = static_cast<int>(*position);
  }
  // Whatever Check3 says, the monitoring period follows the slider as loaded.
  if (const auto period = PollingPeriodTable(SldInterval.Value, PollingColumn::kLoaded))
    Timer1.Interval = *period;

  if (opened) reg.RegCloseKey(key);
}

void frmdoctor::SaveGeneralSettings() {
  auto& reg = program_.Reg();
  platform::HKey run = 0;
  if (Check1.Value != 0) {
    // On Linux the entry is only data in the registry store: nothing reads it at log-in, so
    // Veltrix starts nothing there. The key is created when missing so the entry is kept.
    if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kRunKey, &run) == platform::ERROR_SUCCESS) {
      // ANSI text; the stored length counts the terminating NUL.
      const std::string text = RunEntryText(program_.Sys().ProgramFolder());
      reg.RegSetValueExA(run, kRunValueName, platform::REG_SZ,
                         reinterpret_cast<const std::uint8_t*>(text.c_str()),
                         static_cast<std::uint32_t>(text.size() + 1));
      reg.RegCloseKey(run);
    }
  } else if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kRunKey, &run) == platform::ERROR_SUCCESS) {
    reg.RegDeleteValueA(run, kRunValueName);
    reg.RegCloseKey(run);
  }

  platform::HKey key = 0;
  if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kSettingKey, &key) != platform::ERROR_SUCCESS) return;
  WriteSettingDword(reg, key, "Check1", CheckedFlag(Check1));
  WriteSettingDword(reg, key, "Check2", CheckedFlag(Check2));
  WriteSettingDword(reg, key, "Check3", CheckedFlag(Check3));
  WriteSettingDword(reg, key, "PollingTime", static_cast<std::uint32_t>(SldInterval.Value));
  if (Check4.Value != 0) {
    WriteSettingDword(reg, key, "Check4", 1);
  } else {
    WriteSettingDword(reg, key, "Check4", 0);
    WriteSettingDword(reg, key, "MinFlag", 0);
  }
  WriteSettingDword(reg, key, "Check5", CheckedFlag(Check5));
  reg.RegCloseKey(key);
}

void frmdoctor::CheckFirstTime() {
  auto& reg = program_.Reg();
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kSettingKey, &key) != platform::ERROR_SUCCESS) return;
  const auto firstTime = ReadSettingDword(reg, key, "FirstTime");
  if (firstTime && *firstTime != 0) {
    // The installer marked a first start: put the built-in limits into the store once.
    SaveLimitStore();
    WriteSettingDword(reg, key, "FirstTime", 0);
    // The page starts clean; the stored values stay until the next "Save".
    for (forms::CheckBox* box : {&Check1, &Check2, &Check3, &Check4, &Check5}) box->Value = 0;
  }
  reg.RegCloseKey(key);
}

void frmdoctor::ApplySettingState() {
  auto& reg = program_.Reg();
  platform::HKey key = 0;
  if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kSettingKey, &key) == platform::ERROR_SUCCESS) {
    const auto minFlag = ReadSettingDword(reg, key, "MinFlag");
    // Once per start, on the first housekeeping tick after monitoring has begun.
    if (Timer1.Enabled && minFlag && *minFlag != 0) {
      HideMainWindow();
      WriteSettingDword(reg, key, "MinFlag", 0);
    }
    reg.RegCloseKey(key);
  }
  SldInterval.Enabled = Check3.Value == 1;
}

void frmdoctor::HideMainWindow() {
  // Stays loaded; the tray icon brings it back. A desktop without a notification area has no
  // tray icon to bring it back with: the window goes to the task bar instead, and the user
  // is told once why.
  platform::Shell* shell = program_.Svc().shell;
  if (shell == nullptr || shell->HasNotificationArea()) {
    Hide();
    return;
  }
  WindowState = 1;
  if (!NoTrayExplained) {
    NoTrayExplained = true;
    program_.Sys().MsgBox(kNoTrayText, platform::vbOKOnly | platform::vbInformation, kAppTitle);
  }
}

}  // namespace veltrix::monitor
