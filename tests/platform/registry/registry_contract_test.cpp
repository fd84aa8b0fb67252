// Win32 registry behaviour every backend must show. Each test runs against the memory store
// and the file store; for the file store the file is read back afterwards and must hold
// exactly what the store held in memory.
#include <gtest/gtest.h>

#include <memory>

#include "platform/registry/file_registry.h"
#include "platform/registry/memory_registry.h"
#include "tests/platform/registry/registry_test_support.h"

namespace veltrix::platform {
namespace {

using testing::Bytes;
using testing::QueryValue;
using testing::SetValue;

struct MemoryBackend {
  std::unique_ptr<MemoryRegistry> Make() { return std::make_unique<MemoryRegistry>(); }
  void CheckPersisted(MemoryRegistry&) {}
};

struct FileBackend {
  testing::ScratchFolder folder;
  std::filesystem::path File() const { return folder.Path() / "cfg" / "registry.reg"; }
  std::unique_ptr<MemoryRegistry> Make() { return std::make_unique<FileRegistry>(File()); }
  void CheckPersisted(MemoryRegistry& reg) {
    FileRegistry reread(File());
    EXPECT_FALSE(reread.LoadWarning().has_value());
    EXPECT_EQ(reread.Snapshot(), reg.Snapshot()) << testing::ReadFile(File());
  }
};

template <class Backend>
class RegistryContractTest : public ::testing::Test {
 protected:
  void SetUp() override { reg_ = backend_.Make(); }
  void TearDown() override { backend_.CheckPersisted(*reg_); }

  HKey Create(std::string_view path) {
    HKey key = 0;
    EXPECT_EQ(reg_->RegCreateKeyA(HKEY_LOCAL_MACHINE, path, &key), ERROR_SUCCESS) << path;
    return key;
  }

  Backend backend_;
  std::unique_ptr<MemoryRegistry> reg_;
};

using Backends = ::testing::Types<MemoryBackend, FileBackend>;
TYPED_TEST_SUITE(RegistryContractTest, Backends);

constexpr std::string_view kLimit = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Limit";

TYPED_TEST(RegistryContractTest, CreateMakesParentsAndOpenIgnoresCase) {
  MemoryRegistry& reg = *this->reg_;
  HKey missing = 77;
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, kLimit, &missing), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(reg.KeyExists("SYSTEM"));

  HKey limit = this->Create(kLimit);
  EXPECT_TRUE(reg.KeyExists("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Halvane"));
  HKey again = 0;
  ASSERT_EQ(
      reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, "system\\CURRENTCONTROLSET\\services\\halvane\\limit\\", &again),
      ERROR_SUCCESS);
  EXPECT_NE(again, limit);
  // A relative path from an open key, and a second create of an existing key only opens it.
  HKey services = 0, halvane = 0;
  ASSERT_EQ(reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services", &services),
            ERROR_SUCCESS);
  ASSERT_EQ(reg.RegCreateKeyA(services, "HALVANE", &halvane), ERROR_SUCCESS);
  EXPECT_EQ(reg.SubKeyNames("SYSTEM\\CurrentControlSet\\Services"), std::vector<std::string>{"Halvane"});
  EXPECT_EQ(reg.SubKeyNames(""), std::vector<std::string>{"SYSTEM"});

  for (HKey key : {limit, again, services, halvane}) EXPECT_EQ(reg.RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TYPED_TEST(RegistryContractTest, ValuesKeepTypeAndExactBytes) {
  MemoryRegistry& reg = *this->reg_;
  HKey key = this->Create(kLimit);
  std::vector<std::uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
  const std::vector<std::uint8_t> one = {1, 0, 0, 0};
  struct Case {
    std::string_view name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  const Case cases[] = {
      {"LoBound0", REG_SZ, Bytes("3.14")},                             // float text without NUL
      {"Veltrix", REG_SZ, Bytes(std::string_view("C:\\K.exe\0", 9))},  // text with its NUL counted
      {"Embedded", REG_SZ, Bytes(std::string_view("a\0b\0", 4))},
      {"Empty", REG_SZ, {}},
      {"WEnable0", REG_DWORD, one},
      {"Short", REG_DWORD, {7, 0}},
      {"Blob", REG_BINARY, all},
      {"", REG_SZ, Bytes(std::string_view("default\0", 8))},
      {"Multi", 7, Bytes(std::string_view("x\0y\0\0", 5))},
  };
  for (const Case& c : cases) ASSERT_EQ(SetValue(reg, key, c.name, c.type, c.data), ERROR_SUCCESS) << c.name;
  for (const Case& c : cases) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(QueryValue(reg, key, c.name, &type, &data), ERROR_SUCCESS) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(data, c.data) << c.name;
  }
  // Names ignore case but keep the first spelling; a later write replaces type and bytes.
  ASSERT_EQ(SetValue(reg, key, "LOBOUND0", REG_BINARY, {9}), ERROR_SUCCESS);
  auto value = reg.ReadValue(kLimit, "lobound0");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, (RegistryValue{REG_BINARY, {9}}));
  EXPECT_EQ(reg.AllValues().front().name, "");  // the default value sorts first
  bool spelled = false;
  for (const RegistryEntry& entry : reg.AllValues()) spelled |= entry.name == "LoBound0";
  EXPECT_TRUE(spelled);
  reg.RegCloseKey(key);
}

TYPED_TEST(RegistryContractTest, QueryFollowsWin32BufferRules) {
  MemoryRegistry& reg = *this->reg_;
  HKey key = this->Create(kLimit);
  ASSERT_EQ(SetValue(reg, key, "Factor3", REG_SZ, Bytes("0.0159")), ERROR_SUCCESS);

  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(reg.RegQueryValueExA(key, "Factor3", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 6u);

  std::uint8_t buffer[8] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  size = 3;
  type = 0;
  EXPECT_EQ(reg.RegQueryValueExA(key, "Factor3", &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(type, REG_SZ);
  size = sizeof buffer;
  EXPECT_EQ(reg.RegQueryValueExA(key, "Factor3", nullptr, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 6), "0.0159");
  EXPECT_EQ(buffer[6], 0xAA) << "no NUL is added to stored text";

  EXPECT_EQ(reg.RegQueryValueExA(key, "Factor3", nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegQueryValueExA(key, "Factor4", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.RegSetValueExA(key, "Bad", REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegDeleteValueA(key, "FACTOR3"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteValueA(key, "Factor3"), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(reg.ReadValue(kLimit, "Factor3").has_value());
  reg.RegCloseKey(key);
}

TYPED_TEST(RegistryContractTest, KeyWithSubKeysIsNotDeleted) {
  MemoryRegistry& reg = *this->reg_;
  const char* const kService = "SYSTEM\\CurrentControlSet\\Services\\ZIVIZIZI";
  reg.RegCloseKey(this->Create("SYSTEM\\CurrentControlSet\\Services\\ZIVIZIZI\\Parameters"));
  reg.RegCloseKey(this->Create("SYSTEM\\CurrentControlSet\\Services\\ZIVIZIZI\\Enum"));
  HKey other = this->Create("SYSTEM\\CurrentControlSet\\Services\\ZIVIZIZI\\Other");
  ASSERT_EQ(SetValue(reg, other, "Keep", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);

  // The clean-up tool's order: sub-keys it knows first, then the parent.
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, std::string(kService) + "\\Parameters"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, std::string(kService) + "\\enum"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, kService), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(reg.ReadValue(std::string(kService) + "\\Other", "Keep").has_value());
  // What holds it: one sub-key left, and its own values.
  HKey service = 0;
  ASSERT_EQ(reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, kService, &service), ERROR_SUCCESS);
  std::uint32_t subKeys = 99, values = 99;
  EXPECT_EQ(reg.RegQueryInfoKeyA(service, &subKeys, &values), ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 1u);
  EXPECT_EQ(values, 0u);
  EXPECT_EQ(reg.RegQueryInfoKeyA(other, nullptr, &values), ERROR_SUCCESS);
  EXPECT_EQ(values, 1u);
  EXPECT_EQ(reg.RegCloseKey(service), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, std::string(kService) + "\\Parameters"),
            ERROR_FILE_NOT_FOUND);

  // A key holding values (but no sub-keys) goes, and handles into it are dead.
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, std::string(kService) + "\\Other"), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegQueryValueExA(other, "Keep", nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(reg.RegQueryInfoKeyA(other, &subKeys, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(SetValue(reg, other, "Keep", REG_DWORD, {1, 0, 0, 0}), ERROR_KEY_DELETED);
  EXPECT_EQ(reg.RegCloseKey(other), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, kService), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, kService), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "No\\Such\\Key"), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(reg.KeyExists("SYSTEM\\CurrentControlSet\\Services"));
}

TYPED_TEST(RegistryContractTest, HandlesAndNamesAreChecked) {
  MemoryRegistry& reg = *this->reg_;
  HKey key = this->Create("Software\\Veltrix");
  HKey opened = 0;
  EXPECT_EQ(reg.RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetValue(reg, key, "x", REG_DWORD, {1, 0, 0, 0}), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.RegQueryValueExA(0x1234, "x", nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.RegOpenKeyA(0x1234, "Software", &opened), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.RegDeleteKeyA(0x1234, "Software"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);  // predefined: stays usable
  EXPECT_EQ(reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &opened), ERROR_SUCCESS);

  EXPECT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, "\\Software", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\\\Veltrix", &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, "Soft\nware", &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, std::string(256, 'k'), &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(SetValue(reg, opened, "line\nbreak", REG_DWORD, {1, 0, 0, 0}), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reg.RegCloseKey(opened), ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
  EXPECT_EQ(reg.SubKeyNames("Software"), std::vector<std::string>{"Veltrix"});
}

TYPED_TEST(RegistryContractTest, BatchesNestAndShowTheirChangesAtOnce) {
  MemoryRegistry& reg = *this->reg_;
  reg.BeginBatch();
  HKey key = this->Create(kLimit);
  reg.BeginBatch();
  ASSERT_EQ(SetValue(reg, key, "FirstBoot", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
  EXPECT_EQ(reg.EndBatch(), ERROR_SUCCESS);
  EXPECT_TRUE(reg.ReadValue(kLimit, "FirstBoot"));
  EXPECT_EQ(reg.RegDeleteValueA(key, "FirstBoot"), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(reg, key, "WEnable0", REG_DWORD, {0, 0, 0, 0}), ERROR_SUCCESS);
  EXPECT_EQ(reg.EndBatch(), ERROR_SUCCESS);
  EXPECT_EQ(reg.EndBatch(), ERROR_INVALID_PARAMETER) << "no batch is open";
  EXPECT_FALSE(reg.ReadValue(kLimit, "FirstBoot"));
  EXPECT_TRUE(reg.ReadValue(kLimit, "WEnable0"));
  reg.RegCloseKey(key);
}

}  // namespace
}  // namespace veltrix::platform
