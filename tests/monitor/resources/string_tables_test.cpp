// Contents of the four compiled string tables: which identifiers each holds, the English
// wording the rest of the program and its users rely on, and that the other languages are
// real translations kept in step with their source files.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "monitor/resources/strings.h"

namespace veltrix::monitor {
namespace {

// Suffixes of every table except 405 (present only in Traditional Chinese and French).
const std::set<int> kCommonSuffixes{
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,
    20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  34,  35,  36,  37,  39,  40,  41,
    42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,
    62,  63,  64,  65,  66,  67,  70,  71,  73,  74,  75,  76,  77,  78,  79,  80,  90,  91,  92,  93,
    94,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 110, 111, 112, 113, 114,
    115, 116, 117, 119, 120, 121, 122, 123, 124, 130, 300, 309, 310, 311, 312, 313, 314, 315, 316, 317,
    318, 335, 340, 342, 344, 350, 351, 352, 353, 354, 355, 356, 357, 358, 359, 365, 366, 370, 371, 372,
    380, 381, 382, 383, 384, 385, 386, 387, 388, 389, 390, 391, 392, 393, 394, 395, 396, 397, 398, 399,
    400, 401, 402, 403, 404, 406, 407, 410, 411, 412, 413, 414, 415, 416, 417, 420, 430, 431};

const StringTable& TableFor(std::string_view prefix) {
  for (const StringTable& table : StringTables()) {
    if (table.prefix == prefix) return table;
  }
  ADD_FAILURE() << "no table with prefix " << prefix;
  static const StringTable kNone{};
  return kNone;
}

std::set<int> SuffixesOf(const StringTable& table) {
  std::set<int> suffixes;
  for (const StringEntry& entry : table.entries) suffixes.insert(entry.id % 1000);
  return suffixes;
}

std::string English(int suffix) {
  return Text("33", suffix).value_or("<missing>");
}

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    auto lead = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
    } else if (lead >= 0x80) {
      return false;
    }
    if (s.size() - i <= extra) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

TEST(StringTables, EachTableHoldsExactlyItsSuffixes) {
  ASSERT_EQ(StringTables().size(), 4u);
  std::set<int> withExtra = kCommonSuffixes;
  withExtra.insert(405);
  std::set<int> simplified = kCommonSuffixes;
  simplified.erase(43);
  simplified.erase(106);

  EXPECT_EQ(SuffixesOf(TableFor("28")), withExtra);
  EXPECT_EQ(SuffixesOf(TableFor("36")), withExtra);
  EXPECT_EQ(SuffixesOf(TableFor("33")), kCommonSuffixes);
  EXPECT_EQ(SuffixesOf(TableFor("52")), simplified);
  EXPECT_EQ(TableFor("28").entries.size(), 179u);
  EXPECT_EQ(TableFor("33").entries.size(), 178u);
  EXPECT_EQ(TableFor("52").entries.size(), 176u);
}

TEST(StringTables, IdentifiersCarryTheirTablePrefixAndAreSorted) {
  for (const StringTable& table : StringTables()) {
    int prefix = std::stoi(std::string(table.prefix));
    int previous = -1;
    for (const StringEntry& entry : table.entries) {
      EXPECT_EQ(entry.id / 1000, prefix) << entry.id;
      EXPECT_GT(entry.id, previous) << "table " << table.prefix << " out of order at " << entry.id;
      EXPECT_FALSE(entry.text.empty()) << entry.id;
      EXPECT_TRUE(IsValidUtf8(entry.text)) << entry.id;
      previous = entry.id;
    }
  }
}

TEST(StringTables, EnglishMessagesReadExactlyAsShipped) {
  EXPECT_EQ(English(36), "Hushwind/Veltrix III cannot support this Mainboard!!!");
  EXPECT_EQ(English(37), "Hushwind/Veltrix III");
  EXPECT_EQ(English(65), "PC chassis is opened!!!");
  EXPECT_EQ(English(66), "PC chassis is closed...");
  EXPECT_EQ(English(67), "This PC don't support chassis intrusion.");
  EXPECT_EQ(English(74), "Exit");
  EXPECT_EQ(English(75), "Shut Down");
  EXPECT_EQ(English(78), "No more monitor this item");
  EXPECT_EQ(English(90), "Your CPU FAN Speed exceed the limits!!");
  EXPECT_EQ(English(99), "Your 2.5V voltage exceed the limits!!");
  EXPECT_EQ(English(105), "Your PC chassis has been opened!!");
  EXPECT_EQ(English(106), "Your CPU Kernal temperature exceed the limits!!");
  EXPECT_EQ(English(300), "United States");
  EXPECT_EQ(English(335), "Veltrix III");
  EXPECT_EQ(English(342), "Mainboard choose error!!");
  EXPECT_EQ(English(344), "In NT/2000/XP platform, can't use chassis Intrusion.");
  EXPECT_EQ(English(366), "Do you want to shut down your System?");
  EXPECT_EQ(English(371), "Can't detect CPU Fan, please check CPU Fan installed if correct!!");
  EXPECT_EQ(English(372), "Warning!!");
  EXPECT_EQ(English(420), "Show");
  // Odd spacing is part of the texts.
  EXPECT_EQ(English(46), "SYS  Fan2");
  EXPECT_EQ(English(388), "Current Fan Control Method : ");
  EXPECT_EQ(English(404), "Vol tage");
}

TEST(StringTables, TellingTranslations) {
  EXPECT_EQ(Text("28", 74), "關閉");  // "Close", where English says "Exit"
  EXPECT_EQ(Text("52", 74), "关闭");
  EXPECT_EQ(Text("28", 300), "台灣");
  EXPECT_EQ(Text("52", 300), "中国");
  EXPECT_EQ(Text("52", 75), "开机");
  EXPECT_EQ(Text("28", 75), "關機");
}

TEST(StringTables, OtherLanguagesAreTranslatedNotCopied) {
  // Product names, units and abbreviations that read the same in every language.
  const std::map<std::string_view, std::set<int>> kSameAsEnglish{
      {"28", {0, 14, 15, 16, 37, 58, 113, 120, 335, 430, 431}},
      {"52", {0, 14, 15, 16, 37, 58, 113, 120, 335, 430, 431}},
      {"36", {0, 6, 37, 51, 58, 62, 63, 113, 120, 335, 390, 430, 431}},
  };
  for (const auto& [prefix, allowed] : kSameAsEnglish) {
    for (const StringEntry& entry : TableFor(prefix).entries) {
      int suffix = entry.id % 1000;
      std::optional<std::string> english = Text("33", suffix);
      if (!english) continue;
      if (allowed.count(suffix)) {
        EXPECT_EQ(entry.text, *english) << prefix << " " << suffix;
      } else {
        EXPECT_NE(entry.text, *english) << "table " << prefix << " copies English text " << suffix;
      }
    }
  }
}

TEST(StringTables, ChineseTablesAreWrittenInTheirOwnScript) {
  // Characters that exist in only one of the two scripts, in texts that use them.
  EXPECT_NE(Text("28", 35)->find("資訊"), std::string::npos);
  EXPECT_NE(Text("52", 35)->find("信息"), std::string::npos);
  for (int suffix : {13, 111, 404}) {
    EXPECT_NE(Text("28", suffix)->find("電壓"), std::string::npos) << suffix;
    EXPECT_NE(Text("52", suffix)->find("电压"), std::string::npos) << suffix;
  }
}

// The .txt files are the source of the compiled tables; the generated code must match them.
std::map<int, std::string> ReadSourceTable(const std::string& path, int prefix) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::map<int, std::string> entries;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::string text;
    for (std::size_t i = 5; i + 1 < line.size(); ++i) {
      if (line[i] == '\\') ++i;
      text += line[i];
    }
    entries[prefix * 1000 + std::stoi(line.substr(0, 3))] = text;
  }
  return entries;
}

TEST(StringTables, CompiledTablesMatchTheirSourceFiles) {
  const std::string dir = std::string(VELTRIX_SOURCE_DIR) + "/monitor/resources/strings/";
  for (const StringTable& table : StringTables()) {
    int prefix = std::stoi(std::string(table.prefix));
    auto source =
        ReadSourceTable(dir + std::string(table.prefix) + "_" + std::string(table.language) + ".txt", prefix);
    std::map<int, std::string> compiled;
    for (const StringEntry& entry : table.entries) compiled[entry.id] = std::string(entry.text);
    EXPECT_EQ(compiled, source) << "rerun tools/gen_strings.py for table " << table.prefix;
  }
}

}  // namespace
}  // namespace veltrix::monitor
