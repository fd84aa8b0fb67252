// The clean-up: exactly the listed keys and value go, one delete each and in order, whatever
// else the store holds stays as it was, and the registered uninstaller is started.
#include "removal/module_vanquil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/memory_registry.h"
#include "platform/system/sim_system.h"

namespace veltrix::removal {
namespace {

using platform::HKey;
using platform::HKEY_LOCAL_MACHINE;
using platform::MemoryRegistry;

constexpr const char* kServices = "SYSTEM\\CurrentControlSet\\Services\\";

void Put(platform::Registry& reg, const std::string& key, const std::string& name, const std::string& data,
         std::uint32_t type = platform::REG_SZ) {
  HKey k = 0;
  ASSERT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, key, &k), platform::ERROR_SUCCESS) << key;
  ASSERT_EQ(reg.RegSetValueExA(k, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                               static_cast<std::uint32_t>(data.size())),
            platform::ERROR_SUCCESS);
  reg.RegCloseKey(k);
}

// What is not ours: another service, values beside ours, the monitor's own start-up value,
// the uninstaller's key. A clean-up leaves all of it exactly as it was.
void PutOthers(platform::Registry& reg) {
  Put(reg, std::string(kServices) + "Other\\Parameters", "Start", std::string("\x02\0\0\0", 4),
      platform::REG_DWORD);
  Put(reg, std::string(kServices) + "Halvane2", "Keep", "not below Halvane");
  Put(reg, std::string(kRunKey), "Veltrix", std::string("C:\\Veltrix\\Kestrine.exe\0", 24));
  Put(reg, std::string(kRunKey), "Other", "other.exe");
  Put(reg, std::string(kUninstallKey), std::string(kUninstallValue), std::string("uninst.exe -f\0", 14));
  Put(reg, "SOFTWARE\\Vendor", "", std::string("\x01\x02\x03", 3), platform::REG_BINARY);
}

// Everything the clean-up removes, spelled as the programs write it.
void PutOurs(platform::Registry& reg) {
  for (const char* key : {"ZIVIZIZI\\Parameters", "ZIVIZIZI\\Enum", "ZIVIZIZI", "tarnwell\\Enum", "tarnwell",
                          "Halvane\\Information", "Halvane\\Setting", "Halvane\\Flag", "Halvane\\Limit",
                          "Halvane\\FANControl", "Halvane\\CDROMControl", "Halvane"}) {
    Put(reg, std::string(kServices) + key, "Value", key);
  }
  Put(reg, std::string(kRunKey), std::string(kRunValue), "C:\\Veltrix\\VtxIII.exe");
}

// Records the calls that change the store, and forwards everything.
class RecordingRegistry : public platform::Registry {
 public:
  explicit RecordingRegistry(platform::Registry& inner) : inner_(inner) {}
  std::vector<std::string> changes;

  long RegOpenKeyA(HKey p, std::string_view s, HKey* r) override { return inner_.RegOpenKeyA(p, s, r); }
  long RegCreateKeyA(HKey p, std::string_view s, HKey* r) override {
    changes.push_back("create " + std::string(s));
    return inner_.RegCreateKeyA(p, s, r);
  }
  long RegQueryValueExA(HKey k, std::string_view n, std::uint32_t* t, std::uint8_t* d,
                        std::uint32_t* s) override {
    return inner_.RegQueryValueExA(k, n, t, d, s);
  }
  long RegSetValueExA(HKey k, std::string_view n, std::uint32_t t, const std::uint8_t* d,
                      std::uint32_t s) override {
    changes.push_back("set " + std::string(n));
    return inner_.RegSetValueExA(k, n, t, d, s);
  }
  long RegDeleteValueA(HKey k, std::string_view n) override {
    changes.push_back("delete value " + std::string(n));
    return inner_.RegDeleteValueA(k, n);
  }
  long RegDeleteKeyA(HKey p, std::string_view s) override {
    changes.push_back("delete key " + std::string(s));
    return inner_.RegDeleteKeyA(p, s);
  }
  long RegCloseKey(HKey k) override { return inner_.RegCloseKey(k); }
  long RegQueryInfoKeyA(HKey k, std::uint32_t* s, std::uint32_t* v) override {
    return inner_.RegQueryInfoKeyA(k, s, v);
  }

 private:
  platform::Registry& inner_;
};

struct Starter {
  std::vector<std::string> started;
  bool works = true;
  platform::SimSystem System() {
    platform::SimSystemOptions options;
    options.programStarter = [this](const std::string& line) {
      started.push_back(line);
      return works;
    };
    return platform::SimSystem(options);
  }
};

std::vector<std::string> ExpectedChanges() {
  std::vector<std::string> calls;
  for (std::string_view key : RemovedKeys()) calls.push_back("delete key " + std::string(key));
  calls.push_back("delete value VeltrixIII");
  return calls;
}

TEST(Vanquil, RemovesExactlyTheListedKeysAndValueInOrder) {
  ASSERT_EQ(RemovedKeys().size(), 12u);
  MemoryRegistry store;
  PutOthers(store);
  MemoryRegistry expected;
  PutOthers(expected);
  PutOurs(store);
  // Parent keys the others also need stay, so the expected store is the others alone.
  RecordingRegistry recording(store);
  Starter starter;
  auto system = starter.System();

  const RemovalReport report = RemoveSettings(recording, system);
  EXPECT_TRUE(report.notRemoved.empty());
  EXPECT_EQ(recording.changes, ExpectedChanges());
  EXPECT_EQ(store.Dump(), expected.Dump());
  EXPECT_TRUE(store.ReadValue(kRunKey, "Veltrix").has_value());
  EXPECT_EQ(report.uninstallCommand, "uninst.exe -f");
  EXPECT_EQ(starter.started, std::vector<std::string>{"uninst.exe -f"});
  EXPECT_TRUE(report.uninstallerStarted);
  EXPECT_EQ(store.OpenHandleCount(), 0u);

  // A second run finds nothing to delete, tries the same deletes and changes nothing.
  recording.changes.clear();
  const RemovalReport again = RemoveSettings(recording, system);
  EXPECT_TRUE(again.notRemoved.empty());
  EXPECT_EQ(recording.changes, ExpectedChanges());
  EXPECT_EQ(store.Dump(), expected.Dump());
}

TEST(Vanquil, KeyHoldingAnUnlistedSubKeyIsLeftAndTheRestGoes) {
  MemoryRegistry store;
  PutOurs(store);
  Put(store, std::string(kServices) + "Halvane\\Extra", "Mine", "someone else's");
  Put(store, std::string(kServices) + "ZIVIZIZI\\MB_Module", "Model", "ZQ52");
  Starter starter;
  auto system = starter.System();

  const RemovalReport report = RemoveSettings(store, system);
  EXPECT_TRUE(report.notRemoved.empty()) << report.notRemoved.front();
  EXPECT_EQ(store.SubKeyNames(std::string(kServices) + "Halvane"), std::vector<std::string>{"Extra"});
  EXPECT_EQ(store.SubKeyNames(std::string(kServices) + "ZIVIZIZI"), std::vector<std::string>{"MB_Module"});
  EXPECT_TRUE(store.ReadValue(std::string(kServices) + "Halvane\\Extra", "Mine").has_value());
  EXPECT_TRUE(store.ReadValue(std::string(kServices) + "Halvane", "Value").has_value()) << "the key is whole";
  EXPECT_FALSE(store.KeyExists(std::string(kServices) + "tarnwell"));
  EXPECT_FALSE(store.KeyExists(std::string(kServices) + "Halvane\\Setting"));
  EXPECT_FALSE(store.ReadValue(kRunKey, kRunValue).has_value());
  EXPECT_TRUE(starter.started.empty()) << "no uninstaller registered";
}

TEST(Vanquil, UninstallCommandIsCutAtItsFirstNul) {
  for (const auto& [stored, command] :
       {std::pair<std::string, std::string>{std::string("a.exe -x\0junk", 13), "a.exe -x"},
        {"\"C:\\Program Files\\V\\un.exe\" /s", "\"C:\\Program Files\\V\\un.exe\" /s"},
        {std::string("\0a.exe", 6), ""},
        {"", ""}}) {
    MemoryRegistry store;
    Put(store, std::string(kUninstallKey), std::string(kUninstallValue), stored);
    Starter starter;
    starter.works = false;  // a command that cannot start is not reported
    auto system = starter.System();
    const RemovalReport report = RemoveSettings(store, system);
    EXPECT_EQ(report.uninstallCommand, command);
    EXPECT_EQ(starter.started,
              command.empty() ? std::vector<std::string>{} : std::vector<std::string>{command});
    EXPECT_FALSE(report.uninstallerStarted);
    EXPECT_TRUE(report.notRemoved.empty());
  }
}

}  // namespace
}  // namespace veltrix::removal
