// The chip's beep enables: ApplyBeepSettings on both chip families, the Disable masks, and the
// monitoring tick's re-arm of the Winbond global enable.
#include <gtest/gtest.h>

#include <algorithm>

#include "monitor/alarms/beep_settings.h"
#include "tests/monitor/alarms/alarm_test_support.h"

namespace veltrix::testsupport {
namespace {

void SetFlags(monitor::frmdoctor& m, std::uint8_t enable, std::uint8_t beep) {
  m.WEnable.fill(enable);
  m.WBeep.fill(beep);
}

TEST(BeepSettings, WinbondRegistersFollowTheItemFlags) {
  SimProgram p(PlainWinbondBoard());
  ASSERT_FALSE(p.Start());
  auto& m = Main(p);
  auto& chip = p.Machine().Chip();

  chip.SetRegister(4, 0x53, 0xF3);
  SetFlags(m, 1, 1);
  p.Run([&] { m.ApplyBeepSettings(); });
  EXPECT_EQ(chip.GetRegister(0, 0x56), 0xFD) << "every item but +2.5V";
  EXPECT_EQ(chip.GetRegister(0, 0x57), 0x3F) << "bit 7 stays for the tick to set";
  EXPECT_EQ(chip.GetRegister(4, 0x53), 0xF3);

  // A beep counts only while the item is monitored too.
  SetFlags(m, 0, 1);
  p.Run([&] { m.ApplyBeepSettings(); });
  EXPECT_EQ(chip.GetRegister(0, 0x56), 0x00);
  EXPECT_EQ(chip.GetRegister(0, 0x57), 0x00);
  EXPECT_EQ(chip.GetRegister(4, 0x53), 0xF0) << "bits 2..7 of bank-4 0x53 are kept";

  SetFlags(m, 1, 0);
  m.WBeep[7] = 1;
  m.WBeep[13] = 1;
  m.WBeep[15] = 1;
  p.Run([&] { m.ApplyBeepSettings(); });
  EXPECT_EQ(chip.GetRegister(0, 0x56), 0x20);
  EXPECT_EQ(chip.GetRegister(0, 0x57), 0x10);
  EXPECT_EQ(chip.GetRegister(4, 0x53), 0xF1);

  Ticks(p, 1);
  EXPECT_EQ(chip.GetRegister(0, 0x57) & 0x80, 0x80) << "the tick re-arms the global enable";
}

TEST(BeepSettings, TemperatureSwapBoardsExchangeTheBitsOfItems13And14) {
  const auto swapList = monitor::boards::TempSwapList();
  SimProgram p(FindBoard([&](const monitor::boards::CatalogBoard& b) {
    return std::find(swapList.begin(), swapList.end(), b.model) != swapList.end();
  }));
  ASSERT_FALSE(p.Start());
  auto& m = Main(p);
  SetFlags(m, 1, 0);
  m.WBeep[13] = 1;
  p.Run([&] { m.ApplyBeepSettings(); });
  EXPECT_EQ(p.Machine().Chip().GetRegister(0, 0x56), 0x00);
  EXPECT_EQ(p.Machine().Chip().GetRegister(0, 0x57), 0x20);
}

TEST(BeepSettings, IteRegisterHasOneBitPerKindAndKeepsItsOtherBits) {
  SimProgram p(PlainIteBoard());
  ASSERT_FALSE(p.Start());
  auto& m = Main(p);
  auto& chip = p.Machine().Chip();
  chip.SetRegister(0, 0x5C, 0xD7);

  struct Case {
    int item;
    std::uint8_t bits;
  };
  for (const Case& c :
       {Case{-1, 0x00}, Case{1, 0x00}, Case{4, 0x02}, Case{10, 0x01}, Case{13, 0x04}, Case{15, 0x00}}) {
    SetFlags(m, 1, 0);
    if (c.item >= 0) m.WBeep[c.item] = 1;
    p.Run([&] { m.ApplyBeepSettings(); });
    EXPECT_EQ(chip.GetRegister(0, 0x5C), 0xD0 | c.bits) << "item " << c.item;
  }
  chip.SetRegister(0, 0x57, 0x00);
  Ticks(p, 1);
  EXPECT_EQ(chip.GetRegister(0, 0x57), 0x00) << "no Winbond re-arm on an ITE chip";
}

TEST(BeepSettings, DisableClearsExactlyTheItemsOwnBitOnWinbond) {
  struct Case {
    int item;
    int bank;
    std::uint8_t reg;
    std::uint8_t mask;
  };
  const Case cases[] = {{0, 0, 0x56, 0xFE},  {2, 0, 0x56, 0xFB},  {3, 0, 0x56, 0xF7},  {4, 0, 0x57, 0xFE},
                        {5, 0, 0x57, 0xFD},  {6, 0, 0x57, 0xFB},  {7, 4, 0x53, 0xFE},  {8, 4, 0x53, 0xFD},
                        {9, 0, 0x56, 0xBF},  {10, 0, 0x56, 0x7F}, {11, 0, 0x57, 0xF7}, {12, 0, 0x56, 0xEF},
                        {13, 0, 0x56, 0xDF}, {14, 0, 0x57, 0xDF}};
  SimProgram p(PlainWinbondBoard());
  ASSERT_FALSE(p.Start());
  auto& chip = p.Machine().Chip();
  for (const Case& c : cases) {
    chip.SetRegister(0, 0x56, 0xFF);
    chip.SetRegister(0, 0x57, 0xBF);  // bit 6 is reserved and reads 0
    chip.SetRegister(4, 0x53, 0xFF);
    // Reserved bits read 0 whatever was written: compare with what the chip held before.
    const std::uint8_t before56 = chip.GetRegister(0, 0x56);
    const std::uint8_t before57 = chip.GetRegister(0, 0x57);
    const std::uint8_t before53 = chip.GetRegister(4, 0x53);
    p.Run([&] { monitor::ClearItemBeepBit(p.Prog(), c.item); });
    const auto expected = [&](int bank, std::uint8_t reg) {
      const std::uint8_t before = reg == 0x56 ? before56 : reg == 0x57 ? before57 : before53;
      return bank == c.bank && reg == c.reg ? static_cast<std::uint8_t>(before & c.mask) : before;
    };
    EXPECT_EQ(chip.GetRegister(0, 0x56), expected(0, 0x56)) << "item " << c.item;
    EXPECT_EQ(chip.GetRegister(0, 0x57), expected(0, 0x57)) << "item " << c.item;
    EXPECT_EQ(chip.GetRegister(4, 0x53), expected(4, 0x53)) << "item " << c.item;
  }
  chip.SetRegister(0, 0x56, 0xFF);
  p.Run([&] { monitor::ClearItemBeepBit(p.Prog(), 1); });
  EXPECT_EQ(chip.GetRegister(0, 0x56), 0xFF) << "+2.5V has no beep bit";
}

TEST(BeepSettings, DisableOnIteLeavesTheTemperatureOffsetRegistersAlone) {
  SimProgram p(PlainIteBoard());
  ASSERT_FALSE(p.Start());
  auto& chip = p.Machine().Chip();
  chip.SetRegister(0, 0x56, 0x05);
  chip.SetRegister(0, 0x57, 0x07);
  Main(p).WEnable.fill(1);
  Main(p).WBeep.fill(0);
  Main(p).WBeep[4] = 1;
  Main(p).WEnable[4] = 0;  // what Disable has done by the time the bit is cleared
  p.Run([&] { monitor::ClearItemBeepBit(p.Prog(), 4); });
  EXPECT_EQ(chip.GetRegister(0, 0x56), 0x05);
  EXPECT_EQ(chip.GetRegister(0, 0x57), 0x07);
  EXPECT_EQ(chip.GetRegister(0, 0x5C) & 0x07, 0x00);
}

}  // namespace
}  // namespace veltrix::testsupport
