#pragma once
// ModuleVanquil: the clean-up run at uninstall time. It deletes the registry keys and the one
// value that Veltrix, its chip driver service and its companion services keep, then starts the
// product's uninstaller when one is registered. Only the listed keys are deleted, one delete
// each, every listed sub-key before its parent; sub-keys are never walked, so a listed key that
// still holds something not in the list stays (the registry refuses to delete a key with
// sub-keys).
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/system/system.h"

namespace veltrix::removal {

// The keys, below HKEY_LOCAL_MACHINE, in the order they are deleted.
std::span<const std::string_view> RemovedKeys();

// The start-up entry of the companion program, deleted after the keys. (The monitor's own
// start-up value "Veltrix" is a different name and stays.)
inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValue = "VeltrixIII";

// Where the product's uninstaller registers its command line.
inline constexpr std::string_view kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrix";
inline constexpr std::string_view kUninstallValue = "UninstallShield";

struct RemovalReport {
  // What is ours to remove but is still there because the store refused the change (a settings
  // file that cannot be written): key paths, and "key path\value" for the Run value. Missing
  // keys and values are not listed, nor keys held only by sub-keys that are not in the list.
  std::vector<std::string> notRemoved;
  // The registered uninstaller's command line (cut before its first NUL); empty when none.
  std::string uninstallCommand;
  bool uninstallerStarted = false;
};

// The registered uninstaller's command line: the value's bytes cut before the first NUL
// (all of them when there is none); empty when the key or the value is missing or unreadable.
std::string ReadUninstallCommand(platform::Registry& registry);

// Deletes the keys in order, then the Run value, then starts the registered uninstaller
// without waiting for it. Every step is tried whatever the earlier ones gave; nothing is
// shown or printed here.
RemovalReport RemoveSettings(platform::Registry& registry, platform::System& system);

}  // namespace veltrix::removal
