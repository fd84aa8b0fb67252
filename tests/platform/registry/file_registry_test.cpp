// The file store: exact round trips through the file, damaged files kept aside, two users of
// one file, atomic saves and unwritable locations.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/registry/file_registry.h"
#include "tests/platform/registry/registry_test_support.h"

namespace veltrix::platform {
namespace {

using testing::Bytes;
using testing::ReadFile;
using testing::ScratchFolder;
using testing::SetValue;
using testing::WriteFile;

constexpr std::string_view kSetting = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Setting";

HKey CreateKey(Registry& reg, std::string_view path) {
  HKey key = 0;
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, path, &key), ERROR_SUCCESS);
  return key;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FileRegistryTest, EveryValueKindSurvivesTheFile) {
  ScratchFolder folder;
  const auto file = folder.Path() / "new" / "folder" / "registry.reg";
  std::vector<std::uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
  const std::vector<std::pair<std::string, RegistryValue>> values = {
      {"LoBound0", {REG_SZ, Bytes("1.25")}},
      {"CommaFloat", {REG_SZ, Bytes("1,25")}},
      {"WithNul", {REG_SZ, Bytes(std::string_view("/opt/veltrix\\Kestrine.exe\0", 26))}},
      {"Embedded", {REG_SZ, Bytes(std::string_view("one\0two\0", 8))}},
      {"Utf8",
       {REG_SZ, Bytes(std::string_view("Temp \xC2\xB0"
                                       "C\0",
                                       9))}},
      {"Big5", {REG_SZ, Bytes(std::string_view("\xB7\xC5\xAB\xD7\0", 5))}},
      {"Quotes \"and\" \\slashes\\", {REG_SZ, Bytes(std::string_view("\"\\\"\\\0", 5))}},
      {"EmptySz", {REG_SZ, {}}},
      {"OnlyNul", {REG_SZ, {0}}},
      {"EmptyBinary", {REG_BINARY, {}}},
      {"AllBytes", {REG_BINARY, all}},
      {"Dword", {REG_DWORD, {0x78, 0x56, 0x34, 0x12}}},
      {"OddDword", {REG_DWORD, {1, 2, 3, 4, 5}}},
      {"Multi", {7, Bytes(std::string_view("a\0b\0\0", 5))}},
      {"", {REG_SZ, Bytes(std::string_view("default\0", 8))}},
      {"@", {REG_DWORD, {1, 0, 0, 0}}},
  };
  {
    FileRegistry reg(file);
    EXPECT_FALSE(std::filesystem::exists(file)) << "nothing is written before the first change";
    HKey key = CreateKey(reg, kSetting);
    for (const auto& [name, value] : values)
      ASSERT_EQ(SetValue(reg, key, name, value.type, value.data), ERROR_SUCCESS);
    reg.RegCloseKey(key);
    reg.RegCloseKey(CreateKey(reg, "SYSTEM\\Empty\\Key"));
  }
  FileRegistry reread(file);
  EXPECT_FALSE(reread.LoadWarning());
  for (const auto& [name, value] : values) {
    auto got = reread.ReadValue(kSetting, name);
    ASSERT_TRUE(got) << name;
    EXPECT_EQ(*got, value) << name;
  }
  EXPECT_TRUE(reread.KeyExists("SYSTEM\\Empty\\Key"));
  const std::string text = ReadFile(file);
  EXPECT_NE(text.find("\"LoBound0\"=hex(1):31,2e,32,35\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"WithNul\"=\"/opt/veltrix\\\\Kestrine.exe\"\n"), std::string::npos) << text;
}

TEST(FileRegistryTest, DamagedFileIsKeptAsideAndTheStoreStartsEmpty) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  const std::string damaged = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:oops\n";
  WriteFile(file, damaged);
  WriteFile(folder.Path() / "registry.reg.damaged-1", "an earlier damaged copy");

  std::vector<std::string> messages;
  FileRegistry reg(file, [&](const std::string& message) { messages.push_back(message); });
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(reg.LoadWarning(), messages[0]);
  EXPECT_NE(messages[0].find(file.string()), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("line 3"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("dword"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("registry.reg.damaged-2"), std::string::npos) << messages[0];
  EXPECT_EQ(ReadFile(folder.Path() / "registry.reg.damaged-2"), damaged);
  EXPECT_EQ(ReadFile(folder.Path() / "registry.reg.damaged-1"), "an earlier damaged copy");
  EXPECT_FALSE(reg.KeyExists("A"));

  // The store goes on: defaults are written to a fresh file, the damaged copy stays.
  HKey key = CreateKey(reg, kSetting);
  EXPECT_EQ(SetValue(reg, key, "FirstTime", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
  reg.RegCloseKey(key);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_FALSE(FileRegistry(file).LoadWarning());
  EXPECT_EQ(ReadFile(folder.Path() / "registry.reg.damaged-2"), damaged);

  // Damage written by someone else while the store is in use is caught on the next call: the
  // settings in use are kept and, once the file has stayed damaged, saved to a new file.
  const std::string later = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"unterminated\n";
  WriteFile(file, later);
  EXPECT_TRUE(reg.ReadValue(kSetting, "FirstTime"));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[1].find("registry.reg.damaged-3"), std::string::npos) << messages[1];
  EXPECT_EQ(ReadFile(folder.Path() / "registry.reg.damaged-3"), later);
  EXPECT_TRUE(FileRegistry(file).ReadValue(kSetting, "FirstTime")) << "the new file holds the settings";
}

TEST(FileRegistryTest, UnreadableFileIsNeverOverwritten) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  std::filesystem::create_directory(file);  // a folder where the file should be
  FileRegistry reg(file);
  ASSERT_TRUE(reg.LoadWarning());
  EXPECT_NE(reg.LoadWarning()->find("cannot be read"), std::string::npos);
  HKey key = 0;
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, kSetting, &key), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(reg.KeyExists("SYSTEM"));
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
  EXPECT_TRUE(std::filesystem::is_directory(file));
}

TEST(FileRegistryTest, TwoStoresOnOneFileSeeEachOthersChanges) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  FileRegistry monitor(file);
  FileRegistry cleanup(file);
  HKey setting = CreateKey(monitor, kSetting);
  ASSERT_EQ(SetValue(monitor, setting, "Check1", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);

  HKey run = CreateKey(cleanup, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_TRUE(cleanup.ReadValue(kSetting, "Check1"));
  ASSERT_EQ(SetValue(cleanup, run, "VeltrixIII", REG_SZ, Bytes(std::string_view("x\0", 2))), ERROR_SUCCESS);
  // The monitor's next write starts from the file, so the other store's value survives.
  ASSERT_EQ(SetValue(monitor, setting, "Check2", REG_DWORD, {0, 0, 0, 0}), ERROR_SUCCESS);
  FileRegistry fresh(file);
  EXPECT_TRUE(fresh.ReadValue("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "VeltrixIII"));
  EXPECT_TRUE(fresh.ReadValue(kSetting, "Check1"));
  EXPECT_TRUE(fresh.ReadValue(kSetting, "Check2"));

  // A key deleted by the other store turns this store's handle into a deleted key's handle.
  EXPECT_EQ(cleanup.RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSetting), ERROR_SUCCESS);
  EXPECT_EQ(SetValue(monitor, setting, "Check3", REG_DWORD, {1, 0, 0, 0}), ERROR_KEY_DELETED);
  EXPECT_EQ(monitor.RegCloseKey(setting), ERROR_SUCCESS);
  cleanup.RegCloseKey(run);
}

TEST(FileRegistryTest, ForkedWritersLoseNothingAndLeaveNoTempFiles) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  constexpr int kWrites = 30;
  auto writeMany = [&](const std::string& prefix) {
    FileRegistry reg(file);
    HKey key = 0;
    if (reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, kSetting, &key) != ERROR_SUCCESS) return false;
    for (int i = 0; i < kWrites; ++i) {
      std::uint8_t dword[4] = {static_cast<std::uint8_t>(i), 0, 0, 0};
      if (reg.RegSetValueExA(key, prefix + std::to_string(i), REG_DWORD, dword, 4) != ERROR_SUCCESS)
        return false;
    }
    return reg.RegCloseKey(key) == ERROR_SUCCESS;
  };
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(writeMany("child") ? 0 : 1);
  EXPECT_TRUE(writeMany("parent"));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  FileRegistry reg(file);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_TRUE(reg.ReadValue(kSetting, "child" + std::to_string(i))) << i;
    EXPECT_TRUE(reg.ReadValue(kSetting, "parent" + std::to_string(i))) << i;
  }
  EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(FileRegistryTest, UnsavableChangeFailsAndLeavesMemoryAsTheFile) {
  ScratchFolder folder;
  // The folder cannot be created: a plain file is in the way.
  WriteFile(folder.Path() / "blocked", "");
  FileRegistry blocked(folder.Path() / "blocked" / "registry.reg");
  HKey key = 0;
  long rc = blocked.RegCreateKeyA(HKEY_LOCAL_MACHINE, kSetting, &key);
  EXPECT_TRUE(rc == ERROR_ACCESS_DENIED || rc == ERROR_WRITE_FAULT) << rc;
  EXPECT_FALSE(blocked.KeyExists("SYSTEM"));
  EXPECT_EQ(blocked.OpenHandleCount(), 0u);

  // A read-only folder holding a store (checked in a child that is not root, since root
  // writes anywhere).
  const auto readOnly = folder.Path() / "ro";
  std::filesystem::create_directory(readOnly);
  const auto file = readOnly / "registry.reg";
  {
    FileRegistry reg(file);
    HKey setting = CreateKey(reg, kSetting);
    ASSERT_EQ(SetValue(reg, setting, "Check1", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
    reg.RegCloseKey(setting);
  }
  const std::string before = ReadFile(file);
  ::chmod((readOnly / "registry.reg.lock").c_str(), 0666);
  ::chmod(file.c_str(), 0644);
  ::chmod(readOnly.c_str(), 0555);
  ::chmod(folder.Path().c_str(), 0755);
  constexpr int kCannotDropRoot = 42;
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0) {
      ::setgroups(0, nullptr);
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(kCannotDropRoot);
    }
    FileRegistry reg(file);
    HKey setting = 0;
    bool ok =
        reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, kSetting, &setting) == ERROR_SUCCESS;  // exists: no change
    std::uint8_t zero[4] = {0, 0, 0, 0};
    long setRc = reg.RegSetValueExA(setting, "Check1", REG_DWORD, zero, 4);
    ok = ok && (setRc == ERROR_ACCESS_DENIED || setRc == ERROR_WRITE_FAULT);
    auto value = reg.ReadValue(kSetting, "Check1");
    ok = ok && value && value->data == std::vector<std::uint8_t>{1, 0, 0, 0};
    ok = ok && reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSetting) != ERROR_SUCCESS && reg.KeyExists(kSetting);
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ::chmod(readOnly.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotDropRoot) GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadFile(file), before);
  EXPECT_EQ(FolderEntries(readOnly), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(FileRegistryTest, BatchSavesOnceAtTheEndOrUndoesEverything) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  FileRegistry reg(file);
  reg.BeginBatch();
  HKey key = CreateKey(reg, kSetting);
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(SetValue(reg, key, "v" + std::to_string(i), REG_DWORD, {1, 0, 0, 0}), 0);
  EXPECT_FALSE(std::filesystem::exists(file)) << "nothing is written inside the batch";
  EXPECT_EQ(reg.EndBatch(), ERROR_SUCCESS);
  EXPECT_TRUE(FileRegistry(file).ReadValue(kSetting, "v99"));
  reg.RegCloseKey(key);

  WriteFile(folder.Path() / "blocked", "");
  FileRegistry blocked(folder.Path() / "blocked" / "registry.reg");
  blocked.BeginBatch();
  key = CreateKey(blocked, kSetting);
  EXPECT_EQ(SetValue(blocked, key, "Check1", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
  long rc = blocked.EndBatch();
  EXPECT_TRUE(rc == ERROR_ACCESS_DENIED || rc == ERROR_WRITE_FAULT) << rc;
  EXPECT_FALSE(blocked.KeyExists("SYSTEM"));
  EXPECT_EQ(blocked.OpenHandleCount(), 0u);
}

TEST(FileRegistryTest, DefaultPathFollowsTheConfigFolder) {
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const char* oldHome = std::getenv("HOME");
  std::string savedConfig = oldConfig ? oldConfig : "", savedHome = oldHome ? oldHome : "";
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(DefaultRegistryPath(), std::filesystem::path("/cfg/veltrix/registry.reg"));
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(DefaultRegistryPath(), std::filesystem::path("/home/u/.config/veltrix/registry.reg"));
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultRegistryPath(), std::filesystem::path("/home/u/.config/veltrix/registry.reg"));
  oldConfig ? ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
  oldHome ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace
}  // namespace veltrix::platform
