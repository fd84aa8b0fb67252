#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "sim/board/board_profile.h"
#include "sim/chip/ite.h"
#include "sim/dump/register_dump.h"
#include "sim/machine/sim_machine.h"

namespace veltrix::sim {
namespace {

const std::string kDumpDir = std::string(VELTRIX_TEST_DATA_DIR) + "/register-dumps/";

std::string Row(int row, const std::string& cells) {
  char label[16];
  std::snprintf(label, sizeof label, "%x0: ", row & 0xF);
  return label + cells + "\n";
}

std::string Table(const std::string& firstRows = "", int rows = 16) {
  std::string s = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n";
  for (int r = 0; r < rows; ++r) s += Row(r, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ");
  if (!firstRows.empty()) s = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n" + firstRows;
  return s;
}

// What each real dump is, and on which example board it loads.
struct Expectation {
  const char* file;
  DumpKind kind;
  const char* loadsOn;     // example board, or nullptr
  const char* rejectedOn;  // a board it must not load on
};

const Expectation kReal[] = {
    {"it8705f-khali-superio.dump", DumpKind::kConfigSpace, "ZR31-X", "ZV75-DDR"},
    {"it8705f-khali.dump", DumpKind::kMonitor, "ZR31-X", "ZQ6A-PRO"},
    {"it8705f-ruik.dump", DumpKind::kMonitor, "ZR31-X", "ZQ6A-PRO"},
    {"it8705f-sewitt.dump", DumpKind::kMonitor, "ZR31-X", "ZT50-PLUS"},
    {"it8712f-edhel-autopwm.dump", DumpKind::kMonitor, "ZV75-DDR", "ZR45-MAX"},
    {"it8712f-edhel-nopwm.dump", DumpKind::kMonitor, "ZV75-DDR", "ZQ6A-PRO"},
    {"it8712f-edhel-superio.dump", DumpKind::kConfigSpace, "ZV75-DDR", "ZR31-X"},
    {"it8712f-evenflow.dump", DumpKind::kMonitor, "ZV75-DDR", "ZQ6A-PRO"},
    {"w83627hf-gcu.dump", DumpKind::kMonitor, "ZQ6A-PRO", "ZR45-MAX"},
    // W83627THF-class chips (id 0x90) are not among the simulated chips.
    {"w83627thf.dump", DumpKind::kMonitor, nullptr, "ZT50-PLUS"},
    {"w83687thf-1-hwm.dump", DumpKind::kMonitor, nullptr, "ZT50-PLUS"},
};

TEST(RealDumps, EveryFileIsCoveredAndParses) {
  std::map<std::string, const Expectation*> byName;
  for (const Expectation& e : kReal) byName[e.file] = &e;
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kDumpDir)) {
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    ASSERT_TRUE(byName.count(name)) << "new dump without an expectation";
    DumpParseResult r = LoadRegisterDumpFile(entry.path().string());
    ASSERT_TRUE(r.dump) << r.error;
    ASSERT_EQ(r.dump->tables.size(), 1u);
    EXPECT_EQ(IdentifyTable(r.dump->tables[0]).kind, byName[name]->kind);
    ++seen;
  }
  EXPECT_EQ(seen, static_cast<int>(std::size(kReal)));
}

TEST(RealDumps, LoadOnTheirChipOnly) {
  for (const Expectation& e : kReal) {
    SCOPED_TRACE(e.file);
    SimMachine wrong(*FindProfile(e.rejectedOn), 1);
    std::string err = wrong.LoadDumpFile(kDumpDir + e.file);
    EXPECT_NE(err.find(std::string(e.file) + ":"), std::string::npos) << err;
    if (e.loadsOn) {
      SimMachine right(*FindProfile(e.loadsOn), 1);
      EXPECT_EQ(right.LoadDumpFile(kDumpDir + e.file), "");
    }
  }
  SimMachine m(*FindProfile("ZT50-PLUS"), 1);
  EXPECT_EQ(m.LoadDumpFile(kDumpDir + "w83627thf.dump"),
            kDumpDir +
                "w83627thf.dump:2: Winbond monitor, chip id 0x90 (W83627THF/W83687THF) is not one of the "
                "simulated chips");
}

// Loading explains the counts physically: the chip converts the same counts again.
TEST(RealDumps, PhysicalStateReproducesTheCounts) {
  struct Case {
    const char* file;
    const char* board;
    std::vector<int> regs;
  };
  const Case cases[] = {
      {"w83627hf-gcu.dump", "ZQ6A-PRO", {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A}},
      {"it8705f-khali.dump",
       "ZR31-X",
       {0x0D, 0x0E, 0x0F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x29, 0x2A, 0x2B}},
      {"it8705f-sewitt.dump",
       "ZR31-X",
       {0x0D, 0x0E, 0x0F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x29, 0x2A, 0x2B}},
      {"it8712f-evenflow.dump", "ZV75-DDR", {0x0D, 0x0E, 0x0F, 0x20, 0x22, 0x23, 0x24, 0x27, 0x29, 0x2A}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto parsed = LoadRegisterDumpFile(kDumpDir + c.file);
    ASSERT_TRUE(parsed.dump);
    SimMachine m(*FindProfile(c.board), 99);
    ASSERT_EQ(m.LoadDump(*parsed.dump), "");
    m.Advance(3000);
    for (int reg : c.regs) {
      int dumped = *parsed.dump->tables[0].At(reg);
      int now = m.Chip().GetRegister(0, static_cast<std::uint8_t>(reg));
      EXPECT_LE(std::abs(now - dumped), 1) << "register 0x" << std::hex << reg;
    }
  }
}

TEST(RealDumps, ReprogrammedDivisorKeepsTheFanSpeed) {
  auto parsed = LoadRegisterDumpFile(kDumpDir + "it8705f-khali.dump");
  ASSERT_TRUE(parsed.dump);
  SimMachine m(*FindProfile("ZR31-X"), 5);
  ASSERT_EQ(m.LoadDump(*parsed.dump), "");
  auto& chip = dynamic_cast<IteChip&>(m.Chip());
  ASSERT_EQ(chip.FanDivisor(0), 8);
  const double rpm = 1350000.0 / (0x30 * 8);  // fan 1 count 0x30 at divisor 8
  // The program selects divisor 4 for fan 1 through the monitor ports.
  m.Port().OutPortB(0x295, 0x0B);
  std::uint8_t div = m.Port().InPortB(0x296);
  m.Port().OutPortB(0x295, 0x0B);
  m.Port().OutPortB(0x296, static_cast<std::uint8_t>((div & ~0x07) | 0x02));
  m.Advance(2000);
  ASSERT_EQ(chip.FanDivisor(0), 4);
  int count = m.Chip().GetRegister(0, 0x0D);
  EXPECT_NEAR(1350000.0 / (count * 4), rpm, rpm * 0.01);
}

TEST(RealDumps, ConfigurationSpaceDumpSetsTheLogicalDevice) {
  SimMachine m(*FindProfile("ZR31-X"), 1);
  ASSERT_EQ(m.LoadDumpFile(kDumpDir + "it8705f-khali-superio.dump"), "");
  const SuperIoConfig& cfg = m.Chip().Config();
  EXPECT_EQ(cfg.GetRegister(4, 0x74), 0x04);
  EXPECT_EQ(cfg.GetRegister(4, 0xF2), 0x0A);
  EXPECT_EQ(cfg.GetRegister(4, 0xF6), 0xFF);
  EXPECT_EQ(m.Chip().MonitorIndexPort(), 0x295);  // active at 0x290 as dumped
}

TEST(DumpFormat, AsciiColumnUnreadableCellsAndBanks) {
  std::string text =
      "isadump 0x295 0x296\n"
      "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n";
  for (int r = 0; r < 16; ++r) {
    std::string cells = r == 2 ? "9a XX 00 00 00 00 00 2d 90 ff ff 00 00 00 00 00 "
                               : "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ";
    if (r == 4) cells = "01 00 00 00 00 00 00 5f 2d 02 01 44 00 95 00 a3 ";
    if (r == 5) cells = "ff ff 00 ff ff ff 00 80 21 70 ff ff 11 00 ff 05 ";
    text += Row(r, cells + "   ..  ?.. a b.?");
  }
  text +=
      "\nWARNING! Running this program can cause system crashes, data loss and worse!\n"
      "I will probe address register 0x295 and data register 0x296.\n"
      "Probing bank 1 using bank register 0x4e.\n"
      "Continue? [Y/n] \n";
  std::string bank1;
  for (int r = 0; r < 16; ++r)
    bank1 += Row(r, r == 4   ? "01 00 00 00 00 00 00 5f 2d 02 01 44 00 95 01 a3 "
                    : r == 5 ? "2d 80 00 4b 00 50 00 80 21 70 ff ff 11 00 ff 05 "
                             : "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ");
  text += "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n" + bank1;

  DumpParseResult r = ParseRegisterDump(text, "multi.dump");
  ASSERT_TRUE(r.dump) << r.error;
  ASSERT_EQ(r.dump->tables.size(), 2u);
  const DumpTable& t0 = r.dump->tables[0];
  EXPECT_EQ(t0.addressPort, 0x295);
  EXPECT_FALSE(t0.bank);
  EXPECT_EQ(t0.At(0x20), 0x9A);
  EXPECT_FALSE(t0.At(0x21));  // XX
  EXPECT_EQ(r.dump->tables[1].bank, 1);
  EXPECT_EQ(r.dump->tables[1].line, 24);

  SimMachine m(*FindProfile("ZQ6A-PRO"), 2);
  ASSERT_EQ(m.LoadDump(*r.dump), "");
  m.Advance(1000);
  EXPECT_EQ(m.Chip().GetRegister(0, 0x20), 0x9A);
  EXPECT_EQ(m.Chip().GetRegister(1, 0x50), 0x2D);  // temp2 45.5 degrees from bank 1
  EXPECT_EQ(m.Chip().GetRegister(1, 0x51), 0x80);
  EXPECT_DOUBLE_EQ(m.Physics().TemperatureC(1), 45.5);
}

TEST(DumpFormat, ShortTableFromABusyChip) {
  DumpParseResult r = ParseRegisterDump(Table("", 8) + "# end\n", "short.dump");
  ASSERT_TRUE(r.dump) << r.error;
  EXPECT_EQ(r.dump->tables[0].rows, 8);
  EXPECT_FALSE(r.dump->tables[0].At(0x80));
}

TEST(DumpFormat, MalformedInputNamesFileAndLine) {
  const std::string zero = "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
  struct Case {
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"", "bad.dump:1: no register table found"},
      {"hello\n", "bad.dump:1: unexpected text 'hello'"},
      {Row(0, zero), "bad.dump:1: register row before the column header"},
      {Table(Row(0, zero) + Row(2, zero)), "bad.dump:3: row 20 out of order, expected 10"},
      {Table(Row(0, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00")),
       "bad.dump:2: row has 15 cells, expected 16"},
      {Table(Row(0, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 zz")), "bad.dump:2: bad cell 'zz'"},
      {Table(Row(0, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 000")), "bad.dump:2: bad cell '000'"},
      {Table(Row(0, zero) + Row(1, zero) + "\n"),
       "bad.dump:4: table starting at line 1 has 2 rows, expected 16 (or 8 from a busy chip)"},
      {"isadump -W 0x295 0x296\n" + Table(), "bad.dump:1: word and double-word dumps are not supported"},
      {"isadump 0x295\n", "bad.dump:1: isadump command needs ADDRREG DATAREG [BANK [BANKREG]]"},
  };
  for (const Case& c : cases) {
    DumpParseResult r = ParseRegisterDump(c.text, "bad.dump");
    EXPECT_FALSE(r.dump) << c.text;
    EXPECT_EQ(r.error, c.error) << c.text;
  }
  // A table of zeros is no chip's dump.
  auto zeros = ParseRegisterDump(Table(), "zeros.dump");
  ASSERT_TRUE(zeros.dump);
  SimMachine m(*FindProfile("ZQ6A-PRO"), 1);
  EXPECT_EQ(m.LoadDump(*zeros.dump), "zeros.dump:1: not a Winbond or ITE sensor chip dump");
}

}  // namespace
}  // namespace veltrix::sim

namespace veltrix::sim {
namespace {

TEST(DumpFile, DevicesAndOversizedFilesAreRefusedBeforeReading) {
  EXPECT_EQ(LoadRegisterDumpFile("/dev/zero").error,
            "/dev/zero:0: cannot read the file (it is not a regular file)");
  const std::filesystem::path big =
      std::filesystem::temp_directory_path() / ("veltrix-dump-" + std::to_string(::getpid()) + ".dump");
  std::filesystem::remove(big);
  std::ofstream(big) << "";
  std::filesystem::resize_file(big, kMaxDumpFileBytes + 1);
  EXPECT_EQ(LoadRegisterDumpFile(big.string()).error,
            big.string() + ":0: cannot read the file (it is larger than the limit of 1 MiB)");
  std::filesystem::remove(big);
}

}  // namespace
}  // namespace veltrix::sim
