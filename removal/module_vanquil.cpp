#include "removal/module_vanquil.h"

#include <array>
#include <cstdint>

namespace veltrix::removal {
namespace {

using platform::ERROR_FILE_NOT_FOUND;
using platform::ERROR_SUCCESS;
using platform::HKey;
using platform::HKEY_LOCAL_MACHINE;

constexpr std::array<std::string_view, 12> kRemovedKeys{
    "SYSTEM\\CurrentControlSet\\Services\\ZIVIZIZI\\Parameters",
    "SYSTEM\\CurrentControlSet\\Services\\ZIVIZIZI\\Enum",
    "SYSTEM\\CurrentControlSet\\Services\\ZIVIZIZI",
    "SYSTEM\\CurrentControlSet\\Services\\tarnwell\\Enum",
    "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Information",
    "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Setting",
    "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Flag",
    "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Limit",
    "SYSTEM\\CurrentControlSet\\Services\\Halvane\\FanControl",
    "SYSTEM\\CurrentControlSet\\Services\\Halvane\\CDROMControl",
    "SYSTEM\\CurrentControlSet\\Services\\tarnwell",
    "SYSTEM\\CurrentControlSet\\Services\\Halvane",
};

enum class KeyOutcome { kGone, kHeldBySubKeys, kRefused };

// What a refused delete means: the key may have gone meanwhile, may still hold sub-keys (the
// registry's rule, not a failure of ours), or the store would not take the change.
KeyOutcome AfterRefusedDelete(platform::Registry& registry, std::string_view path) {
  HKey key = 0;
  const long opened = registry.RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return KeyOutcome::kGone;
  if (opened != ERROR_SUCCESS) return KeyOutcome::kRefused;
  std::uint32_t subKeys = 0;
  const long queried = registry.RegQueryInfoKeyA(key, &subKeys, nullptr);
  registry.RegCloseKey(key);
  return queried == ERROR_SUCCESS && subKeys > 0 ? KeyOutcome::kHeldBySubKeys : KeyOutcome::kRefused;
}

bool IsBelow(std::string_view path, std::string_view parent) {
  return path.size() > parent.size() && path.starts_with(parent) && path[parent.size()] == '\\';
}

}  // namespace

std::span<const std::string_view> RemovedKeys() {
  return kRemovedKeys;
}

std::string ReadUninstallCommand(platform::Registry& registry) {
  HKey key = 0;
  if (registry.RegOpenKeyA(HKEY_LOCAL_MACHINE, kUninstallKey, &key) != ERROR_SUCCESS) return {};
  // The size first, then the data into a buffer of that many NULs.
  std::uint32_t size = 0;
  std::string text;
  if (registry.RegQueryValueExA(key, kUninstallValue, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    text.assign(size, '\0');
    std::uint32_t got = size;
    const long rc = registry.RegQueryValueExA(key, kUninstallValue, nullptr,
                                              reinterpret_cast<std::uint8_t*>(text.data()), &got);
    if (rc != ERROR_SUCCESS) text.clear();
  }
  registry.RegCloseKey(key);
  const auto nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

RemovalReport RemoveSettings(platform::Registry& registry, platform::System& system) {
  RemovalReport report;

  std::vector<std::string_view> held;
  for (std::string_view path : kRemovedKeys) {
    const long rc = registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) continue;
    switch (AfterRefusedDelete(registry, path)) {
      case KeyOutcome::kGone:
        break;
      case KeyOutcome::kHeldBySubKeys:
        held.push_back(path);
        break;
      case KeyOutcome::kRefused:
        report.notRemoved.emplace_back(path);
        break;
    }
  }
  // A parent kept only because a listed sub-key of it could not be deleted is not removed
  // either; one kept by something that is not ours stays as the registry rule wants.
  std::vector<std::string> heldByOurs;
  for (std::string_view parent : held) {
    for (const std::string& failed : report.notRemoved) {
      if (IsBelow(failed, parent)) {
        heldByOurs.emplace_back(parent);
        break;
      }
    }
  }
  report.notRemoved.insert(report.notRemoved.end(), heldByOurs.begin(), heldByOurs.end());

  HKey run = 0;
  const long opened = registry.RegOpenKeyA(HKEY_LOCAL_MACHINE, kRunKey, &run);
  if (opened == ERROR_SUCCESS) {
    const long rc = registry.RegDeleteValueA(run, kRunValue);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
      report.notRemoved.push_back(std::string(kRunKey) + "\\" + std::string(kRunValue));
    }
    registry.RegCloseKey(run);
  } else if (opened != ERROR_FILE_NOT_FOUND) {
    report.notRemoved.push_back(std::string(kRunKey) + "\\" + std::string(kRunValue));
  }

  report.uninstallCommand = ReadUninstallCommand(registry);
  if (!report.uninstallCommand.empty()) {
    // Started and left to run; a command that cannot be started is not reported.
    report.uninstallerStarted = system.StartProgram(report.uninstallCommand);
  }
  return report;
}

}  // namespace veltrix::removal
