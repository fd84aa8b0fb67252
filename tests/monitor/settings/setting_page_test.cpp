// The handlers of the settings and monitoring pages, the tab strip and "Load Default".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/alarms/alarm_dialog.h"
#include "monitor/alarms/data_log.h"
#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/program.h"
#include "monitor/startup/frm_init.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/files/files.h"
#include "tests/monitor/settings/settings_helpers.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using namespace monitor::testing;
using testsupport::SimProgram;

constexpr const char* kBoard = "ZQ52";  // Winbond; item 1 (+2.5V) absent
constexpr const char* kFanKey = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\FANControl";

class SettingPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(p.Start());
    f().Show();
  }
  frmdoctor& f() { return p.Prog().frmdoctor(); }
  SimProgram p{kBoard};
};

TEST_F(SettingPage, PeriodBoxAndSliderDriveTheMonitoringPeriod) {
  f().SSTabMain.UserSelectTab(7);
  f().Check3.UserClick();
  ASSERT_FALSE(p.AdvanceMs(500));
  EXPECT_TRUE(f().SldInterval.Enabled);
  EXPECT_EQ(f().Timer1.Interval, 600);  // ticking the box alone changes nothing

  f().SldInterval.UserSetValue(3);
  EXPECT_EQ(f().Timer1.Interval, 3000);
  f().SldInterval.UserSetValue(9);
  EXPECT_EQ(f().Timer1.Interval, 30000);

  f().Check3.UserClick();
  EXPECT_EQ(f().Timer1.Interval, 500);
  ASSERT_FALSE(p.AdvanceMs(500));
  EXPECT_FALSE(f().SldInterval.Enabled);
  EXPECT_FALSE(p.Registry().ReadValue(kSettingKey, "PollingTime"));  // nothing stored until "Save"
}

TEST_F(SettingPage, TickingTheLogBoxWritesTheLogHeading) {
  // The heading is two records: the column titles and a rule under them.
  const auto records = [&] {
    const auto log = platform::HostFiles().ReadTextFile(LogFilePath(p.Prog()), 1 << 20, nullptr);
    return log ? std::count(log->begin(), log->end(), '\n') : 0;
  };
  f().SSTabMain.UserSelectTab(7);
  f().Check5.UserClick();
  EXPECT_EQ(records(), 2);
  f().Check5.UserClick();  // unticking writes nothing
  EXPECT_EQ(records(), 2);
}

TEST_F(SettingPage, BeepAndEnableBoxesChangeTheItemFlags) {
  f().SSTabMain.UserSelectTab(6);
  const int item = 3;  // +5V
  ASSERT_TRUE(f().ChkBeep[item].Visible);
  f().ChkBeep[item].UserClick();
  EXPECT_EQ(f().WBeep[item], 0);
  f().ChkBeep[item].UserClick();
  EXPECT_EQ(f().WBeep[item], 1);

  f().WarnCount[item] = 2;
  f().chkEnable[item].UserClick();
  EXPECT_EQ(f().WEnable[item], 0);
  EXPECT_FALSE(f().ChkBeep[item].Visible);
  EXPECT_EQ(f().WarnCount[item], 0);  // its alarm was closed
  EXPECT_FALSE(f().lblStatusV[item].Visible);
  EXPECT_FALSE(f().lblItemName[item].Enabled);

  f().chkEnable[item].UserClick();
  EXPECT_EQ(f().WEnable[item], 1);
  EXPECT_TRUE(f().ChkBeep[item].Visible);
  EXPECT_TRUE(f().lblStatusV[item].Visible);

  // An item the chip cannot beep for gets no beep box back.
  f().ItemBeepCapable[item] = 0;
  f().chkEnable[item].UserClick();
  f().chkEnable[item].UserClick();
  EXPECT_FALSE(f().ChkBeep[item].Visible);
}

TEST_F(SettingPage, TabsThreeAndSixRefreshTheMonitoringPage) {
  f().WEnable[4] = 0;
  f().FanControlEnabled = true;
  f().FanControlMethod = kFanMethodFixed;
  f().SSTabMain.UserSelectTab(6);
  EXPECT_EQ(f().SavedWEnable[4], 0);
  EXPECT_EQ(f().chkEnable[4].Value, 0);
  EXPECT_FALSE(f().lblItemName[1].Visible);  // absent on this board
  EXPECT_FALSE(f().rFANMethod[1].Value) << "the fan page is left alone";

  f().WEnable[5] = 0;
  f().SSTabMain.UserSelectTab(4);
  EXPECT_EQ(f().SavedWEnable[5], 1);
  f().SSTabMain.UserSelectTab(3);
  EXPECT_EQ(f().SavedWEnable[5], 0);
  // The fan page shows the state: the switch, the method and its name.
  EXPECT_EQ(f().chkEnableFanControl.Value, 1);
  EXPECT_TRUE(f().rFANMethod[1].Value);
  EXPECT_EQ(f().txtCurrentControlMethod.Text.Get(), "Fixed Fan Control");
}

TEST_F(SettingPage, StoredDisabledItemStaysDisabledAfterStartUp) {
  SimProgram first(kBoard);
  ASSERT_FALSE(first.Start());
  first.Prog().frmdoctor().chkEnable[7].Value = 0;
  first.Prog().frmdoctor().cmdSave_Click();

  SimProgram next(kBoard);
  CopyStore(first.Registry(), next.Registry());
  ASSERT_FALSE(next.Start());
  EXPECT_EQ(next.Prog().frmdoctor().WEnable[7], 0);
  EXPECT_EQ(next.Prog().frmdoctor().chkEnable[7].Value, 0);
}

TEST_F(SettingPage, SaveStoresTheSettingsFanControlAndCdromSpeed) {
  auto cdromEnabled = [&] {
    const auto v = p.Registry().ReadValue(kCdromControlKey, "EnableControl");
    return v && v->data == Dword(1) ? "cdrom saved" : "cdrom not saved";
  };
  f().chkControlCDROMSpeed.Value = 1;
  f().FanControlMethod = kFanMethodSmart;
  p.Answers().ClearShown();
  f().cmdSave.UserClick();
  const auto method = p.Registry().ReadValue(kFanKey, "FanControlMethod");
  ASSERT_TRUE(method);
  EXPECT_EQ(method->data, Dword(kFanMethodSmart));
  EXPECT_TRUE(StoredSetting(p.Registry(), "Check1").has_value());
  EXPECT_STREQ(cdromEnabled(), "cdrom saved");
  EXPECT_EQ(p.Answers().CountWithText("Save completed !"), 1);
}

TEST_F(SettingPage, LoadDefaultResetsEverythingButTheStore) {
  // Alarms of every kind are open: a voltage, a fan, a temperature and the chassis (opened
  // before "Shutdown." is ticked below, which would shut down at the first dialog).
  for (std::int16_t item : {std::int16_t{3}, std::int16_t{9}, std::int16_t{13}, std::int16_t{15}}) {
    ASSERT_FALSE(p.Run([&] { f().ShowWarning(item); }));
    const forms::Form* dialog = p.App().FindForm(std::string(AlarmFormName(item)));
    ASSERT_TRUE(dialog != nullptr && dialog->Visible) << AlarmFormName(item);
  }

  f().SSTabMain.UserSelectTab(7);
  f().Check3.UserClick();
  f().Check2.UserClick();
  f().SldInterval.UserSetValue(4);
  ASSERT_EQ(f().Timer1.Interval, 5000);
  f().cmdSave_Click();
  const std::string stored = p.Registry().Dump();

  f().chkEnable[4].Value = 0;
  f().FanDialogOpen = true;
  f().CpuFanPercent = 40;
  f().LimitsReady = 0;
  // Fan control as a user may have left it.
  f().FanControlEnabled = true;
  f().FanControlMethod = kFanMethodMultiLevel;
  f().FixCPUFanSpeed = 35;
  f().MultiSystemFanTemp[2] = 61.5F;
  f().MultiCPUFanSpeed[0] = 20;
  f().SmartCPUFanDefault = 47.5F;
  f().ShowCurrentFanControlMethod();
  std::vector<std::string> steps;
  auto record = [&steps](const char* name) { return [&steps, name] { steps.push_back(name); }; };
  // The CD-ROM box is unticked once the dialogs are gone.
  f().chkControlCDROMSpeed.Value = 1;
  f().chkControlCDROMSpeed.OnClick = record("ResetCdromSpeedControl");

  const std::int64_t before = p.Scheduler().NowMs();
  f().cmdDefault.UserClick();
  for (int item = 0; item < kItemCount; ++item) {
    const forms::Form* dialog = p.App().FindForm(std::string(AlarmFormName(item)));
    EXPECT_TRUE(dialog == nullptr || !dialog->IsLoaded()) << AlarmFormName(item);
  }
  EXPECT_EQ(steps, (std::vector<std::string>{"ResetCdromSpeedControl"}));
  EXPECT_FALSE(f().FanControlEnabled);
  EXPECT_EQ(f().FanControlMethod, kFanMethodNone);
  EXPECT_EQ(f().chkEnableFanControl.Value, 0);
  EXPECT_EQ(f().txtCurrentControlMethod.Text.Get(), "Disable Fan Control");
  EXPECT_EQ(f().FixCPUFanSpeed, 100);
  EXPECT_FLOAT_EQ(f().MultiSystemFanTemp[2], 35.0F);
  EXPECT_EQ(f().MultiCPUFanSpeed[0], 100);
  EXPECT_FLOAT_EQ(f().SmartCPUFanDefault, 41.0F);
  EXPECT_GE(p.Scheduler().NowMs() - before, 500);  // the chip settled before the first fan read

  EXPECT_EQ(f().WEnable[4], 1);
  EXPECT_EQ(f().chkEnable[4].Value, 1);
  EXPECT_FALSE(f().FanDialogOpen);
  EXPECT_EQ(f().CpuFanPercent, 100);
  EXPECT_EQ(f().SystemFanPercent, 100);
  EXPECT_EQ(f().LimitsReady, -1);
  EXPECT_EQ(f().SldInterval.Value, 1);
  EXPECT_EQ(f().chkControlCDROMSpeed.Value, 0);
  EXPECT_EQ(f().SldRotationSpeed.Value, 26);
  for (auto* box : {&f().Check1, &f().Check2, &f().Check3, &f().Check4, &f().Check5})
    EXPECT_EQ(box->Value, 0);
  // The remembered period came back, then the slider and the unticked period box acted.
  EXPECT_TRUE(f().Timer1.Enabled);
  EXPECT_EQ(f().Timer1.Interval, 500);
  EXPECT_TRUE(p.Prog().frmInit().Visible);
  EXPECT_EQ(p.Registry().Dump(), stored);

  // The splash goes with the next monitoring tick.
  ASSERT_FALSE(p.AdvanceMs(600));
  EXPECT_FALSE(p.Prog().frmInit().IsLoaded());
}

}  // namespace
}  // namespace veltrix::monitor
