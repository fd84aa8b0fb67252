// The monitoring tick, the housekeeping tick and the row routines.
#include <gtest/gtest.h>

#include "monitor/startup/frm_init.h"
#include "tests/monitor/channels/channel_support.h"
#include "tests/support/port_trace.h"

namespace veltrix::monitor {
namespace {

using channeltest::Main;
using channeltest::Started;

constexpr const char* kWinbondBoard = "ZT50E";  // W83627HF
constexpr const char* kIteBoard = "ZR61";       // IT8712F, updated DDR wiring

TEST(Cycle, FirstTickClosesTheSplashAndEveryTickCounts) {
  testsupport::SimProgram p(kWinbondBoard);
  ASSERT_EQ(p.Start(), std::nullopt);
  auto& w = Main(p);
  EXPECT_TRUE(p.Prog().frmInit().IsLoaded());
  EXPECT_TRUE(w.Timer1.Enabled);
  EXPECT_EQ(w.LimitsReady, -1);
  int ticks = 0;
  w.AfterTick = [&] { ++ticks; };
  p.AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(p.Prog().frmInit().IsLoaded());
  p.AdvanceMs(3 * w.Timer1.Interval);
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(p.Prog().MonitoringTicks(), 4u);
}

// The Winbond tick ends with the beep re-arm: bank 0, both interrupt-status registers read,
// 0x57 read and written back with bit 7 set. ITE boards have no such step.
TEST(Cycle, WinbondTickEndsWithTheBeepRearm) {
  testsupport::SimProgram p(kWinbondBoard);
  ASSERT_EQ(p.Start(), std::nullopt);
  auto& w = Main(p);
  p.AdvanceMs(w.Timer1.Interval);
  std::vector<std::string> last;
  w.AfterTick = [&] { last = testsupport::PortLines(p.Ports()); };
  p.Ports().Reset();
  p.AdvanceMs(w.Timer1.Interval);
  ASSERT_GE(last.size(), 12u);
  const std::vector<std::string> tail(last.end() - 8, last.end());
  EXPECT_EQ(tail[0], "out 295 41");
  EXPECT_EQ(tail[2], "out 295 42");
  EXPECT_EQ(tail[4], "out 295 57");
  EXPECT_EQ(tail[6], "out 295 57");
  EXPECT_EQ(p.Machine().Chip().GetRegister(0, 0x57) & 0x80, 0x80);

  testsupport::SimProgram ite(kIteBoard);
  ASSERT_EQ(ite.Start(), std::nullopt);
  ite.AdvanceMs(Main(ite).Timer1.Interval);
  ite.Ports().Reset();
  ite.AdvanceMs(Main(ite).Timer1.Interval);
  for (const std::string& line : testsupport::PortLines(ite.Ports())) {
    EXPECT_NE(line, "out 295 41") << "no interrupt-status read on ITE";
  }
}

TEST(Cycle, DisabledItemsAreNeitherReadNorShownAndTheTickStillRuns) {
  auto p = Started(kWinbondBoard);
  auto& w = Main(*p);
  const std::string before = w.lblStatusV[0].Caption;
  w.WEnable.fill(0);
  p->Machine().InjectGarbage(0, 0x20, 0xF0);  // Vcore far out of range
  p->Ports().Reset();
  const auto ticks = p->Prog().MonitoringTicks();
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(p->Prog().MonitoringTicks(), ticks + 1);
  EXPECT_EQ(w.lblStatusV[0].Caption.Get(), before) << "a disabled item keeps its last caption";
  for (int i = 0; i < kVoltageCount; ++i) {
    EXPECT_FALSE(w.lblItemName[i].Enabled);
    EXPECT_FALSE(w.SldVoltage[i].Visible);
    EXPECT_EQ(w.chkEnable[i].Value, 0);
  }
  EXPECT_FALSE(w.lblCaseOpen.Visible);
  EXPECT_TRUE(w.lblTempItem[0].Visible) << "a disabled temperature keeps its greyed name";
  EXPECT_FALSE(w.lblTempItem[0].Enabled);
  for (const std::string& line : testsupport::PortLines(p->Ports())) {
    EXPECT_NE(line, "out 295 20") << "Vcore was read although disabled";
  }

  // Enabling it again updates it on the next tick.
  w.WEnable[0] = 1;
  p->AdvanceMs(w.Timer1.Interval);
  EXPECT_EQ(w.lblStatusV[0].Caption.Get(), "3.84");
  EXPECT_EQ(w.lblStatusV[0].BackColor, forms::kColorRed);
  EXPECT_TRUE(w.SldVoltage[0].Visible);
}

TEST(Cycle, AbsentItemsStayHiddenAndTheirBoxesDisabled) {
  auto p = Started(kWinbondBoard);
  auto& w = Main(*p);
  ASSERT_EQ(w.ItemPresent[1], 0) << "Winbond boards have no +2.5V input";
  EXPECT_FALSE(w.SldVoltage[1].Visible);
  EXPECT_FALSE(w.lblStatusV[1].Visible);
  EXPECT_FALSE(w.chkEnable[1].Enabled);
  EXPECT_EQ(w.chkEnable[1].Value, 0);
  EXPECT_EQ(w.WEnable[1], 0);

  w.DisplayMonitorItems();
  EXPECT_FALSE(w.chkEnable[1].Visible);
  EXPECT_FALSE(w.ChkBeep[1].Visible);
  EXPECT_TRUE(w.chkEnable[0].Visible);
  EXPECT_TRUE(w.ChkBeep[0].Visible);
  EXPECT_EQ(w.SavedWEnable, w.WEnable);
  EXPECT_EQ(w.SavedWBeep, w.WBeep);

  // A present, enabled item that cannot beep hides its beep box.
  w.ItemBeepCapable[3] = 0;
  w.DisplayMonitorItems();
  EXPECT_FALSE(w.ChkBeep[3].Visible);
  EXPECT_TRUE(w.chkEnable[3].Visible);
}

TEST(Cycle, ShowBoardItemsWithAFanMethodDisablesTheFanBeepBoxes) {
  auto p = Started(kWinbondBoard);
  auto& w = Main(*p);
  w.FanControlMethod = kFanMethodFixed;
  w.ShowBoardItems();
  for (int i = 9; i <= 11; ++i) {
    if (w.ItemPresent[i] == 1) {
      EXPECT_FALSE(w.ChkBeep[i].Enabled) << i;
    }
  }
  EXPECT_TRUE(w.ChkBeep[0].Enabled);
}

TEST(Cycle, HousekeepingEnablesTheButtonsByPage) {
  auto p = Started(kWinbondBoard);
  auto& w = Main(*p);
  for (int tab : {0, 4, 5}) {
    w.SSTabMain.Tab = tab;
    p->AdvanceMs(500);
    EXPECT_FALSE(w.cmdSave.Enabled) << tab;
    EXPECT_FALSE(w.cmdDefault.Enabled) << tab;
  }
  w.SSTabMain.Tab = 1;
  p->AdvanceMs(500);
  EXPECT_TRUE(w.cmdSave.Enabled);
  EXPECT_TRUE(w.cmdDefault.Enabled);
}

TEST(Cycle, ChassisRowFollowsItsEnableFlag) {
  auto p = Started(kWinbondBoard);
  auto& w = Main(*p);
  if (w.ItemPresent[kChassisItem] != 1) GTEST_SKIP();
  w.WEnable[kChassisItem] = 0;
  w.optCaseOpened.Visible = true;
  w.HideDisabledChassisRow();
  EXPECT_FALSE(w.optCaseOpened.Visible);
  EXPECT_FALSE(w.lblCaseOpen.Visible);
}

}  // namespace
}  // namespace veltrix::monitor
