// The three method dialogs: what they show, the edit rules, which edits persist (OK, close
// box) and which do not (Cancel), and how each one's life stops and restarts the fan timer.
#include <gtest/gtest.h>

#include "monitor/fancontrol/fan_windows.h"
#include "monitor/fancontrol/fixed_fan_dialog.h"
#include "monitor/fancontrol/multi_fan_dialog.h"
#include "monitor/fancontrol/smart_fan_dialog.h"
#include "tests/monitor/fancontrol/fan_test_support.h"

namespace veltrix::monitor::fantest {
namespace {

// Fan control switched on with the page and method `m` chosen, then its "Setting" pressed.
void OpenDialog(SimProgram& p, int m) {
  frmdoctor& f = Main(p);
  ShowHushwindPage(p);
  if (f.chkEnableFanControl.Value == 0) f.chkEnableFanControl.UserClick();
  f.rFANMethod[m].UserClick();
  f.btnMethodSet[m].UserClick();
}

void CloseBox(forms::Form& form) {
  form.SetNextUnloadMode(forms::Form::vbFormControlMenu);
  form.Unload();
}

class MultiDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenDialog(*p, kFanMethodMultiLevel);
    ASSERT_NE(LoadedMultiFanDialog(p->Prog()), nullptr);
  }
  frmMultiFAN& d() { return MultiFanDialog(p->Prog()); }
  frmdoctor& f() { return Main(*p); }
  std::unique_ptr<SimProgram> p = Started(kWinbond627);
};

TEST_F(MultiDialog, OpensWithTheCurvesAndRestsTheMainTimer) {
  EXPECT_TRUE(d().Visible);
  EXPECT_TRUE(f().FanDialogOpen);
  EXPECT_EQ(f().FanControlMethod, kFanMethodMultiLevel);
  EXPECT_EQ(f().txtCurrentControlMethod.Text.Get(), "Multiple Level Control");
  EXPECT_FALSE(f().FanTimer.Enabled);
  EXPECT_TRUE(d().MultiFanTimer.Enabled);
  EXPECT_EQ(d().textCPUTemp[0].Text.Get(), "25.0");
  EXPECT_EQ(d().textSystemTemp[5].Text.Get(), "50.0");
  EXPECT_EQ(d().sldCPUFanSpeed[3].Value, 20);
  EXPECT_EQ(d().sldCPUFanSpeed[3].ToolTipText.Get(), " 100%");
  EXPECT_EQ(d().lblStep[2].Caption.Get(), "Step3");
}

TEST_F(MultiDialog, SlidersNeverPassTheirNeighbours) {
  const int curve[] = {4, 8, 12, 16, 18, 20};
  for (int i = 0; i < 6; ++i) d().sldCPUFanSpeed[i].UserSetValue(curve[i]);
  d().sldCPUFanSpeed[2].UserSetValue(17);
  EXPECT_EQ(d().sldCPUFanSpeed[2].Value, 16) << "back to slider 3";
  d().sldCPUFanSpeed[3].UserSetValue(5);
  EXPECT_EQ(d().sldCPUFanSpeed[3].Value, 16) << "up to slider 2";
  EXPECT_EQ(d().sldCPUFanSpeed[3].ToolTipText.Get(), " 80%");
  d().sldCPUFanSpeed[1].UserSetValue(10);
  EXPECT_EQ(d().sldCPUFanSpeed[1].ToolTipText.Get(), " 50%");
  d().sldSystemFanSpeed[5].UserSetValue(0);
  EXPECT_EQ(d().sldSystemFanSpeed[5].Value, 20) << "the system curve keeps its own order";
}

TEST_F(MultiDialog, ThresholdTextsAreReplacedOrCorrected) {
  d().textCPUTemp[3].UserType("abc");
  EXPECT_EQ(d().textCPUTemp[3].Text.Get(), "35.5") << "point 2 plus half a degree";
  d().textCPUTemp[0].UserType("101");
  EXPECT_EQ(d().textCPUTemp[0].Text.Get(), "29.5") << "point 1 minus half a degree";
  d().textCPUTemp[3].UserType("0");
  EXPECT_EQ(d().textCPUTemp[3].Text.Get(), "40.0") << "the stored threshold";
  d().textCPUTemp[3].UserType("");
  EXPECT_EQ(d().textCPUTemp[3].Text.Get(), "");

  p->Answers().ClearShown();
  d().textCPUTemp[3].UserType("40");
  d().textCPUTemp[1].UserType("36.0");
  d().textCPUTemp[1].UserFocusLost();
  ASSERT_EQ(p->Boxes().size(), 1u);
  EXPECT_EQ(p->Boxes()[0].text, "The CPU temperature(36.0) you set in Step2 should be smaller than 35.0 in Step3");
  EXPECT_EQ(p->Boxes()[0].title, "Warning");
  EXPECT_EQ(d().textCPUTemp[1].Text.Get(), "34.5");

  d().textSystemTemp[4].UserType("39.5");
  d().textSystemTemp[4].UserFocusLost();
  EXPECT_EQ(p->Boxes().back().text,
            "The system temperature(39.5) you set in Step5 should be bigger than 40.0 in Step4");
  EXPECT_EQ(d().textSystemTemp[4].Text.Get(), "40.5");
  d().textSystemTemp[5].UserType("40");
  d().textSystemTemp[5].UserFocusLost();
  EXPECT_EQ(d().textSystemTemp[5].Text.Get(), "41.0");

  d().textSystemTemp[2].UserType("36");
  d().textSystemTemp[2].UserFocusLost();
  EXPECT_EQ(d().textSystemTemp[2].Text.Get(), "36.0") << "in order: only rewritten";
  EXPECT_EQ(p->Boxes().size(), 3u);
}

TEST_F(MultiDialog, ArrowsMoveAThresholdOnlyWhereTheOrderAllows) {
  d().udCPUTemp[2].UserStep(+1);
  EXPECT_EQ(d().textCPUTemp[2].Text.Get(), "35.5");
  d().textCPUTemp[3].UserType("36");
  d().udCPUTemp[2].UserStep(+1);
  EXPECT_EQ(d().textCPUTemp[2].Text.Get(), "35.5") << "would reach point 3 minus half a degree";
  d().udCPUTemp[3].UserStep(-1);
  EXPECT_EQ(d().textCPUTemp[3].Text.Get(), "36") << "would reach point 2 plus half a degree";

  d().textCPUTemp[5].UserType("99.5");
  d().udCPUTemp[5].UserStep(+1);
  EXPECT_EQ(d().textCPUTemp[5].Text.Get(), "100.0");
  d().udCPUTemp[5].UserStep(+1);
  EXPECT_EQ(d().textCPUTemp[5].Text.Get(), "100.0");
  d().textCPUTemp[0].UserType("1.5");
  d().udCPUTemp[0].UserStep(-1);
  d().udCPUTemp[0].UserStep(-1);
  EXPECT_EQ(d().textCPUTemp[0].Text.Get(), "1.0") << "no lower than 1";
}

TEST_F(MultiDialog, CancelDropsTheEditsWhileOkAndTheCloseBoxKeepThem) {
  d().sldCPUFanSpeed[0].UserSetValue(4);
  d().textCPUTemp[0].UserType("20");
  d().btnCancel.UserClick();
  EXPECT_FALSE(d().IsLoaded());
  EXPECT_EQ(f().MultiCPUFanSpeed[0], 100);
  EXPECT_FLOAT_EQ(f().MultiCPUFanTemp[0], 25.0F);
  EXPECT_FALSE(f().FanDialogOpen);
  EXPECT_TRUE(f().FanTimer.Enabled);

  OpenDialog(*p, kFanMethodMultiLevel);
  EXPECT_EQ(d().sldCPUFanSpeed[0].Value, 20) << "opens with the stored curve";
  d().sldCPUFanSpeed[0].UserSetValue(4);
  d().textSystemTemp[0].UserType("20");
  CloseBox(d());
  EXPECT_EQ(f().MultiCPUFanSpeed[0], 20);
  EXPECT_FLOAT_EQ(f().MultiSystemFanTemp[0], 20.0F);
  EXPECT_FALSE(f().FanDialogOpen);

  OpenDialog(*p, kFanMethodMultiLevel);
  d().sldSystemFanSpeed[0].UserSetValue(2);
  d().btnOK.UserClick();
  EXPECT_EQ(f().MultiSystemFanSpeed[0], 10);
  EXPECT_TRUE(f().FanTimer.Enabled);
  EXPECT_FALSE(d().IsLoaded());
}

TEST_F(MultiDialog, ItsTimerRunsTheMethodFromTheLiveControls) {
  for (int i = 0; i < 6; ++i) d().sldCPUFanSpeed[i].UserSetValue(8);
  p->AdvanceMs(1000);
  EXPECT_EQ(Output(*p, 0), 15) << "40 % before anything was recorded";
  EXPECT_EQ(f().MultiCPUFanSpeed[0], 100);
  EXPECT_EQ(d().lblCPUTemp.Caption.Get(), f().lblStatusT[f().CpuFanTempItem()].Caption.Get());
  EXPECT_EQ(d().lblSystemTemp.BackColor.Get(), f().lblStatusT[0].BackColor.Get());

  // An unload by the program (OK of the page) does not run the dialog's exit.
  f().cmdSelect[0].UserClick();
  EXPECT_FALSE(d().IsLoaded());
  EXPECT_TRUE(f().FanDialogOpen) << "stays set until a dialog is left or Load Default";
  EXPECT_EQ(f().MultiCPUFanSpeed[0], 100) << "nothing recorded";
}

class SmartDialog : public ::testing::Test {
 protected:
  void SetUp() override { OpenDialog(*p, kFanMethodSmart); }
  frmSmartFAN& d() { return SmartFanDialog(p->Prog()); }
  frmdoctor& f() { return Main(*p); }
  std::unique_ptr<SimProgram> p = Started(kIte);
};

TEST_F(SmartDialog, ArrowsMoveTheTargetsAtOnceWithinZeroToHundred) {
  EXPECT_EQ(d().lblCPUDefault.Caption.Get(), "41.0");
  EXPECT_EQ(d().lblSystemDefault.Caption.Get(), "31.0");
  EXPECT_FALSE(f().FanTimer.Enabled);
  EXPECT_TRUE(d().SmartFanTimer.Enabled);
  d().udCPURange.UserStep(+1);
  EXPECT_EQ(d().lblCPUDefault.Caption.Get(), "41.5");
  EXPECT_FLOAT_EQ(f().SmartCPUFanDefault, 41.5F) << "no OK needed";
  d().lblSystemDefault.Caption = "0.0";
  d().udSystemRange.UserStep(-1);
  EXPECT_EQ(d().lblSystemDefault.Caption.Get(), "0.0");
  d().lblSystemDefault.Caption = "99.5";
  d().udSystemRange.UserStep(+1);
  d().udSystemRange.UserStep(+1);
  EXPECT_EQ(d().lblSystemDefault.Caption.Get(), "100.0");
  EXPECT_FLOAT_EQ(f().SmartSystemFanDefault, 100.0F);
}

TEST_F(SmartDialog, EveryWayOfClosingHandsTheFansBackToTheMainTimer) {
  p->AdvanceMs(1000);
  EXPECT_EQ(f().SmartTickCount, 1) << "its own timer stepped the method";
  d().cmdOK.UserClick();
  EXPECT_FALSE(d().IsLoaded());
  EXPECT_FALSE(f().FanDialogOpen);
  EXPECT_TRUE(f().FanTimer.Enabled);

  OpenDialog(*p, kFanMethodSmart);
  CloseBox(d());
  EXPECT_FALSE(f().FanDialogOpen);
  EXPECT_TRUE(f().FanTimer.Enabled);

  // Also when the page's OK unloads it.
  OpenDialog(*p, kFanMethodSmart);
  ASSERT_TRUE(f().FanDialogOpen);
  f().cmdSelect[0].UserClick();
  EXPECT_FALSE(d().IsLoaded());
  EXPECT_FALSE(f().FanDialogOpen);
  EXPECT_TRUE(f().FanTimer.Enabled);
}

TEST_F(SmartDialog, FiftyFiveDegreesOverrideItsTimerToo) {
  f().Timer1.Enabled = false;  // the captions stay as set
  SetTemperatures(*p, "30.0", "56.0");
  SetFanSpeed(p->Prog(), 0, 0);
  p->AdvanceMs(1000);
  EXPECT_EQ(Output(*p, 0), 100);
  EXPECT_EQ(f().CpuFanPercent, 100);
  EXPECT_EQ(f().SmartTickCount, 6) << "the method did not run";
}

class FixedDialog : public ::testing::Test {
 protected:
  void Open(const char* board) {
    p = Started(board);
    p->AdvanceMs(1000);  // every fan row shows a speed
    OpenDialog(*p, kFanMethodFixed);
    ASSERT_NE(LoadedManualFanDialog(p->Prog()), nullptr);
  }
  frmManualFAN& d() { return ManualFanDialog(p->Prog()); }
  frmdoctor& f() { return Main(*p); }
  std::unique_ptr<SimProgram> p;
};

TEST_F(FixedDialog, ASliderDrivesItsFanAtOnceOnBothChipFamilies) {
  Open(kWinbond627);
  EXPECT_EQ(d().Caption.Get(), "Fixed Fan Control");
  EXPECT_EQ(d().sldCPUFan.Value, 20);
  d().sldCPUFan.UserSetValue(7);
  EXPECT_EQ(Output(*p, 0), 15);
  EXPECT_EQ(f().FixCPUFanSpeed, 35);
  EXPECT_EQ(f().CpuFanPercent, 35);
  d().sldSystemFan.UserSetValue(0);
  EXPECT_EQ(Output(*p, 1), 0);
  EXPECT_EQ(d().lblSystemFAN.Caption.Get(), "fan stop");

  Open(kIte);
  d().sldCPUFan.UserSetValue(7);
  EXPECT_EQ(Output(*p, 0), 3);
}

TEST_F(FixedDialog, FansShownOffOrMissingAreNotDriven) {
  Open(kWinbond627);
  f().lblFanSpeed[0].Caption = "fan off";
  p->Ports().Reset();
  d().sldCPUFan.UserSetValue(10);
  EXPECT_EQ(p->Ports().Writes(0x296), 0u);
  EXPECT_EQ(f().FixCPUFanSpeed, 100);

  f().lblFanSpeed[1].Visible = false;  // a board without this fan row
  d().sldSystemFan.UserSetValue(10);
  EXPECT_EQ(p->Ports().Writes(0x296), 0u);
  EXPECT_TRUE(d().AniGif2.Picture.Get().find("fan0.gif") != std::string::npos);
}

TEST_F(FixedDialog, TimersMirrorTheMainWindowAndExitRecords) {
  Open(kWinbond627);
  d().sldCPUFan.UserSetValue(12);
  p->AdvanceMs(1000);
  EXPECT_EQ(d().lblCPUFan.Caption.Get(), f().lblFanSpeed[0].Caption.Get());
  EXPECT_EQ(d().lblSystemTemp.Caption.Get(), f().lblStatusT[0].Caption.Get());
  EXPECT_TRUE(d().AniGif1.Picture.Get().find("fan3.gif") != std::string::npos) << "60 %";

  // "Load Default" puts both outputs back without moving an open dialog's sliders.
  f().cmdDefault_Click();
  EXPECT_EQ(f().FixCPUFanSpeed, 100);
  EXPECT_EQ(d().sldCPUFan.Value, 12);

  d().sldSystemFan.UserSetValue(10);
  CloseBox(d());
  EXPECT_FALSE(d().IsLoaded());
  EXPECT_EQ(f().FixCPUFanSpeed, 60);
  EXPECT_EQ(f().FixSystemFanSpeed, 50);
  EXPECT_TRUE(f().FanTimer.Enabled);
  EXPECT_FALSE(f().FanDialogOpen);
}

}  // namespace
}  // namespace veltrix::monitor::fantest
