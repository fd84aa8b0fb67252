// The console's per-tick records: the JSON line parses back with the expected shape and
// values, and the text rows are aligned.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <variant>
#include <vector>

#include "frontends/console/json_text.h"
#include "frontends/console/monitor_console.h"
#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "tests/support/sim_program.h"

namespace veltrix::console {
namespace {

// A small JSON reader, enough to check the records.
struct Json;
using JsonObject = std::map<std::string, Json>;
using JsonArray = std::vector<Json>;
struct Json {
  std::variant<std::nullptr_t, bool, double, std::string, JsonArray, JsonObject> v;
  const Json& operator[](const std::string& key) const { return std::get<JsonObject>(v).at(key); }
  const Json& operator[](std::size_t i) const { return std::get<JsonArray>(v).at(i); }
  std::size_t size() const {
    return std::holds_alternative<JsonArray>(v) ? std::get<JsonArray>(v).size() : 0;
  }
  const std::string& str() const { return std::get<std::string>(v); }
  bool boolean() const { return std::get<bool>(v); }
  double number() const { return std::get<double>(v); }
};

class Reader {
 public:
  explicit Reader(std::string_view text) : s_(text) {}
  Json Document() {
    Json j = Value();
    Skip();
    if (pos_ != s_.size()) throw std::runtime_error("trailing text");
    return j;
  }

 private:
  void Skip() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\n')) ++pos_;
  }
  char Peek() {
    Skip();
    if (pos_ >= s_.size()) throw std::runtime_error("unexpected end");
    return s_[pos_];
  }
  void Expect(char c) {
    if (Peek() != c) throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(pos_));
    ++pos_;
  }
  Json Value() {
    const char c = Peek();
    if (c == '{') {
      ++pos_;
      JsonObject o;
      if (Peek() == '}') return ++pos_, Json{o};
      for (;;) {
        std::string key = String();
        Expect(':');
        o.emplace(key, Value());
        if (Peek() == ',') {
          ++pos_;
          continue;
        }
        Expect('}');
        return Json{o};
      }
    }
    if (c == '[') {
      ++pos_;
      JsonArray a;
      if (Peek() == ']') return ++pos_, Json{a};
      for (;;) {
        a.push_back(Value());
        if (Peek() == ',') {
          ++pos_;
          continue;
        }
        Expect(']');
        return Json{a};
      }
    }
    if (c == '"') return Json{String()};
    if (s_.substr(pos_, 4) == "true") return pos_ += 4, Json{true};
    if (s_.substr(pos_, 5) == "false") return pos_ += 5, Json{false};
    if (s_.substr(pos_, 4) == "null") return pos_ += 4, Json{nullptr};
    std::size_t used = 0;
    const double d = std::stod(std::string(s_.substr(pos_)), &used);
    pos_ += used;
    return Json{d};
  }
  std::string String() {
    Expect('"');
    std::string out;
    while (pos_ < s_.size() && s_[pos_] != '"') {
      char c = s_[pos_++];
      if (static_cast<unsigned char>(c) < 0x20) throw std::runtime_error("raw control character");
      if (c == '\\') {
        c = s_[pos_++];
        switch (c) {
          case 'n':
            out += '\n';
            break;
          case 't':
            out += '\t';
            break;
          case 'r':
            out += '\r';
            break;
          case 'b':
            out += '\b';
            break;
          case 'f':
            out += '\f';
            break;
          case 'u':
            out += static_cast<char>(std::stoi(std::string(s_.substr(pos_, 4)), nullptr, 16));
            pos_ += 4;
            break;
          default:
            out += c;
        }
      } else {
        out += c;
      }
    }
    Expect('"');
    return out;
  }
  std::string_view s_;
  std::size_t pos_ = 0;
};

TEST(JsonText, EscapesWhatJsonRequiresAndPassesUtf8Through) {
  EXPECT_EQ(JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
  EXPECT_EQ(JsonString("\xE9\xA2\xA8\xE6\x89\x87"), "\"\xE9\xA2\xA8\xE6\x89\x87\"");
  EXPECT_EQ(Reader(JsonString("x\"\t\x1f")).Document().str(), "x\"\t\x1f");
}

TEST(MonitorConsole, OneJsonObjectPerTickWithEveryItem) {
  testsupport::SimProgram p("ZT50E");
  std::ostringstream out;
  MonitorConsole console(p.Prog(), out, {.json = true}, &p.Answers().Shown());
  ASSERT_EQ(p.Start(), std::nullopt);
  console.Attach();
  auto& w = p.Prog().frmdoctor();
  p.Machine().InjectGarbage(0, 0x20, 0xF0);  // Vcore far above its limit
  p.Answers().Respond("a box \"quoted\"", 0, "Title");
  p.AdvanceMs(2 * w.Timer1.Interval);

  std::istringstream lines(out.str());
  std::vector<std::string> records;
  for (std::string line; std::getline(lines, line);) records.push_back(line);
  ASSERT_EQ(records.size(), 2u);
  const Json first = Reader(records[0]).Document();
  const Json second = Reader(records[1]).Document();
  EXPECT_EQ(first["tick"].number(), 1);
  EXPECT_EQ(second["tick"].number(), 2);
  EXPECT_EQ(first["model"].str(), "ZT50E");
  EXPECT_EQ(first["time"].str().size(), 8u);
  EXPECT_EQ(first["time"].str()[2], ':');
  ASSERT_EQ(first["items"].size(), 16u);
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(first["items"][i]["index"].number(), static_cast<double>(i));
  const Json& vcore = second["items"][0];
  EXPECT_EQ(vcore["name"].str(), w.lblItemName[0].Caption.Get());
  EXPECT_EQ(vcore["text"].str(), "3.84");
  EXPECT_TRUE(vcore["alarm"].boolean());
  EXPECT_TRUE(vcore["enabled"].boolean());
  EXPECT_FALSE(second["items"][1]["present"].boolean()) << "no +2.5V on Winbond boards";
  EXPECT_EQ(second["items"][9]["text"].str(), w.lblFanSpeed[0].Caption.Get());
  EXPECT_EQ(second["items"][12]["text"].str(), w.lblStatusT[0].Caption.Get());
  // ZT50 boards show temperature 0 in the row captioned "CPU Temp" (the rows trade places, the
  // captions stay): a record names each row as the window does.
  EXPECT_EQ(second["items"][12]["name"].str(), "CPU Temp");
  EXPECT_EQ(second["items"][13]["name"].str(), "System Temp");
  EXPECT_EQ(second["items"][15]["text"].str(), w.lblCaseOpen.Caption.Get());
  // Messages are reported once, in the record after they were shown.
  ASSERT_GE(first["messages"].size(), 1u);
  EXPECT_EQ(first["messages"][first["messages"].size() - 1]["text"].str(), "a box \"quoted\"");
  EXPECT_EQ(second["messages"].size(), 0u);
  for (std::size_t d = 0; d < second["dialogs"].size(); ++d) {
    EXPECT_EQ(second["dialogs"][d].str().rfind("frm", 0), 0u);
  }
}

TEST(MonitorConsole, AnOpenedChassisIsAnAlarmInBothRecords) {
  testsupport::SimProgram p("ZQ52");
  std::ostringstream json;
  std::ostringstream text;
  MonitorConsole jsonConsole(p.Prog(), json, {.json = true});
  MonitorConsole textConsole(p.Prog(), text);
  ASSERT_EQ(p.Start(), std::nullopt);
  jsonConsole.Attach();
  auto& w = p.Prog().frmdoctor();
  p.AdvanceMs(w.Timer1.Interval);
  EXPECT_FALSE(Reader(json.str()).Document()["items"][15]["alarm"].boolean()) << "closed";

  p.Machine().SetCaseOpen(true);
  json.str("");
  p.AdvanceMs(w.Timer1.Interval);
  const Json record = Reader(json.str()).Document();
  const Json& chassis = record["items"][15];
  EXPECT_EQ(chassis["text"].str(), "PC chassis is opened!!!");
  EXPECT_TRUE(chassis["alarm"].boolean());
  textConsole.Attach();
  p.AdvanceMs(w.Timer1.Interval);
  EXPECT_NE(text.str().find("PC chassis is opened!!!             ALARM"), std::string::npos) << text.str();
}

TEST(MonitorConsole, TextRowsAreAlignedAndSkipAbsentItems) {
  testsupport::SimProgram p("ZT50E");
  std::ostringstream out;
  MonitorConsole console(p.Prog(), out);
  ASSERT_EQ(p.Start(), std::nullopt);
  console.Attach();
  p.Prog().frmdoctor().WEnable[4] = 0;
  p.AdvanceMs(p.Prog().frmdoctor().Timer1.Interval);
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("-- tick 1  ", 0), 0u) << text;
  EXPECT_EQ(text.find("+2.5V"), std::string::npos);
  EXPECT_NE(text.find("(not monitored)"), std::string::npos);
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  std::size_t unitColumn = std::string::npos;
  while (std::getline(lines, line)) {
    if (line.find(" V ") == std::string::npos || line.find("dialog") != std::string::npos) continue;
    const std::size_t column = line.find(" V ");
    if (unitColumn == std::string::npos) unitColumn = column;
    EXPECT_EQ(column, unitColumn) << line;
  }
  EXPECT_NE(unitColumn, std::string::npos);
}

TEST(MonitorConsole, CdromSpeedsSentShowPerDrive) {
  testsupport::SimProgram p("ZT50E");
  std::ostringstream json;
  std::ostringstream text;
  MonitorConsole jsonConsole(p.Prog(), json, {.json = true});
  MonitorConsole textConsole(p.Prog(), text);
  ASSERT_EQ(p.Start(), std::nullopt);
  EXPECT_EQ(Reader(jsonConsole.JsonRecord()).Document()["cdrom"].size(), 0u) << "nothing sent yet";

  p.Machine().Aspi().AddCdromDrive(0, 1);
  p.Machine().Aspi().SetBehaviour(0, 1, sim::DriveBehaviour::kCheckCondition);
  monitor::SetCdromSpeed(p.Prog(), 52);
  const Json record = Reader(jsonConsole.JsonRecord()).Document();
  ASSERT_EQ(record["cdrom"].size(), 2u);
  EXPECT_EQ(record["cdrom"][0]["adapter"].number(), 0);
  EXPECT_EQ(record["cdrom"][0]["target"].number(), 0);
  EXPECT_EQ(record["cdrom"][0]["speed"].number(), 52);
  EXPECT_EQ(record["cdrom"][0]["kbps"].number(), 13364);
  EXPECT_EQ(record["cdrom"][0]["result"].str(), "ok");
  EXPECT_EQ(record["cdrom"][1]["result"].str(), "failed");
  const std::string lines = textConsole.TextRecord();
  EXPECT_NE(lines.find("\n  CD-ROM 0:0          speed 52 (13364 kB/s)  ok"), std::string::npos) << lines;
  EXPECT_NE(lines.find("CD-ROM 0:1          speed 52 (13364 kB/s)  failed"), std::string::npos) << lines;
}

TEST(MonitorConsole, BothRecordsTellTheFanControlInForce) {
  testsupport::SimProgram p("ZQ76");  // a board with fan control
  platform::HKey key = 0;
  p.Registry().RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Halvane\\FANControl",
                             &key);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  const std::uint8_t fixed[4] = {1, 0, 0, 0};
  const std::uint8_t percent[4] = {35, 0, 0, 0};
  p.Registry().RegSetValueExA(key, "EnableFanControl", platform::REG_DWORD, one, 4);
  p.Registry().RegSetValueExA(key, "FanControlMethod", platform::REG_DWORD, fixed, 4);
  p.Registry().RegSetValueExA(key, "FixCPUFanSpeed", platform::REG_DWORD, percent, 4);
  p.Registry().RegCloseKey(key);
  std::ostringstream json;
  std::ostringstream text;
  MonitorConsole jsonConsole(p.Prog(), json, {.json = true});
  MonitorConsole textConsole(p.Prog(), text);
  ASSERT_EQ(p.Start(), std::nullopt);
  p.Prog().frmdoctor().AfterTick = [&] {
    jsonConsole.OnTick();
    textConsole.OnTick();
  };
  p.AdvanceMs(1000);

  std::istringstream lines(json.str());
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  const Json record = Reader(line).Document();
  EXPECT_TRUE(record["fancontrol"]["enabled"].boolean());
  EXPECT_EQ(record["fancontrol"]["method"].number(), 1);
  EXPECT_EQ(record["fancontrol"]["cpuPercent"].number(), 35);
  EXPECT_EQ(record["fancontrol"]["systemPercent"].number(), 100);
  EXPECT_NE(text.str().find("Fixed Fan Control"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("CPU fan 35 %, system fan 100 %"), std::string::npos) << text.str();

  // A board without fan control has no such line; its JSON says control is off.
  testsupport::SimProgram plain("ZT50E");
  std::ostringstream plainText;
  MonitorConsole plainConsole(plain.Prog(), plainText);
  ASSERT_EQ(plain.Start(), std::nullopt);
  EXPECT_EQ(plainConsole.TextRecord().find("Hushwind"), std::string::npos);
  EXPECT_NE(plainConsole.JsonRecord().find("\"fancontrol\":{\"enabled\":false,\"method\":999,"), std::string::npos);
}

}  // namespace
}  // namespace veltrix::console
