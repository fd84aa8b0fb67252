// The system information and about pages: what the value labels show for a board, the rules
// for the library's strings and the memory amount, and the readme file of the about page.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/about_text.h"
#include "platform/files/files.h"
#include "monitor/startup/system_information.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/registry/memory_registry.h"
#include "platform/system/sim_system.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

namespace fs = std::filesystem;
using testsupport::SimProgram;
using testsupport::SimProgramOptions;

// The first simulated board the program accepts, with or without fan control.
sim::BoardProfile AcceptedBoard(bool fanControl) {
  for (const auto& profile : sim::AllProfiles()) {
    const auto* board = boards::FindCatalogBoard(profile.ReportedModel());
    if (profile.known && board != nullptr && board->refusedAt == boards::Refusal::kNone &&
        board->fanControl == fanControl &&
        boards::IsFanControlSupported(profile.ReportedModel()) == fanControl) {
      return profile;
    }
  }
  ADD_FAILURE() << "no accepted simulated board with fanControl=" << fanControl;
  return sim::DefaultProfile();
}

SimProgramOptions Locale(std::uint32_t lcid) {
  SimProgramOptions o;
  o.lcid = lcid;
  return o;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(SystemInformationPage, ShowsTheBoardInItsLanguage) {
  sim::BoardProfile profile = testsupport::ProfileFor("ZQ52");
  profile.cpuName = "Simulated Pentium 4 2.80GHz";
  profile.memoryBytes = 536870912;
  profile.biosVersion = "ZQ52 1.07";
  profile.biosDate = "03/21/2003";
  for (const auto& [lcid, prefix] :
       {std::pair<std::uint32_t, const char*>{1033, "33"}, {1028, "28"}, {2052, "52"}}) {
    SCOPED_TRACE(lcid);
    SimProgram p(profile, Locale(lcid));
    ASSERT_FALSE(p.Start());
    auto& f = p.Prog().frmdoctor();
    EXPECT_EQ(f.lblUser_.Caption.Get(), "operator");
    EXPECT_EQ(f.lblCPU_.Caption.Get(), "Simulated Pentium 4 2.80GHz");
    EXPECT_EQ(f.lblMemory_.Caption.Get(), "524288 KBytes");
    EXPECT_EQ(f.lblModelName_.Caption.Get(), boards::DisplayName("ZQ52"));
    EXPECT_EQ(f.lblOS_.Caption.Get(), "Simulated OS");
    EXPECT_EQ(f.lblOSVersion_.Caption.Get(), "1.0");
    EXPECT_EQ(f.lblBIOSVersion_.Caption.Get(), "ZQ52 1.07");
    EXPECT_EQ(f.lblBIOSDate_.Caption.Get(), "03/21/2003");
    EXPECT_EQ(f.lblCountry_.Caption.Get(), Text(prefix, 300).value());
    EXPECT_EQ(f.lblIO_.Caption.Get(), SuperIoName(p.G().ChipId));
    EXPECT_NE(f.lblIO_.Caption.Get(), "Unknown.");
    // The captions of the rows.
    EXPECT_EQ(f.lblUser.Caption.Get(), Text(prefix, 315).value());
    EXPECT_EQ(f.lblIO.Caption.Get(), Text(prefix, 318).value());
    EXPECT_EQ(f.lblSupport.Caption.Get(), Text(prefix, 64).value());
  }
}

TEST(SystemInformationPage, SuperIoNamesByChipAndUnknownOtherwise) {
  SimProgram p(AcceptedBoard(true));
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  for (std::uint32_t other : {0x00u, 0x22u, 0x5CA3u}) {
    p.G().ChipId = other;
    FillSystemInformation(p.Prog());
    EXPECT_EQ(f.lblIO_.Caption.Get(), "Unknown.") << other;
  }
  p.G().ChipId = kChipIT8705F;
  FillSystemInformation(p.Prog());
  EXPECT_EQ(f.lblIO_.Caption.Get(), "ITE IT8705F");

  // A model the display table does not list leaves its label empty.
  p.G().ModelName = "ZQ99XYZ";
  FillSystemInformation(p.Prog());
  EXPECT_EQ(f.lblModelName_.Caption.Get(), "");
  p.G().ModelName = "ZR71+";
  FillSystemInformation(p.Prog());
  EXPECT_EQ(f.lblModelName_.Caption.Get(), "ZR71 Plus");
}

TEST(SystemInformationPage, MemoryIsShownInKBytesInTheShortestForm) {
  for (const auto& [bytes, text] : {std::pair<std::int32_t, const char*>{536870912, "524288 KBytes"},
                                    {1024, "1 KBytes"},
                                    {536870913, "524288.0009765625 KBytes"},
                                    {1536, "1.5 KBytes"},
                                    {1, "0.0009765625 KBytes"},
                                    {0, "0 KBytes"}}) {
    sim::BoardProfile profile = AcceptedBoard(true);
    profile.memoryBytes = bytes;
    SimProgram p(profile);
    ASSERT_FALSE(p.Start());
    EXPECT_EQ(p.Prog().frmdoctor().lblMemory_.Caption.Get(), text) << bytes;
  }
}

// A board-information library answering as told: to check the string rules.
class ScriptedBoardInfo : public platform::BoardInfo {
 public:
  // Bytes written at the start of each buffer (nullopt = the buffer is left alone).
  std::optional<std::string> model, biosVersion, biosDate, cpu, user, osName, osVersion;
  std::uint64_t memory = 0;

  void GetKorvanaBIOSInformation(char* m, char* v, char* d) override {
    Put(m, model);
    Put(v, biosVersion);
    Put(d, biosDate);
  }
  std::int32_t GetPciBaseAddress(std::int32_t*) override { return -1; }
  void GetCpuType(char* c) override { Put(c, cpu); }
  void GetLoginUser(char* u) override { Put(u, user); }
  std::int32_t GetSystemPhysicalMemory(std::int32_t* arg) override {
    EXPECT_EQ(*arg, 0);
    return static_cast<std::int32_t>(std::min<std::uint64_t>(memory, 0x7FFFFFFF));
  }
  std::uint64_t PhysicalMemoryBytes() override { return memory; }
  void PlatformInformation(char* n, char* v) override {
    Put(n, osName);
    Put(v, osVersion);
  }

 private:
  static void Put(char* buffer, const std::optional<std::string>& bytes) {
    if (bytes) std::memcpy(buffer, bytes->data(), bytes->size());
  }
};

class NoPorts : public platform::PortIo {
 public:
  std::uint16_t LoadPordexVxD() override { return 1; }
  std::uint16_t InitialBus(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return 1; }
  std::uint8_t InPortB(std::uint16_t) override { return 0xFF; }
  void OutPortB(std::uint16_t, std::uint8_t) override {}
  std::uint16_t EnablePri() override { return 0; }
  void DisablePri() override {}
};

TEST(SystemInformationPage, LibraryStringsAreCutAtTheirNulAndBlankNamesAreEmpty) {
  ScriptedBoardInfo library;
  library.cpu = std::nullopt;                           // 64 blanks, no NUL
  library.user = std::string("     \0xy", 8);           // blanks before the NUL
  library.osName = std::string(32, 'N');                // fills the buffer, no NUL
  library.osVersion = std::string("5.1\0garbage", 11);  // text after the NUL is not shown
  library.biosVersion = std::string(" 1.07 \0", 7);     // kept as written
  library.biosDate = std::nullopt;                      // 30 blanks, no NUL
  library.memory = 8ULL << 30;                          // beyond the 32-bit answer

  forms::VirtualScheduler scheduler;
  forms::Application app(scheduler);
  NoPorts ports;
  platform::MemoryRegistry registry;
  platform::SimSystem system;
  Program program(Services{ports, registry, library, system, nullptr, app});
  FillSystemInformation(program);
  auto& f = program.frmdoctor();
  EXPECT_EQ(f.lblCPU_.Caption.Get(), "");
  EXPECT_EQ(f.lblUser_.Caption.Get(), "");
  EXPECT_EQ(f.lblOS_.Caption.Get(), std::string(32, 'N'));
  EXPECT_EQ(f.lblOSVersion_.Caption.Get(), "5.1");
  EXPECT_EQ(f.lblBIOSVersion_.Caption.Get(), " 1.07 ");
  EXPECT_EQ(f.lblBIOSDate_.Caption.Get(), std::string(30, ' '));
  EXPECT_EQ(f.lblMemory_.Caption.Get(), "8388608 KBytes");

  library.cpu = std::string("  Athlon XP 2400+\0", 18);
  library.user = std::string("ops\0", 4);
  FillSystemInformation(program);
  EXPECT_EQ(f.lblCPU_.Caption.Get(), "  Athlon XP 2400+");
  EXPECT_EQ(f.lblUser_.Caption.Get(), "ops");
}

TEST(AboutPage, FileByFanControlAndLanguage) {
  EXPECT_EQ(AboutFileName(true, 1028), "\\Readme(Chinese).txt");
  EXPECT_EQ(AboutFileName(true, 1033), "\\Readme(English).txt");
  EXPECT_EQ(AboutFileName(true, 2052), "\\Readme(China).txt");
  EXPECT_EQ(AboutFileName(false, 1028), "\\VtxIII_Readme(Chinese).txt");
  EXPECT_EQ(AboutFileName(false, 1033), "\\VtxIII_Readme(English).txt");
  EXPECT_EQ(AboutFileName(false, 2052), "\\VtxIII_Readme(China).txt");

  // The main window reads the one its board and language choose from the program folder.
  SimProgram p(AcceptedBoard(false), Locale(2052));
  WriteFile(fs::path(p.ProgramDir()) / "VtxIII_Readme(China).txt", "one line");
  WriteFile(fs::path(p.ProgramDir()) / "Readme(China).txt", "the fan-control board's");
  ASSERT_FALSE(p.Start());
  EXPECT_EQ(p.Prog().frmdoctor().AboutText.Text.Get(), "one line");
}

TEST(AboutPage, LinesAreJoinedWithCrLfAndNothingFollowsTheLast) {
  const fs::path dir = fs::temp_directory_path() / ("veltrix-about-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string file = (dir / "readme.txt").string();
  for (const auto& [bytes, text] : {std::pair<std::string, std::string>{"one line", "one line"},
                                    {"one line\r\n", "one line"},
                                    {"a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd"},
                                    {"a\n\nb\n", "a\r\n\r\nb"},
                                    {"\xEF\xBB\xBF"
                                     "first\n",
                                     "first"},
                                    {"", ""}}) {
    WriteFile(file, bytes);
    EXPECT_EQ(ReadAboutFile(platform::HostFiles(), file), text) << bytes;
  }
  EXPECT_EQ(ReadAboutFile(platform::HostFiles(), (dir / "missing.txt").string()), std::nullopt);
  EXPECT_EQ(ReadAboutFile(platform::HostFiles(), dir.string()), std::nullopt);  // a folder
  // A link in the program folder is not followed, wherever it points.
  WriteFile(file, "secret");
  fs::create_symlink(file, dir / "link.txt");
  EXPECT_EQ(ReadAboutFile(platform::HostFiles(), (dir / "link.txt").string()), std::nullopt);
  fs::remove_all(dir);
}

TEST(AboutPage, MissingFileLeavesAnEmptyBoxAndTheLoadGoesOn) {
  SimProgram p(AcceptedBoard(true));
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  EXPECT_EQ(f.AboutText.Text.Get(), "");
  EXPECT_TRUE(f.Timer1.Enabled);  // the rest of the load ran
  EXPECT_FALSE(f.lblIO_.Caption.Get().empty());
  EXPECT_FALSE(p.AdvanceMs(3000));
}

// The readme files shipped in the program folder: one per board kind and language, in that
// language, with Hushwind only where the board has it.
TEST(AboutPage, ShippedReadmeFiles) {
  const fs::path folder = fs::path(VELTRIX_SOURCE_DIR) / "assets" / "program-folder";
  for (bool fan : {true, false}) {
    for (std::uint32_t lcid : {1028u, 1033u, 2052u}) {
      const std::string name(AboutFileName(fan, lcid).substr(1));
      SCOPED_TRACE(name);
      const auto text = ReadAboutFile(platform::HostFiles(), (folder / name).string());
      ASSERT_TRUE(text.has_value());
      EXPECT_GT(text->size(), 500u);
      EXPECT_EQ(text->find("Hushwind") != std::string::npos, fan);
      EXPECT_NE(text->find("registry.reg"), std::string::npos);
      const std::string systemTab = Text(LanguageFromLcid(lcid).LangPrefix, 114).value();
      EXPECT_NE(text->find(systemTab), std::string::npos) << "names the pages in its language";
    }
  }
}

}  // namespace
}  // namespace veltrix::monitor
