// vanquil on a real settings file: what stays is byte for byte what was there, a second run
// changes nothing, and a file it may not or cannot change is reported, never passed off as
// cleaned.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/vanquil/vanquil_app.h"
#include "platform/registry/file_registry.h"
#include "platform/system/sim_system.h"
#include "removal/module_vanquil.h"

namespace veltrix::app {
namespace {

namespace fs = std::filesystem;
using platform::HKEY_LOCAL_MACHINE;

class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "vanquil-run-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~Scratch() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(platform::Registry& reg, const std::string& key, const std::string& name, const std::string& data,
         std::uint32_t type = platform::REG_SZ) {
  platform::HKey k = 0;
  ASSERT_EQ(reg.RegCreateKeyA(HKEY_LOCAL_MACHINE, key, &k), platform::ERROR_SUCCESS);
  ASSERT_EQ(reg.RegSetValueExA(k, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                               static_cast<std::uint32_t>(data.size())),
            platform::ERROR_SUCCESS);
  reg.RegCloseKey(k);
}

const std::string kServices = "SYSTEM\\CurrentControlSet\\Services\\";

void PutOthers(platform::Registry& reg) {
  Put(reg, kServices + "Other", "Start", std::string("\x02\0\0\0", 4), platform::REG_DWORD);
  Put(reg, std::string(removal::kRunKey), "Veltrix", std::string("/opt/veltrix\\Kestrine.exe\0", 26));
  Put(reg, std::string(removal::kUninstallKey), std::string(removal::kUninstallValue),
      std::string("/opt/veltrix/uninstall --quiet\0", 31));
  Put(reg, "SOFTWARE\\Vendor\\Tool", "Float", "4.1");  // a text stored without its NUL
}

void PutOurs(platform::Registry& reg) {
  for (std::string_view key : removal::RemovedKeys()) Put(reg, std::string(key), "Value", "x");
  Put(reg, kServices + "Halvane\\Limit", "LoBound0", "3.14");
  Put(reg, std::string(removal::kRunKey), std::string(removal::kRunValue), "/opt/veltrix/VtxIII");
}

struct CleanUpRun {
  std::vector<std::string> started;
  std::ostringstream err;
  int status = -1;
  void On(const fs::path& file) {
    platform::SimSystemOptions options;
    options.programStarter = [this](const std::string& line) {
      started.push_back(line);
      return true;
    };
    platform::SimSystem system(options);
    status = CleanUpSettings(file, system, err);
  }
};

TEST(VanquilRun, OnlyTheListedKeysGoAndEverythingElseStaysByteForByte) {
  Scratch scratch;
  const fs::path file = scratch.Path() / "registry.reg";
  const fs::path expectedFile = scratch.Path() / "expected.reg";
  {
    platform::FileRegistry store(file);
    PutOthers(store);
    PutOurs(store);
    platform::FileRegistry expected(expectedFile);
    PutOthers(expected);
  }

  CleanUpRun first;
  first.On(file);
  EXPECT_EQ(first.status, 0) << first.err.str();
  EXPECT_EQ(first.err.str(), "");
  EXPECT_EQ(ReadFile(file), ReadFile(expectedFile));
  EXPECT_EQ(first.started, std::vector<std::string>{"/opt/veltrix/uninstall --quiet"});

  // The second run finds nothing of ours: the file is not even rewritten.
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  CleanUpRun second;
  second.On(file);
  EXPECT_EQ(second.status, 0) << second.err.str();
  EXPECT_EQ(second.err.str(), "");
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(ReadFile(file), ReadFile(expectedFile));
}

TEST(VanquilRun, NoFileIsNothingToDoAndCreatesNothing) {
  Scratch scratch;
  CleanUpRun run;
  run.On(scratch.Path() / "config" / "registry.reg");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err.str(), "");
  EXPECT_TRUE(run.started.empty());
  EXPECT_TRUE(fs::is_empty(scratch.Path()));
}

TEST(VanquilRun, SymbolicLinkIsRefusedAndNothingIsTouched) {
  Scratch scratch;
  const fs::path target = scratch.Path() / "elsewhere.reg";
  {
    platform::FileRegistry store(target);
    PutOurs(store);
  }
  const std::string text = ReadFile(target);
  const fs::path link = scratch.Path() / "registry.reg";
  fs::create_symlink(target, link);

  CleanUpRun run;
  run.On(link);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.str().find("symbolic link"), std::string::npos) << run.err.str();
  EXPECT_EQ(ReadFile(target), text);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(run.started.empty());

  // Nor does a folder in the file's place get cleaned or read.
  CleanUpRun folder;
  folder.On(scratch.Path());
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.str().find("not a regular file"), std::string::npos);
}

TEST(VanquilRun, ReadOnlyFileIsReportedOnceAndLeftAsItWas) {
  Scratch scratch;
  const fs::path file = scratch.Path() / "registry.reg";
  {
    platform::FileRegistry store(file);
    PutOurs(store);
    PutOthers(store);
  }
  const std::string text = ReadFile(file);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  CleanUpRun run;
  run.On(file);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadFile(file), text);
  const std::string message = run.err.str();
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  EXPECT_EQ(message.rfind("vanquil: could not remove ", 0), 0u) << message;
  EXPECT_NE(message.find("Services\\Halvane\\Limit"), std::string::npos);
  EXPECT_NE(message.find("Run\\VeltrixIII"), std::string::npos);
  EXPECT_NE(message.find("read-only"), std::string::npos);
  // Every step still ran: the uninstaller is started all the same.
  EXPECT_EQ(run.started, std::vector<std::string>{"/opt/veltrix/uninstall --quiet"});
}

TEST(VanquilRun, DamagedFileIsKeptAsideAndReported) {
  Scratch scratch;
  const fs::path file = scratch.Path() / "registry.reg";
  std::ofstream(file) << "not a registry file\n";
  CleanUpRun run;
  run.On(file);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.str().find("damaged"), std::string::npos) << run.err.str();
  EXPECT_TRUE(fs::exists(scratch.Path() / "registry.reg.damaged-1"));
}

}  // namespace
}  // namespace veltrix::app
