// The host's files as the program sees them through platform::Files: bounded reads of regular
// files only, and nothing written or removed through a symbolic link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/files/files.h"

namespace veltrix::platform {
namespace {

namespace fs = std::filesystem;

class HostFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "veltrix-files-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string PathOf(const std::string& name) const { return files.PathInFolder(folder_.string(), name); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(PathOf(name), std::ios::binary) << text;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  Files& files = HostFiles();
  fs::path folder_;
};

TEST_F(HostFilesTest, ReadsOnlyRegularFilesUpToTheLimit) {
  Write("readme.txt", "twelve bytes");
  std::string why;
  EXPECT_EQ(files.ReadTextFile(PathOf("readme.txt"), 12, &why), "twelve bytes");
  EXPECT_FALSE(files.ReadTextFile(PathOf("readme.txt"), 11, &why));
  EXPECT_EQ(why, "it is larger than the limit of 11 bytes");
  ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(files.ReadTextFile(PathOf("pipe"), 100, &why)) << "returns at once, no writer needed";
  EXPECT_EQ(why, "it is not a regular file");
  EXPECT_FALSE(files.ReadTextFile(PathOf("missing"), 100, &why));
  EXPECT_EQ(why, "No such file or directory");

  EXPECT_TRUE(files.FileExists(PathOf("readme.txt")));
  fs::create_symlink(PathOf("readme.txt"), PathOf("link.txt"));
  EXPECT_TRUE(files.FileExists(PathOf("link.txt"))) << "reading may follow a link";
  EXPECT_FALSE(files.FileExists(PathOf("pipe")));
  EXPECT_FALSE(files.FileExists(folder_.string()));
  EXPECT_FALSE(files.FileExists(PathOf("missing")));
}

TEST_F(HostFilesTest, WritesAndRemovalsNeverGoThroughALink) {
  Write("target.txt", "keep me");
  fs::create_symlink(PathOf("target.txt"), PathOf("Vtx.log"));
  fs::create_symlink(PathOf("nowhere.txt"), PathOf("dangling.log"));
  std::string why;
  EXPECT_FALSE(files.AppendRecord(PathOf("Vtx.log"), "\"x\"\r\n", &why));
  EXPECT_EQ(why, "it is a symbolic link, which is not followed");
  EXPECT_FALSE(files.AppendRecord(PathOf("dangling.log"), "\"x\"\r\n", &why));
  EXPECT_FALSE(fs::exists(PathOf("nowhere.txt"))) << "nothing is created at the link's target";
  EXPECT_EQ(Read("target.txt"), "keep me");

  EXPECT_TRUE(files.RemoveFile(PathOf("Vtx.log"), &why));
  EXPECT_FALSE(fs::is_symlink(PathOf("Vtx.log")));
  EXPECT_EQ(Read("target.txt"), "keep me") << "the link went, not what it pointed to";

  EXPECT_TRUE(files.AppendRecord(PathOf("Vtx.log"), "\"a\"\r\n", &why)) << why;
  EXPECT_TRUE(files.AppendRecord(PathOf("Vtx.log"), "\"b\"\r\n", &why)) << why;
  EXPECT_EQ(Read("Vtx.log"), "\"a\"\r\n\"b\"\r\n");
  EXPECT_FALSE(files.AppendRecord(PathOf("no-folder/Vtx.log"), "x", &why));
  EXPECT_EQ(why, "No such file or directory");
}

}  // namespace
}  // namespace veltrix::platform
