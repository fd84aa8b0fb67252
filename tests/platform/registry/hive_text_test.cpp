// The text form of the store: what is accepted, what is written, and which damage is caught.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/registry/hive_text.h"
#include "platform/registry/registry.h"
#include "tests/platform/registry/registry_test_support.h"

namespace veltrix::platform {
namespace {

using testing::Bytes;

const RegistryValue* Find(const RegistryKey& root, const std::vector<std::string>& path,
                          const std::string& name) {
  const RegistryKey* key = FindKeyPath(root, path);
  if (key == nullptr) return nullptr;
  auto it = key->values.find(name);
  return it == key->values.end() ? nullptr : &it->second;
}

TEST(HiveTextTest, ReadsHandWrittenAndForeignLineEnds) {
  const std::string text =
      "\xEF\xBB\xBFREGEDIT4\r\n"
      "; written by hand\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
      "\"Veltrix\"=\"C:\\\\Program Files\\\\Kestrine.exe\"\r\n"
      "  \"Quote\" = \"say \\\"hi\\\"\"  \r\n"
      "[hkey_local_machine\\SOFTWARE\\Blob]\n"
      "@=hex:00,01,\\\n"
      "  02,ff,\\\n"
      "  \t10\n"
      "\"Sixteen\"=hex(b):01\n"
      "\"Dword\"=DWORD:1e\n"
      "\"Nothing\"=hex(1):\n";
  HiveParseResult parsed = ParseHive(text);
  ASSERT_FALSE(parsed.error) << parsed.error->line << ": " << parsed.error->reason;
  const std::vector<std::string> run = {"Software", "Microsoft", "Windows", "CurrentVersion", "Run"};
  const RegistryValue* veltrix = Find(parsed.root, run, "Veltrix");
  ASSERT_NE(veltrix, nullptr);
  EXPECT_EQ(*veltrix,
            (RegistryValue{REG_SZ, Bytes(std::string_view("C:\\Program Files\\Kestrine.exe\0", 30))}));
  EXPECT_EQ(Find(parsed.root, run, "Quote")->data, Bytes(std::string_view("say \"hi\"\0", 9)));
  // Both sections name the same key; the first spelling is kept.
  ASSERT_EQ(parsed.root.subKeys.size(), 1u);
  EXPECT_EQ(parsed.root.subKeys[0].name, "Software");
  EXPECT_EQ(*Find(parsed.root, {"software", "blob"}, ""), (RegistryValue{REG_BINARY, {0, 1, 2, 0xFF, 0x10}}));
  EXPECT_EQ(*Find(parsed.root, {"Software", "Blob"}, "Sixteen"), (RegistryValue{11, {1}}));
  EXPECT_EQ(*Find(parsed.root, {"Software", "Blob"}, "Dword"), (RegistryValue{REG_DWORD, {0x1E, 0, 0, 0}}));
  EXPECT_EQ(*Find(parsed.root, {"Software", "Blob"}, "Nothing"), (RegistryValue{REG_SZ, {}}));

  // Writing and reading again gives the same tree.
  HiveParseResult again = ParseHive(FormatHive(parsed.root));
  ASSERT_FALSE(again.error);
  EXPECT_EQ(again.root, parsed.root);
  EXPECT_FALSE(ParseHive("").error);
  EXPECT_FALSE(ParseHive("\n\n; only a comment\n").error);
  EXPECT_FALSE(ParseHive("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n").error);
}

TEST(HiveTextTest, WritesReadableFormsOnlyWhenTheyGiveBackTheSameBytes) {
  RegistryKey root;
  root.name = "HKEY_LOCAL_MACHINE";
  RegistryKey& key = root.AddSubKey("Software").AddSubKey("Veltrix");
  key.SetValue("Run", {REG_SZ, Bytes(std::string_view("C:\\a \"b\"\0", 9))});
  key.SetValue("Float", {REG_SZ, Bytes("1.50")});
  key.SetValue("Caption", {REG_SZ, Bytes(std::string_view("\xE6\xBA\xAB\xE5\xBA\xA6\0", 7))});  // UTF-8 text
  key.SetValue("Big5", {REG_SZ, Bytes(std::string_view("\xB7\xC5\0", 3))});                     // not UTF-8
  key.SetValue("Tab", {REG_SZ, Bytes(std::string_view("a\tb\0", 4))});
  key.SetValue("Count", {REG_DWORD, {0x1E, 0, 0, 0}});
  key.SetValue("", {REG_BINARY, std::vector<std::uint8_t>(40, 0xAB)});
  root.AddSubKey("Empty");
  std::string text = FormatHive(root);

  EXPECT_EQ(text.rfind("REGEDIT4\n", 0), 0u);
  EXPECT_NE(text.find("\n[HKEY_LOCAL_MACHINE\\Empty]\n"), std::string::npos);
  EXPECT_NE(text.find("\"Run\"=\"C:\\\\a \\\"b\\\"\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Float\"=hex(1):31,2e,35,30\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Caption\"=\"\xE6\xBA\xAB\xE5\xBA\xA6\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Big5\"=hex(1):b7,c5,00\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Tab\"=hex(1):"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Count\"=dword:0000001e\n"), std::string::npos) << text;
  EXPECT_NE(text.find("@=hex:ab,"), std::string::npos) << text;
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    EXPECT_LE(end - start, 80u) << "long hex data is wrapped";
  }
  HiveParseResult parsed = ParseHive(text);
  ASSERT_FALSE(parsed.error) << parsed.error->reason;
  EXPECT_EQ(parsed.root, root);
}

TEST(HiveTextTest, DamageIsReportedWithItsLine) {
  struct Case {
    const char* text;
    std::size_t line;
    const char* reasonPart;
  };
  const Case cases[] = {
      {"garbage\n", 1, "REGEDIT4"},
      {"REGEDIT4\n\"x\"=dword:1\n", 2, "before any key"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2, "']'"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n", 2, "HKEY_LOCAL_MACHINE"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n", 2, "empty key name"},
      {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n", 2, "deletion"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=-\n", 3, "deletion"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:123456789\n", 3, "dword"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:zz\n", 3, "dword"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,,02\n", 3, "bad byte"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:1ff\n", 3, "bad byte"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex(q):01\n", 3, "type number"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,\\\n", 3, "past the end"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,\\\n  zz\n", 4, "bad byte"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x=dword:1\n", 3, "closing quote"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"a\\nb\"\n", 3, "escape"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"a\" trailing\n", 3, "after the quoted value"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\" dword:1\n", 3, "'='"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=42\n", 3, "value data"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nx=1\n", 3, "section"},
  };
  for (const Case& c : cases) {
    HiveParseResult parsed = ParseHive(c.text);
    ASSERT_TRUE(parsed.error) << c.text;
    EXPECT_EQ(parsed.error->line, c.line) << c.text;
    EXPECT_NE(parsed.error->reason.find(c.reasonPart), std::string::npos)
        << c.text << " -> " << parsed.error->reason;
    EXPECT_TRUE(parsed.root.subKeys.empty() && parsed.root.values.empty()) << "nothing is half loaded";
  }
}

// What Windows refuses is refused with the line; what it accepts is read in time proportional
// to its size and written back at about the size it was read.
TEST(HiveTextTest, WindowsLimitsAreKeptAndADeepTreeIsWrittenOnce) {
  const std::string name255(255, 'k');
  std::string deep = "REGEDIT4\n[HKEY_LOCAL_MACHINE";
  for (int i = 0; i < 512; ++i) deep += "\\" + name255;
  HiveParseResult ok = ParseHive(deep + "]\n");
  ASSERT_FALSE(ok.error) << ok.error->reason;
  HiveParseResult tooDeep = ParseHive(deep + "\\x]\n");
  ASSERT_TRUE(tooDeep.error);
  EXPECT_EQ(tooDeep.error->line, 2u);
  EXPECT_EQ(tooDeep.error->reason, "key path deeper than 512 keys");
  HiveParseResult longName = ParseHive("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + name255 + "k]\n");
  ASSERT_TRUE(longName.error);
  EXPECT_EQ(longName.error->line, 3u);
  EXPECT_EQ(longName.error->reason, "key name longer than 255 bytes");
  HiveParseResult longValue =
      ParseHive("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"" + std::string(16384, 'v') + "\"=dword:1\n");
  ASSERT_TRUE(longValue.error);
  EXPECT_EQ(longValue.error->reason, "value name longer than 16383 bytes");

  // A deep tree of long names is written in about the size it was read (not the square).
  const std::string written = FormatHive(ok.root);
  EXPECT_LT(written.size(), deep.size() + 64) << "one section for the leaf, the parents implied";
  EXPECT_EQ(ParseHive(written).root, ok.root);
}

// Many sibling keys and one long wrapped value once took minutes (80,000 keys: 29 s; a 3 MB
// value: 268 s). They must cost about what a text of the same size of plain value lines costs.
TEST(HiveTextTest, ManyKeysAndLongWrappedValuesCostNoMoreThanTheirSize) {
  constexpr int kKeys = 20000;
  std::string stress = "REGEDIT4\n";
  for (int i = 0; i < kKeys; ++i) stress += "[HKEY_LOCAL_MACHINE\\S\\k" + std::to_string(i) + "]\n";
  stress += "[HKEY_LOCAL_MACHINE\\A]\n\"v\"=hex:";
  for (int i = 0; i < 5 * kKeys; ++i) stress += (i % 25 == 24) ? "ab,\\\n  " : "ab,";
  stress += "ab\n";
  std::string plain = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n";
  for (int i = 0; plain.size() < stress.size(); ++i)
    plain += "\"v" + std::to_string(i) + "\"=dword:00000001\n";

  auto seconds = [](const std::string& text) {
    double best = 1e9;
    for (int round = 0; round < 2; ++round) {
      const auto start = std::chrono::steady_clock::now();
      HiveParseResult parsed = ParseHive(text);
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      EXPECT_FALSE(parsed.error);
    }
    return best;
  };
  const double stressed = seconds(stress);
  const double reference = seconds(plain);
  EXPECT_LT(stressed, 10 * reference + 0.05)
      << stressed << " s against " << reference << " s for plain lines";
  HiveParseResult parsed = ParseHive(stress);
  EXPECT_EQ(FindKeyPath(parsed.root, {"S"})->subKeys.size(), static_cast<std::size_t>(kKeys));
  EXPECT_EQ(Find(parsed.root, {"A"}, "v")->data.size(), static_cast<std::size_t>(5 * kKeys + 1));
}

}  // namespace
}  // namespace veltrix::platform
