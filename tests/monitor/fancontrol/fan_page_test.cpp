// The Hushwind page: its two layouts, the switch and the methods, OK and Cancel, and the fan
// timer that hands the fans to the method in force.
#include <gtest/gtest.h>

#include "monitor/fancontrol/fan_methods.h"
#include "tests/monitor/fancontrol/fan_test_support.h"

namespace veltrix::monitor::fantest {
namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(HushwindPage, SupportedAndUnsupportedBoardsGetTheirOwnPage) {
  auto p = Started(kIte);
  frmdoctor& f = Main(*p);
  EXPECT_TRUE(EndsWith(f.ImageTitle.Picture, "Hushwind Bar.jpg"));
  EXPECT_EQ(f.Label8.Caption.Get(), "Hushwind");
  for (forms::Control* c : std::initializer_list<forms::Control*>{
           &f.chkEnableFanControl, &f.framFanControl, &f.cmdSelect[0], &f.cmdSelect[1], &f.txtCurrentControlMethod,
           &f.chkControlCDROMSpeed, &f.SldRotationSpeed}) {
    EXPECT_TRUE(c->Visible) << c->FullName();
  }
  EXPECT_FALSE(f.lblHushwindMessage.Visible);
  EXPECT_EQ(f.txtCurrentControlMethod.Text.Get(), "Disable Fan Control");

  auto q = Started(kNoFanControl);
  frmdoctor& g = Main(*q);
  g.lblModelName_.Caption = " ZQ52  ";  // as the system page shows it
  g.CheckSupportFanControlFromModel();
  EXPECT_TRUE(EndsWith(g.ImageTitle.Picture, "Veltrix III.jpg"));
  EXPECT_EQ(g.Label8.Caption.Get(), "Veltrix III");
  EXPECT_TRUE(g.lblHushwindMessage.Visible);
  EXPECT_EQ(g.lblHushwindMessage.Caption.Get(), "This model ZQ52 does not support Hushwind function.");
  for (forms::Control* c : std::initializer_list<forms::Control*>{&g.chkEnableFanControl, &g.framFanControl,
                                                                  &g.cmdSelect[0], &g.chkControlCDROMSpeed,
                                                                  &g.lblHighSpeed, &g.SldRotationSpeed}) {
    EXPECT_FALSE(c->Visible) << c->FullName();
  }
  // Its page never arms the methods.
  g.FanControlEnabled = true;
  g.FanControlFunction();
  EXPECT_FALSE(g.rFANMethod[0].Enabled);
}

TEST(HushwindPage, StartUpOkIsSilentAndLeavesTheStoredFanBeepsAlone) {
  // A user who switched the fan beeps off and saved, with fan control off.
  auto first = Started(kWinbond627);
  for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) Main(*first).ChkBeep[item].Value = 0;
  Main(*first).cmdSave_Click();
  SimProgramOptions options;
  options.programDir = ProgramFolder();
  SimProgram p(kWinbond627, options);
  for (const auto& e : first->Registry().AllValues()) {
    platform::HKey key = 0;
    p.Registry().RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, e.keyPath, &key);
    p.Registry().RegSetValueExA(key, e.name, e.value.type, e.value.data.data(),
                                static_cast<std::uint32_t>(e.value.data.size()));
    p.Registry().RegCloseKey(key);
  }
  ASSERT_FALSE(p.Start());
  EXPECT_EQ(p.Answers().CountWithText("Setting Finished !"), 0);
  EXPECT_FALSE(Main(p).FirstFanSelect);
  EXPECT_FALSE(Main(p).FanTimer.Enabled) << "control is off";
  for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) EXPECT_EQ(Main(p).WBeep[item], 0) << item;
  EXPECT_EQ(Output(p, 0), 255);
  EXPECT_EQ(Output(p, 1), 255);
}

TEST(HushwindPage, OkStartsTheChosenMethodAndCancelRestoresTheItemFlags) {
  auto p = Started(kWinbond627);
  frmdoctor& f = Main(*p);
  ShowHushwindPage(*p);
  EXPECT_FALSE(f.rFANMethod[1].Enabled) << "nothing to choose while control is off";

  f.chkEnableFanControl.UserClick();
  EXPECT_TRUE(f.FanControlEnabled) << "at once, before OK";
  EXPECT_FALSE(f.ChkBeep[kFirstFanItem].Enabled);
  f.rFANMethod[1].UserClick();
  EXPECT_TRUE(f.btnMethodSet[1].Enabled);
  EXPECT_FALSE(f.btnMethodSet[0].Enabled);
  f.rFANMethod[3].UserClick();
  EXPECT_FALSE(f.btnMethodSet[1].Enabled) << "the recommended setting has no dialog";
  f.rFANMethod[1].UserClick();
  f.FixCPUFanSpeed = 35;
  f.cmdSelect[0].UserClick();
  EXPECT_EQ(p->Answers().CountWithText("Setting Finished !"), 1);
  EXPECT_EQ(f.FanControlMethod, kFanMethodFixed);
  EXPECT_EQ(f.txtCurrentControlMethod.Text.Get(), "Fixed Fan Control");
  EXPECT_TRUE(f.FanTimer.Enabled);
  EXPECT_TRUE(f.Timer1.Enabled) << "monitoring resumes after the box";
  SetTemperatures(*p, "30.0", "40.0");
  f.FanTimer_Timer();
  EXPECT_EQ(Output(*p, 0), 15) << "35 % on a Winbond chip";

  // Cancel: control off, fans at full output, the flags as the monitoring page last saw them.
  f.SSTabMain.UserSelectTab(6);
  f.WEnable[3] = 0;
  f.WBeep[kFirstFanItem] = 0;
  f.cmdSelect_Click(1);  // (showing the page again would save the flags anew)
  EXPECT_EQ(p->Answers().CountWithText("Setting Canceled !"), 1);
  EXPECT_FALSE(f.FanControlEnabled);
  EXPECT_EQ(f.chkEnableFanControl.Value, 0);
  EXPECT_FALSE(f.FanTimer.Enabled);
  EXPECT_EQ(f.WEnable, f.SavedWEnable);
  EXPECT_EQ(f.WBeep, f.SavedWBeep);
  EXPECT_TRUE(f.ChkBeep[kFirstFanItem].Enabled);
  EXPECT_EQ(Output(*p, 0), 255);
  EXPECT_EQ(Output(*p, 1), 255);
}

TEST(HushwindPage, OkWithoutAChosenMethodRunsTheRecommendedSetting) {
  auto p = Started(kIte);
  frmdoctor& f = Main(*p);
  ShowHushwindPage(*p);
  f.chkEnableFanControl.UserClick();
  f.cmdSelect[0].UserClick();
  EXPECT_EQ(f.FanControlMethod, kFanMethodRecommended);
  EXPECT_EQ(f.txtCurrentControlMethod.Text.Get(), "Korvana Recommend Setting");

  // Switching off with OK: fan beeps are back on for every fan row, fans at full output.
  f.chkEnableFanControl.UserClick();
  f.cmdSelect[0].UserClick();
  for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) {
    if (f.chkEnable[item].Visible) {
      EXPECT_EQ(f.WBeep[item], 1) << item;
    }
  }
  EXPECT_EQ(Output(*p, 0), 100) << "full output on an ITE chip";
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x17), 100);
}

TEST(FanTimer, FiftyFiveDegreesOverridesEveryMethod) {
  auto p = Started(kWinbond627);
  frmdoctor& f = Main(*p);
  f.FanControlEnabled = true;
  f.FanControlMethod = kFanMethodFixed;
  f.FixCPUFanSpeed = 0;
  f.FixSystemFanSpeed = 50;
  SetTemperatures(*p, "30.0", "54.9");
  f.FanTimer_Timer();
  EXPECT_EQ(Output(*p, 0), 0);
  EXPECT_EQ(Output(*p, 1), 15);
  SetTemperatures(*p, "30.0", "55.0");
  f.FanTimer_Timer();
  EXPECT_EQ(Output(*p, 0), 255);
  EXPECT_EQ(Output(*p, 1), 255);
  EXPECT_EQ(f.CpuFanPercent, 100);
  EXPECT_EQ(f.SystemFanPercent, 100);
}

TEST(FanTimer, WithoutControlOrMethodEveryTickGivesFullOutput) {
  auto p = Started(kIte);
  frmdoctor& f = Main(*p);
  SetTemperatures(*p, "30.0", "40.0");
  SetFanSpeed(p->Prog(), 0, 20);
  SetFanSpeed(p->Prog(), 2, 20);
  f.lblFanSpeed[1].Caption = "fan stop";
  f.FanTimer_Timer();
  EXPECT_EQ(Output(*p, 0), 100);
  EXPECT_EQ(p->Machine().Chip().GetRegister(0, 0x17), 100);
  EXPECT_EQ(f.SystemFanPercent, 0) << "a stopped fan is not animated";

  // Off with a method chosen: the timer leaves the fans alone.
  f.FanControlMethod = kFanMethodSmart;
  SetFanSpeed(p->Prog(), 0, 20);
  f.FanTimer_Timer();
  EXPECT_EQ(Output(*p, 0), 3);
}

TEST(FanTimer, SendsTheCdromSpeedEveryTickBelowFiftyFiveDegreesOnly) {
  auto p = Started(kWinbond627);
  frmdoctor& f = Main(*p);
  auto& drive = p->Machine().Aspi();
  f.chkControlCDROMSpeed.Value = 1;
  f.SldRotationSpeed.Value = 26;
  SetTemperatures(*p, "30.0", "54.9");
  drive.ClearSetCdSpeedLog();
  f.FanTimer_Timer();
  ASSERT_EQ(drive.SetCdSpeedLog().size(), 1u);
  EXPECT_EQ(drive.SetCdSpeedLog().back().readKBps, 52 * 257);

  drive.ClearSetCdSpeedLog();
  SetTemperatures(*p, "30.0", "55.0");
  f.FanTimer_Timer();
  EXPECT_TRUE(drive.SetCdSpeedLog().empty()) << "the hot tick only drives the fans";

  f.chkControlCDROMSpeed.Value = 0;
  SetTemperatures(*p, "30.0", "40.0");
  f.FanTimer_Timer();
  EXPECT_TRUE(drive.SetCdSpeedLog().empty()) << "an unticked box sends nothing";
}

TEST(RecommendedSetting, ClassByTheFirstMarkerInTestOrderAndColumnsByUpperBounds) {
  // "1.6" class: 0 below 44, 7 below 50, ..., 255 from 58 on; each bound belongs to the next column.
  EXPECT_EQ(RecommendedFanValue("Intel(R) Pentium(R) 4 CPU 1.60GHz", 43.9F), 0);
  EXPECT_EQ(RecommendedFanValue("Intel(R) Pentium(R) 4 CPU 1.60GHz", 44.0F), 7);
  EXPECT_EQ(RecommendedFanValue("Intel(R) Pentium(R) 4 CPU 1.60GHz", 58.0F), 255);
  // "2.4" class: its third column is the widest (54.5 .. 58 for 2.2, up to 58 here).
  EXPECT_EQ(RecommendedFanValue("P4 2.40GHz", 57.9F), 15);
  EXPECT_EQ(RecommendedFanValue("2.2", 57.9F), 23);
  // The first class in test order wins, wherever it stands in the name.
  EXPECT_EQ(RecommendedFanValue("2.4 GHz at 1.8 V", 47.0F), 7) << "the 1.8 class";
  EXPECT_EQ(RecommendedFanValue("AMD Athlon XP 2600+", 20.0F), -1);
}

TEST(RecommendedSetting, DrivesOnlyTheCpuFanAndLeavesUnknownProcessorsAlone) {
  auto p = Started(kWinbond627);
  frmdoctor& f = Main(*p);
  f.FanControlEnabled = true;
  f.FanControlMethod = kFanMethodRecommended;
  f.lblCPU_.Caption = "  Intel(R) Pentium(R) 4 CPU 1.60GHz ";
  SetTemperatures(*p, "30.0", "52.0");
  SetFanSpeed(p->Prog(), 1, 50);
  f.FanTimer_Timer();
  EXPECT_EQ(Output(*p, 0), 15);
  EXPECT_EQ(f.CpuFanPercent, 15);
  EXPECT_EQ(Output(*p, 1), 15) << "the system fan is not the method's";

  f.lblCPU_.Caption = "AMD Athlon(tm) XP";
  p->Ports().Reset();
  f.FanTimer_Timer();
  EXPECT_EQ(p->Ports().Writes(0x296), 0u) << "nothing written for an unknown processor";
}

}  // namespace
}  // namespace veltrix::monitor::fantest
