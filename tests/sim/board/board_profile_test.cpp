#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "sim/board/board_profile.h"
#include "sim/board_info/sim_board_info.h"

namespace veltrix::sim {
namespace {

// Self-check of every profile (examples and catalog): failures name the board and the input.
TEST(BoardProfileTable, EveryProfileIsPhysicallySound) {
  std::set<std::string_view> keys;
  for (const BoardProfile& p : AllProfiles()) {
    SCOPED_TRACE(std::string(p.model));
    EXPECT_TRUE(keys.insert(p.model).second) << "duplicate model " << p.model;
    EXPECT_TRUE(p.configPort == 0x2E || p.configPort == 0x4E || p.configPort == 0);
    if (p.chipset == ChipsetScheme::kIntel || p.chipset == ChipsetScheme::kVia) {
      EXPECT_TRUE(p.pmBase == kNoPmBase || (p.pmBase > 0 && p.pmBase <= 0xFF80)) << "pmBase " << p.pmBase;
    }
    for (int i = 0; i < kVoltageInputs; ++i) {
      const RailWiring& w = p.rails[i];
      if (!w.Wired()) continue;
      double pin = w.PinVolts(w.nominalVolts);
      EXPECT_GT(pin, 0.2) << "in" << i << " " << w.name;
      EXPECT_LT(pin, 4.08) << "in" << i << " " << w.name;
      EXPECT_NEAR(w.RailVolts(pin), w.nominalVolts, 1e-9) << "in" << i;
    }
    for (int f = 0; f < kFanInputs; ++f) {
      const FanWiring& fan = p.fans[f];
      EXPECT_GE(fan.output, -1) << "fan" << f + 1;
      EXPECT_LT(fan.output, kFanInputs) << "fan" << f + 1;
      if (fan.Wired()) {
        EXPECT_LT(fan.fullRpm, 20000.0) << "fan" << f + 1;
      }
    }
    for (int t = 0; t < kTempInputs; ++t) {
      const TempWiring& temp = p.temps[t];
      EXPECT_GE(temp.coolingFan, -1) << "temp" << t + 1;
      EXPECT_LT(temp.coolingFan, kFanInputs) << "temp" << t + 1;
      if (temp.Wired()) {
        EXPECT_GT(temp.timeConstantS, 0.0) << "temp" << t + 1;
      }
    }
  }
}

TEST(BoardProfileTable, ExamplesCoverEveryChipAndTheSpecialBoards) {
  std::set<ChipModel> chips;
  for (const BoardProfile& p : ExampleProfiles())
    if (p.known) chips.insert(p.chip);
  EXPECT_EQ(chips.size(), 5u);
  for (const char* key :
       {"XB100", "ZQ99-UNLISTED", "ZQ6A-NOPMBASE", "ZQ6A-NOPROBE", "LONG-NAME-30", "EMPTY-NAME"})
    EXPECT_NE(FindProfile(key), nullptr) << key;
  EXPECT_EQ(FindProfile("LONG-NAME-30")->ReportedModel().size(), 30u);
  EXPECT_TRUE(FindProfile("EMPTY-NAME")->ReportedModel().empty());
}

TEST(BoardProfileTable, LookupIsExactFirstThenIgnoresCase) {
  const BoardProfile* p = FindProfile("ZQ6A-PRO");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(FindProfile("zq6a-pro"), p);
  EXPECT_EQ(FindProfile("ZQ6A-PR"), nullptr);
  EXPECT_EQ(&DefaultProfile(), p);
}

// --- board-information library -------------------------------------------------------------------

struct Buffer {
  explicit Buffer(int size) : bytes(static_cast<std::size_t>(size) + 8, '#') {
    std::memset(bytes.data(), ' ', static_cast<std::size_t>(size));
  }
  std::string bytes;  // the buffer plus a guard of '#' beyond it
  char* data() { return bytes.data(); }
};

TEST(SimBoardInfo, WritesNulTerminatedTextIntoBlankBuffers) {
  SimBoardInfo info(*FindProfile("ZQ6A-PRO"));
  Buffer model(30), version(30), date(30);
  info.GetKorvanaBIOSInformation(model.data(), version.data(), date.data());
  EXPECT_STREQ(model.data(), "ZQ6A-PRO");
  EXPECT_EQ(model.bytes.substr(9, 21), std::string(21, ' '));  // rest of the buffer untouched
  EXPECT_EQ(model.bytes.substr(30), std::string(8, '#'));
  EXPECT_STREQ(version.data(), "ZQ6A-PRO 1.07");
  EXPECT_STREQ(date.data(), "03/21/2003");

  Buffer cpu(64), user(20), os(32), osVersion(32);
  info.GetCpuType(cpu.data());
  info.GetLoginUser(user.data());
  info.PlatformInformation(os.data(), osVersion.data());
  EXPECT_STREQ(cpu.data(), "Simulated Pentium 4 2.80GHz");
  EXPECT_STREQ(user.data(), "operator");
  EXPECT_EQ(cpu.bytes.substr(64), std::string(8, '#'));
  EXPECT_EQ(os.bytes.substr(32), std::string(8, '#'));

  std::int32_t arg = 0;
  EXPECT_EQ(info.GetSystemPhysicalMemory(&arg), 536870912);
  arg = 1;
  EXPECT_EQ(info.GetPciBaseAddress(&arg), 0x0400);
}

TEST(SimBoardInfo, EdgeBoards) {
  Buffer model(30), version(30), date(30);
  SimBoardInfo(*FindProfile("LONG-NAME-30"))
      .GetKorvanaBIOSInformation(model.data(), version.data(), date.data());
  EXPECT_EQ(model.bytes.substr(0, 30), "ZQ6A-PRO-WITH-A-VERY-LONG-NAME");  // no room for a NUL
  EXPECT_EQ(model.bytes.substr(30), std::string(8, '#'));                  // and nothing past it

  Buffer empty(30), v2(30), d2(30);
  SimBoardInfo(*FindProfile("EMPTY-NAME")).GetKorvanaBIOSInformation(empty.data(), v2.data(), d2.data());
  EXPECT_EQ(empty.bytes[0], '\0');

  std::int32_t arg = 1;
  EXPECT_EQ(SimBoardInfo(*FindProfile("ZQ6A-NOPMBASE")).GetPciBaseAddress(&arg), -1);
}

}  // namespace
}  // namespace veltrix::sim
