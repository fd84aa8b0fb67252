// Warning dispatch and the sensor alarm dialogs, on whole programs on the simulator.
#include <gtest/gtest.h>

#include <algorithm>

#include "monitor/alarms/alarm_windows.h"
#include "tests/monitor/alarms/alarm_test_support.h"

namespace veltrix::testsupport {
namespace {

using monitor::kFirstFanItem;

constexpr int kPlus12 = 4;

class WarningDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(p.Start());
    Ticks(p, 2);
    ASSERT_FALSE(Showing(p, "frmVp12")) << "a healthy board raises no alarm";
    rail = *p.Machine().FindRail("+12V");
  }
  void Sag() { p.Machine().SetRail(rail, 9.0); }
  void Recover() { p.Machine().RestoreRail(rail); }

  SimProgram p{PlainWinbondBoard()};
  int rail = 0;
};

TEST_F(WarningDispatch, FirstSampleShowsDialogOnceAndInRangeSampleClosesIt) {
  Sag();
  Ticks(p, 1);
  ASSERT_TRUE(Showing(p, "frmVp12"));
  EXPECT_EQ(Main(p).WarnCount[kPlus12], 0);
  EXPECT_EQ(Dialog(p, "frmVp12")->Message.Name(), "Label2");

  // Still out of range: the open dialog is neither re-loaded nor re-shown.
  Dialog(p, "frmVp12")->Message.Caption = "marker";
  Ticks(p, 2);
  EXPECT_EQ(Dialog(p, "frmVp12")->Message.Caption.Get(), "marker");

  Recover();
  Ticks(p, 1);
  EXPECT_FALSE(Dialog(p, "frmVp12")->IsLoaded());
  EXPECT_EQ(Main(p).WarnCount[kPlus12], 0);
}

TEST_F(WarningDispatch, WithoutFirstSampleRuleOnlyThreeSamplesInARowShowIt) {
  Main(p).WErr1[kPlus12] = 0;
  Sag();
  Ticks(p, 2);
  EXPECT_EQ(Main(p).WarnCount[kPlus12], 2);
  Recover();
  Ticks(p, 1);
  EXPECT_EQ(Main(p).WarnCount[kPlus12], 0);
  EXPECT_EQ(Dialog(p, "frmVp12"), nullptr) << "a short dip never creates the dialog";

  Sag();
  Ticks(p, 2);
  EXPECT_FALSE(Showing(p, "frmVp12"));
  Ticks(p, 1);
  EXPECT_TRUE(Showing(p, "frmVp12"));
  EXPECT_EQ(Main(p).WarnCount[kPlus12], 0) << "the count starts again after the show";
}

TEST_F(WarningDispatch, DisabledItemRaisesNothingAndFanAlarmsAreNotSwallowedHere) {
  Main(p).WEnable[kPlus12] = 0;
  p.Run([&] { Main(p).ShowWarning(kPlus12); });
  EXPECT_EQ(Main(p).WarnCount[kPlus12], 0);
  EXPECT_EQ(Dialog(p, "frmVp12"), nullptr);

  // Fan control's quiet fans are the fan channel's business: a fan alarm that reaches the
  // dispatcher is shown whatever fan control is doing.
  Main(p).FanControlEnabled = true;
  Main(p).FanDialogOpen = true;
  p.Run([&] { Main(p).ShowWarning(kFirstFanItem); });
  EXPECT_TRUE(Showing(p, "frmFan1"));
}

TEST_F(WarningDispatch, CpuFanThatStopsRaisesFrmFan1) {
  p.Machine().SetFanFault(*p.Machine().FindFan("CPU"), sim::FanFault::kStalled);
  Ticks(p, 3);
  EXPECT_TRUE(Showing(p, "frmFan1"));
  EXPECT_EQ(Dialog(p, "frmFan1")->Message.Caption.Get(), "Your CPU FAN Speed exceed the limits!!");
}

TEST_F(WarningDispatch, IgnoreClosesAndTheStillFailingItemComesBackOnTheNextSample) {
  Sag();
  Ticks(p, 1);
  ASSERT_TRUE(Showing(p, "frmVp12"));
  Main(p).WarnCount[kPlus12] = 2;
  Dialog(p, "frmVp12")->Command[monitor::kIgnoreButton].UserClick();
  EXPECT_FALSE(Dialog(p, "frmVp12")->IsLoaded());
  EXPECT_EQ(Main(p).WarnCount[kPlus12], 0);
  Ticks(p, 1);
  EXPECT_TRUE(Showing(p, "frmVp12"));
}

TEST_F(WarningDispatch, DisableStopsMonitoringTheItemWithoutTouchingTheRegistry) {
  Sag();
  Ticks(p, 1);
  ASSERT_TRUE(Showing(p, "frmVp12"));
  ASSERT_NE(p.Machine().Chip().GetRegister(0, 0x57) & 0x01, 0) << "the +12V beep was on";
  const std::string registryBefore = p.Registry().Dump();

  // The Enable box's own click handling unloads this dialog while its handler still runs.
  Dialog(p, "frmVp12")->Command[monitor::kDisableButton].UserClick();

  auto& m = Main(p);
  EXPECT_FALSE(Dialog(p, "frmVp12")->IsLoaded());
  EXPECT_EQ(m.WEnable[kPlus12], 0);
  EXPECT_EQ(m.SavedWEnable[kPlus12], 0);
  EXPECT_EQ(m.chkEnable[kPlus12].Value.Get(), 0);
  EXPECT_FALSE(m.ChkBeep[kPlus12].Visible.Get());
  EXPECT_FALSE(m.lblItemName[kPlus12].Enabled.Get()) << "the row is greyed";
  EXPECT_FALSE(m.lblStatusV[kPlus12].Visible.Get());
  EXPECT_EQ(p.Machine().Chip().GetRegister(0, 0x57) & 0x01, 0) << "the +12V beep bit is cleared";
  EXPECT_EQ(p.Registry().Dump(), registryBefore);

  Ticks(p, 3);
  EXPECT_FALSE(Showing(p, "frmVp12"));
  EXPECT_EQ(p.Registry().Dump(), registryBefore);
}

TEST_F(WarningDispatch, ShutDownButtonAnsweredNoLeavesTheDialogAndTheCount) {
  Sag();
  Ticks(p, 1);
  p.Answers().Queue(platform::Answer::kNo);
  Main(p).WarnCount[kPlus12] = 1;
  Dialog(p, "frmVp12")->Command[monitor::kShutDownButton].UserClick();
  ASSERT_EQ(p.Boxes().size(), 1u);
  EXPECT_EQ(p.Boxes()[0].text, "Do you want to shut down your System?");
  EXPECT_TRUE(Showing(p, "frmVp12"));
  EXPECT_EQ(Main(p).WarnCount[kPlus12], 1);
  EXPECT_FALSE(p.Ended());
  EXPECT_TRUE(p.System().ExitRequests().empty());
}

TEST_F(WarningDispatch, ShutdownOptionTakesTheSystemDownWhenTheFirstDialogLoads) {
  Main(p).Check2.Value = 1;
  Sag();
  Ticks(p, 1);
  ASSERT_EQ(p.Ended(), std::optional<int>(0));
  ASSERT_EQ(p.System().ExitRequests().size(), 1u);
  EXPECT_EQ(p.System().ExitRequests()[0].flags, platform::EWX_SHUTDOWN);
  EXPECT_TRUE(p.System().SessionEnded());
  EXPECT_TRUE(p.Boxes().empty()) << "nothing is asked";
}

TEST(AlarmDialogs, FormNamesFollowTheItemsAndCloseAllUnloadsThemAll) {
  SimProgram p(PlainWinbondBoard());
  ASSERT_FALSE(p.Start());
  const char* names[] = {"frmVcoreA", "frmV25",   "frmV33",   "frmVp5",     "frmVp12", "frmVn12",
                         "frmVn5",    "frmVsb",   "frmVbat",  "frmFan1",    "frmFan2", "frmFan3",
                         "frmTemp1",  "frmTemp2", "frmTemp3", "frmCaseOpen"};
  for (int i = 0; i < 16; ++i) {
    Main(p).WEnable[i] = 1;
    p.Run([&] { Main(p).ShowWarning(static_cast<std::int16_t>(i)); });
    EXPECT_TRUE(Showing(p, names[i])) << names[i];
    EXPECT_EQ(Dialog(p, names[i])->Item(), i);
  }
  EXPECT_EQ(Dialog(p, "frmV25")->Caption.Get(), "Warning");
  for (int i = 0; i < 16; ++i) p.Run([&] { Main(p).CloseWarning(static_cast<std::int16_t>(i)); });
  for (const char* name : names) EXPECT_FALSE(Dialog(p, name)->IsLoaded()) << name;
}

struct TextCase {
  std::uint32_t lcid;
  int item;
  std::string formName;
  std::string caption;
  std::string heading;
  std::string message;
  std::string disable;
};

TEST(AlarmDialogs, LoadTextsComeFromTheLanguageAndMissingOnesKeepTheBuiltInText) {
  const TextCase cases[] = {
      {1033, 0, "frmVcoreA", "Warning", "Warning", "Your Vcore voltage exceed the limits!!", "Exit"},
      {1033, 14, "frmTemp3", "Warning", "Warning", "Your CPU Kernal temperature exceed the limits!!", "Exit"},
      {2052, 14, "frmTemp3", "", "", "Your CPU Kernal temp exceed the limits.", ""},
  };
  for (const TextCase& c : cases) {
    SimProgramOptions options;
    options.lcid = c.lcid;
    SimProgram p(PlainWinbondBoard(), options);
    ASSERT_FALSE(p.Start());
    Main(p).WEnable[c.item] = 1;
    p.Run([&] { Main(p).ShowWarning(static_cast<std::int16_t>(c.item)); });
    monitor::AlarmDialog* d = Dialog(p, c.formName);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Message.Caption.Get(), c.message) << c.lcid;
    if (!c.caption.empty()) {
      EXPECT_EQ(d->Caption.Get(), c.caption);
      EXPECT_EQ(d->Label1.Caption.Get(), c.heading);
      EXPECT_EQ(d->Command[1].Caption.Get(), c.disable);
      EXPECT_EQ(d->Tip[1].Caption.Get(), "No more monitor this item");
    }
  }
}

TEST(AlarmDialogs, MessagesFollowTheBoardWiringAndModelLists) {
  namespace b = monitor::boards;
  struct Case {
    std::string model;
    int item;
    std::string message;
  };
  const auto inList = [](b::NameList list) {
    return [list](const b::CatalogBoard& board) {
      return std::find(list.begin(), list.end(), board.model) != list.end();
    };
  };
  const Case cases[] = {
      {FindBoard([](const b::CatalogBoard& x) { return x.chipFamily == 2 && x.boardVariant == 4; }), 6,
       "Your +12V voltage exceed the limits!!"},
      {FindBoard([](const b::CatalogBoard& x) { return x.chipFamily == 2 && x.boardVariant == 2; }), 6,
       "Your 3.3Vsb voltage exceed the limits!!"},
      {FindBoard(inList(b::FanLabelListB())), 11, "Your Fan 3 Speed exceed the limits."},
      {FindBoard(inList(b::FanLabelListC())), 11, "Your Fan 2 Speed exceed the limits!!"},
      {FindBoard(inList(b::FanLabelListA())), 10, "Your Fan 1 Speed exceed the limits!!"},
      {FindBoard(inList(b::Zt50AlarmList())), 12, "Your CPU temperature exceed the limits!!"},
      {PlainWinbondBoard(), 12, "Your system temperature exceed the limits!!"},
  };
  for (const Case& c : cases) {
    SimProgram p(c.model);
    ASSERT_FALSE(p.Start()) << c.model;
    Main(p).WEnable[c.item] = 1;
    p.Run([&] { Main(p).ShowWarning(static_cast<std::int16_t>(c.item)); });
    monitor::AlarmDialog& d = monitor::WarningDialog(p.Prog(), c.item);
    EXPECT_EQ(d.Message.Caption.Get(), c.message) << c.model << " item " << c.item;
  }
}

}  // namespace
}  // namespace veltrix::testsupport
