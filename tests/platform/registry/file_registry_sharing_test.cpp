// The file store next to other writers: changes seen at the next open, batches that hold no
// lock and keep the others' changes, and editors that rewrite the file in place.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry/file_registry.h"
#include "tests/platform/registry/registry_test_support.h"

namespace veltrix::platform {
namespace {

using testing::Bytes;
using testing::QueryValue;
using testing::ReadFile;
using testing::ScratchFolder;
using testing::SetValue;
using testing::WriteFile;

constexpr std::string_view kLimit = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Limit";
constexpr std::string_view kSetting = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Setting";

std::string Hive(std::string_view loBound) {
  return "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Halvane\\Limit]\n"
         "\"LoBound0\"=\"" +
         std::string(loBound) + "\"\n\"HiLimit0\"=\"1.9\"\n";
}

std::string LoBound(Registry& reg) {
  HKey key = 0;
  if (reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, kLimit, &key) != ERROR_SUCCESS) return "(no key)";
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long rc = QueryValue(reg, key, "LoBound0", &type, &data);
  reg.RegCloseKey(key);
  if (rc != ERROR_SUCCESS || data.empty()) return "(no value)";
  return std::string(data.begin(), data.end() - 1);
}

TEST(FileRegistrySharing, AnotherWritersChangeIsSeenAtTheNextOpen) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  WriteFile(file, Hive("1.10"));
  FileRegistry monitor(file);
  FileRegistry cleanup(file);
  EXPECT_EQ(LoBound(monitor), "1.10");

  HKey key = 0;
  ASSERT_EQ(cleanup.RegOpenKeyA(HKEY_LOCAL_MACHINE, kLimit, &key), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(cleanup, key, "LoBound0", REG_SZ, Bytes(std::string_view("1.20\0", 5))), ERROR_SUCCESS);
  cleanup.RegCloseKey(key);
  EXPECT_EQ(LoBound(monitor), "1.20");

  // A hand edit in place that keeps the size and puts the modification time back is seen too.
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  const std::string edited = ReadFile(file);
  std::string changed = edited;
  changed.replace(changed.find("1.20"), 4, "1.30");
  WriteFile(file, changed);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  EXPECT_EQ(LoBound(monitor), "1.30");
}

TEST(FileRegistrySharing, ABatchHoldsNoLockAndKeepsTheOtherWritersChanges) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  WriteFile(file, Hive("1.10") +
                      "\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Halvane\\Setting]\n"
                      "\"Check2\"=dword:00000001\n\"Check3\"=dword:00000001\n"
                      "\n[HKEY_LOCAL_MACHINE\\Old\\Gone]\n");
  FileRegistry monitor(file);
  FileRegistry cleanup(file);

  monitor.BeginBatch();
  HKey setting = 0;
  ASSERT_EQ(monitor.RegCreateKeyA(HKEY_LOCAL_MACHINE, kSetting, &setting), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(monitor, setting, "Check1", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
  ASSERT_EQ(monitor.RegDeleteValueA(setting, "Check3"), ERROR_SUCCESS);
  ASSERT_EQ(monitor.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Old\\Gone"), ERROR_SUCCESS);

  // The other writer is not kept waiting by the open batch (in one thread it would hang).
  HKey limit = 0;
  ASSERT_EQ(cleanup.RegOpenKeyA(HKEY_LOCAL_MACHINE, kLimit, &limit), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(cleanup, limit, "LoBound0", REG_SZ, Bytes(std::string_view("1.20\0", 5))),
            ERROR_SUCCESS);
  ASSERT_EQ(cleanup.RegDeleteValueA(limit, "HiLimit0"), ERROR_SUCCESS);
  cleanup.RegCloseKey(limit);

  EXPECT_EQ(monitor.EndBatch(), ERROR_SUCCESS);
  monitor.RegCloseKey(setting);
  FileRegistry fresh(file);
  EXPECT_EQ(LoBound(fresh), "1.20") << "the other writer's change survives the batch";
  EXPECT_FALSE(fresh.ReadValue(kLimit, "HiLimit0")) << "and so does its deletion";
  EXPECT_TRUE(fresh.ReadValue(kSetting, "Check1"));
  EXPECT_TRUE(fresh.ReadValue(kSetting, "Check2"));
  EXPECT_FALSE(fresh.ReadValue(kSetting, "Check3"));
  EXPECT_FALSE(fresh.KeyExists("Old\\Gone"));
  EXPECT_EQ(LoBound(monitor), "1.20");
}

TEST(FileRegistrySharing, AnEditorHalfWayThroughWritingIsWaitedFor) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  WriteFile(file, Hive("1.10"));
  std::vector<std::string> messages;
  FileRegistry reg(
      file, [&](const std::string& m) { messages.push_back(m); },
      FileRegistryOptions{.damageRereads = 10, .damagePause = std::chrono::milliseconds(50)});
  ASSERT_EQ(LoBound(reg), "1.10");

  // The editor writes the file in place: the first half, a pause, then the rest.
  const std::string next = Hive("1.25");
  const std::size_t half = next.find("LoBound0") + 4;
  WriteFile(file, next.substr(0, half));
  std::thread editor([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    std::ofstream(file, std::ios::binary | std::ios::app) << next.substr(half);
  });
  EXPECT_EQ(LoBound(reg), "1.25");
  editor.join();
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "registry.reg.damaged-1"));
}

TEST(FileRegistrySharing, AFileDamagedWhileRunningNeverCostsTheStoredLimits) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  WriteFile(file, Hive("1.10"));
  std::vector<std::string> messages;
  FileRegistry reg(
      file, [&](const std::string& m) { messages.push_back(m); },
      FileRegistryOptions{.damageRereads = 2, .damagePause = std::chrono::milliseconds(10)});
  ASSERT_EQ(LoBound(reg), "1.10");

  const std::string half = Hive("1.25").substr(0, 90);
  WriteFile(file, half);
  EXPECT_EQ(LoBound(reg), "1.10") << "the settings in use are kept";
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("damaged"), std::string::npos);
  EXPECT_NE(messages[0].find("registry.reg.damaged-1"), std::string::npos) << messages[0];
  EXPECT_EQ(ReadFile(folder.Path() / "registry.reg.damaged-1"), half);
  FileRegistry fresh(file);
  EXPECT_FALSE(fresh.LoadWarning());
  EXPECT_EQ(LoBound(fresh), "1.10") << "the new file holds the limits";
  EXPECT_TRUE(fresh.ReadValue(kLimit, "HiLimit0"));
}

}  // namespace
}  // namespace veltrix::platform
