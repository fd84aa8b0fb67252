// The file store under attack: links in place of the store or its lock, files of other users
// when running as root, oversized and special files, and what killed processes left behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files/safe_file.h"
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
constexpr std::string_view kPasswd = "root:x:0:0:root:/root:/bin/sh\n";

std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

long SetCheck1(Registry& reg) {
  HKey key = 0;
  long rc = reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, kSetting, &key);
  if (rc != ERROR_SUCCESS) return rc;
  rc = SetValue(reg, key, "Check1", REG_DWORD, {1, 0, 0, 0});
  reg.RegCloseKey(key);
  return rc;
}

// Runs the root rules whoever runs the tests, and puts the answer back afterwards.
struct OwnerChecksOn {
  OwnerChecksOn() { files::SetOwnerChecksForTesting(true); }
  ~OwnerChecksOn() { files::SetOwnerChecksForTesting(std::nullopt); }
};

TEST(FileRegistrySafety, ALinkInPlaceOfTheStoreIsRefusedAndNeverFollowed) {
  ScratchFolder folder;
  const auto passwd = folder.Path() / "passwd";
  WriteFile(passwd, kPasswd);  // not a hive: followed, it would be "kept aside as damaged"
  const auto file = folder.Path() / "registry.reg";
  std::filesystem::create_symlink(passwd, file);

  std::vector<std::string> messages;
  FileRegistry reg(file, [&](const std::string& m) { messages.push_back(m); });
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(file.string() + " is a symbolic link"), std::string::npos) << messages[0];
  EXPECT_EQ(SetCheck1(reg), ERROR_ACCESS_DENIED);
  EXPECT_EQ(messages.size(), 1u) << "said once";
  EXPECT_EQ(ReadFile(passwd), kPasswd);
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_EQ(Entries(folder.Path()),
            (std::vector<std::string>{"passwd", "registry.reg", "registry.reg.lock"}));
}

TEST(FileRegistrySafety, ALinkInPlaceOfTheLockCreatesNothingAnywhere) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  const auto target = folder.Path() / "made-by-root";
  std::filesystem::create_symlink(target, folder.Path() / "registry.reg.lock");
  std::vector<std::string> messages;
  FileRegistry reg(file, [&](const std::string& m) { messages.push_back(m); });
  EXPECT_EQ(SetCheck1(reg), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_FALSE(std::filesystem::exists(file));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("registry.reg.lock is a symbolic link"), std::string::npos) << messages[0];
}

TEST(FileRegistrySafety, AsRootOnlyOwnFilesInFoldersNobodyElseWritesAreUsed) {
  OwnerChecksOn rootRules;
  ScratchFolder folder;
  // A folder every user can write (and not sticky): another user could swap the file.
  const auto open = folder.Path() / "open";
  std::filesystem::create_directory(open);
  std::filesystem::permissions(open, std::filesystem::perms::all);
  WriteFile(open / "registry.reg", "REGEDIT4\n");
  FileRegistry inOpen(open / "registry.reg");
  ASSERT_TRUE(inOpen.LoadWarning());
  EXPECT_NE(inOpen.LoadWarning()->find("other users can write"), std::string::npos) << *inOpen.LoadWarning();
  EXPECT_EQ(SetCheck1(inOpen), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadFile(open / "registry.reg"), "REGEDIT4\n");

  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  const auto file = folder.Path() / "registry.reg";
  const std::string theirs = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Theirs]\n";
  WriteFile(file, theirs);
  ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
  FileRegistry reg(file);
  ASSERT_TRUE(reg.LoadWarning());
  EXPECT_NE(reg.LoadWarning()->find("owned by another user (uid 65534)"), std::string::npos)
      << *reg.LoadWarning();
  EXPECT_FALSE(reg.KeyExists("Theirs"));
  EXPECT_EQ(SetCheck1(reg), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadFile(file), theirs);
  // Given back to root, it is read at the next call.
  ASSERT_EQ(::chown(file.c_str(), 0, 0), 0);
  EXPECT_TRUE(reg.KeyExists("Theirs"));
  EXPECT_EQ(SetCheck1(reg), ERROR_SUCCESS);
}

TEST(FileRegistrySafety, OversizedAndSpecialFilesAreRefusedWithoutReading) {
  ScratchFolder folder;
  const auto big = folder.Path() / "big.reg";
  WriteFile(big, "REGEDIT4\n");
  std::filesystem::resize_file(big, kMaxRegistryFileBytes + 1);
  FileRegistry tooBig(big);
  ASSERT_TRUE(tooBig.LoadWarning());
  EXPECT_NE(tooBig.LoadWarning()->find("larger than the limit of 4 MiB"), std::string::npos)
      << *tooBig.LoadWarning();
  EXPECT_EQ(SetCheck1(tooBig), ERROR_ACCESS_DENIED);
  EXPECT_EQ(std::filesystem::file_size(big), kMaxRegistryFileBytes + 1) << "never set aside or replaced";

  const auto fifo = folder.Path() / "fifo.reg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  FileRegistry pipe(fifo);  // must not wait for a writer
  ASSERT_TRUE(pipe.LoadWarning());
  EXPECT_NE(pipe.LoadWarning()->find("not a regular file"), std::string::npos) << *pipe.LoadWarning();

  // A change that would make the file too big to read back is refused and not written.
  const auto file = folder.Path() / "registry.reg";
  FileRegistry reg(file);
  ASSERT_EQ(SetCheck1(reg), ERROR_SUCCESS);
  const std::string before = ReadFile(file);
  HKey key = 0;
  ASSERT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, kSetting, &key), ERROR_SUCCESS);
  const std::vector<std::uint8_t> huge(kMaxRegistryFileBytes / 2, 0xAB);
  EXPECT_EQ(SetValue(reg, key, "Huge", REG_BINARY, huge), ERROR_NOT_ENOUGH_QUOTA);
  reg.RegCloseKey(key);
  EXPECT_FALSE(reg.ReadValue(kSetting, "Huge"));
  EXPECT_EQ(ReadFile(file), before);
}

TEST(FileRegistrySafety, TemporaryFilesOfKilledProcessesGoAtTheNextSave) {
  ScratchFolder folder;
  const auto file = folder.Path() / "registry.reg";
  pid_t dead = ::fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  const std::string stale = "registry.reg.tmp-" + std::to_string(dead) + "-7";
  WriteFile(folder.Path() / stale, "half a save");
  WriteFile(folder.Path() / "registry.reg.tmp-1-3", "init never dies");
  WriteFile(folder.Path() / "registry.reg.tmp-notes", "not ours");
  FileRegistry reg(file);
  ASSERT_EQ(SetCheck1(reg), ERROR_SUCCESS);
  EXPECT_EQ(Entries(folder.Path()),
            (std::vector<std::string>{"registry.reg", "registry.reg.lock", "registry.reg.tmp-1-3",
                                      "registry.reg.tmp-notes"}));
}

TEST(FileOwnership, RootUsesOnlyItsOwnFilesInFoldersNobodyElseWrites) {
  auto folder = [](uid_t owner, mode_t mode, gid_t group = 0) {
    struct stat st {};
    st.st_uid = owner;
    st.st_gid = group;
    st.st_mode = S_IFDIR | mode;
    return st;
  };
  struct stat own {};
  own.st_uid = 0;
  struct stat theirs {};
  theirs.st_uid = 1000;
  EXPECT_FALSE(files::OwnershipProblem(folder(0, 0755), &own, 0));
  EXPECT_FALSE(files::OwnershipProblem(folder(0, 0755), nullptr, 0));
  EXPECT_FALSE(files::OwnershipProblem(folder(0, 01777), &own, 0)) << "sticky, like /tmp";
  EXPECT_FALSE(files::OwnershipProblem(folder(0, 0775, 0), &own, 0)) << "root's own group";
  EXPECT_TRUE(files::OwnershipProblem(folder(0, 01777), &theirs, 0));
  EXPECT_TRUE(files::OwnershipProblem(folder(0, 0755), &theirs, 0));
  EXPECT_TRUE(files::OwnershipProblem(folder(1000, 0755), &own, 0)) << "its owner can swap the file";
  EXPECT_TRUE(files::OwnershipProblem(folder(0, 0777), &own, 0));
  EXPECT_TRUE(files::OwnershipProblem(folder(0, 0775, 100), nullptr, 0));
}

}  // namespace
}  // namespace veltrix::platform
