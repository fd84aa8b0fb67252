// What the program relies on from individual controls: which changes raise which events,
// option groups, ranges, tab pages, persistent drawing, and input gating.
#include <gtest/gtest.h>

#include "tests/platform/forms/test_form.h"

namespace veltrix::forms::testing {
namespace {

using Log = std::vector<std::string>;

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Show();
    form.log.clear();
  }
  VirtualScheduler sched;
  Application app{sched};
  TestForm form{app};
};

TEST_F(ControlsTest, CheckBoxClickOnlyWhenValueChanges) {
  form.chkA.Value = 1;  // already 1 from design
  EXPECT_TRUE(form.log.empty());
  form.chkA.Value = 0;
  form.chkA.Value = 2;
  form.chkA.Value = 7;  // not a check-box state: refused
  EXPECT_EQ(form.chkA.Value, 2);
  form.chkA.UserClick();  // grayed -> unchecked
  form.chkA.UserClick();
  EXPECT_EQ(form.chkA.Value, 1);
  EXPECT_EQ(form.log, Log(4, "chkA_Click"));
}

TEST_F(ControlsTest, OptionGroupsArePerContainer) {
  form.optTop[2].Value = true;
  EXPECT_EQ(form.log, Log{"optTop_Click 2"});
  EXPECT_FALSE(form.optTop[0].Value);
  EXPECT_FALSE(form.optTop[1].Value);
  EXPECT_TRUE(form.optFrame[1].Value) << "the frame is another group";
  EXPECT_TRUE(form.optPage0.Value) << "tab pages are other groups";

  form.log.clear();
  form.optTop[2].Value = true;   // unchanged
  form.optTop[2].Value = false;  // clearing raises nothing
  EXPECT_TRUE(form.log.empty());

  form.optFrame[0].Value = true;
  EXPECT_EQ(form.log, Log{"optFrame_Click 0"});
  EXPECT_FALSE(form.optFrame[1].Value);
  EXPECT_FALSE(form.optTop[0].Value);
  EXPECT_TRUE(form.optPage1.Value);
}

TEST_F(ControlsTest, RangesClampAndRaiseChange) {
  EXPECT_EQ(form.sldA.Value, 50) << "design-time value kept although set before Max";
  EXPECT_EQ(form.updA.Value, 3);
  form.updA.Value = 9;
  EXPECT_EQ(form.updA.Value, 5);
  form.updA.Value = 12;  // clamps to the current value: nothing happens
  form.updA.Value = -4;
  EXPECT_EQ(form.updA.Value, 1);
  EXPECT_EQ(form.updA.Min, 1);
  EXPECT_EQ(form.updA.Max, 5);
  EXPECT_EQ(form.log, (Log{"updA_Change 5", "updA_Change 1"}));

  form.log.clear();
  form.sldA.Max = 20;  // drags the value down with it
  EXPECT_EQ(form.sldA.Value, 20);
  form.prbA.Value = 250;
  form.prbA.Value = 100;
  EXPECT_EQ(form.log, (Log{"sldA_Change 20", "prbA_Change 100"}));

  // A reversed scale still bounds the value; up/down steps stop at the end.
  form.sldA.Min = 30;
  EXPECT_EQ(form.sldA.Value, 20);
  form.sldA.Value = 35;
  EXPECT_EQ(form.sldA.Value, 30);
  form.updA.Increment = 3;
  form.updA.UserStep(+1);
  form.updA.UserStep(+1);
  EXPECT_EQ(form.updA.Value, 5);
}

TEST_F(ControlsTest, UpDownReportsEveryArrowPressAlsoAtTheEnds) {
  form.updA.OnUpClick = [this] { form.log.push_back("updA_UpClick " + std::to_string(form.updA.Value)); };
  form.updA.OnDownClick = [this] { form.log.push_back("updA_DownClick " + std::to_string(form.updA.Value)); };
  form.updA.Increment = 2;
  form.updA.UserStep(+1);  // 3 -> 5: Change first, then the press
  form.updA.UserStep(+1);  // at the top: no Change, the press is still reported
  form.updA.UserStep(-1);
  form.updA.Value = 1;  // code moves the value: no press
  EXPECT_EQ(form.log, (Log{"updA_Change 5", "updA_UpClick 5", "updA_UpClick 5", "updA_Change 3",
                           "updA_DownClick 3", "updA_Change 1"}));
  form.log.clear();
  form.updA.Enabled = false;
  form.updA.UserStep(+1);
  EXPECT_TRUE(form.log.empty());
}

TEST_F(ControlsTest, LabelAndTextBoxRaiseChangeOnNewText) {
  form.lblA.Caption = "design";
  form.lblA.Caption = "1.52";
  form.txtA.Text = "abc";
  form.txtA.MaxLength = 2;
  form.txtA.UserType("xyz");
  EXPECT_EQ(form.txtA.Text, "xy");
  form.txtA.Locked = true;
  form.txtA.UserType("q");
  EXPECT_EQ(form.txtA.Text, "xy");
  EXPECT_EQ(form.log, (Log{"lblA_Change", "txtA_Change", "txtA_Change"}));
}

TEST_F(ControlsTest, TabPagesDecideVisibilityAndReportThePreviousPage) {
  EXPECT_TRUE(form.optPage0.EffectivelyVisible());
  EXPECT_FALSE(form.lblOnPage1.EffectivelyVisible());
  form.tabMain.UserSelectTab(1);
  EXPECT_EQ(form.log, Log{"tabMain_Click 0->1"});
  EXPECT_TRUE(form.lblOnPage1.EffectivelyVisible());
  EXPECT_FALSE(form.optPage0.EffectivelyVisible());

  form.tabMain.Tab = 7;  // no such page: the last one, already selected
  form.tabMain.UserSelectTab(5);
  form.tabMain.Tab = 0;
  EXPECT_EQ(form.log, (Log{"tabMain_Click 0->1", "tabMain_Click 1->0"}));

  form.tabMain.Visible = false;
  EXPECT_FALSE(form.optPage0.EffectivelyVisible());
}

TEST_F(ControlsTest, PersistentDrawingSurvivesRepaintOnly) {
  PictureBox& pic = form.picA;
  pic.AutoRedraw = true;
  pic.DrawWidth = 3;
  pic.DrawLine(0, 0, 100, 200, kColorRed);
  pic.AutoRedraw = false;
  pic.DrawLine(5, 5, 6, 6, kColorGreen);
  ASSERT_EQ(pic.Lines().size(), 2u);
  pic.Repaint();
  ASSERT_EQ(pic.Lines().size(), 1u);
  const DrawnLine& kept = pic.Lines()[0];
  EXPECT_EQ(kept.x2, 100);
  EXPECT_EQ(kept.y2, 200);
  EXPECT_EQ(kept.color, kColorRed);
  EXPECT_EQ(kept.width, 3);
  pic.Cls();
  EXPECT_TRUE(pic.Lines().empty());

  pic.AutoRedraw = true;
  pic.DrawLine(1, 1, 2, 2, kColorBlack);
  form.Unload();
  EXPECT_TRUE(pic.Lines().empty());
}

TEST_F(ControlsTest, InputIsIgnoredWhereAPersonCouldNotReach) {
  form.cmdA.Enabled = false;
  form.cmdA.UserClick();
  form.cmdA.Enabled = true;
  form.cmdA.Visible = false;
  form.cmdA.UserClick();
  form.cmdA.Visible = true;
  form.optFrame[2].SetContainer(&form.fraGroup);
  form.fraGroup.Enabled = false;
  form.optFrame[2].UserClick();
  form.lblOnPage1.OnClick = [this] { form.log.push_back("lblOnPage1_Click"); };
  form.lblOnPage1.UserClick();  // its page is not selected
  form.updA.Enabled = false;
  form.updA.UserStep(1);
  form.sldA.Visible = false;
  form.sldA.UserSetValue(1);
  EXPECT_TRUE(form.log.empty());

  form.Hide();
  form.cmdA.UserClick();
  form.Unload();
  form.log.clear();
  form.cmdA.UserClick();
  EXPECT_TRUE(form.log.empty());

  form.Show();
  form.cmdA.UserClick();
  EXPECT_EQ(form.log, (Log{"Form_Load", "cmdA_Click"}));
}

TEST_F(ControlsTest, PopupMenuReachesObserversWhoMayChooseAnEntry) {
  RecordingObserver observer;
  app.AddObserver(&observer);
  form.Hide();  // a tray menu belongs to a hidden window
  observer.choice = &form.mnuExit;
  form.PopupMenu(form.mnuPopup);
  EXPECT_EQ(observer.Count("popup frmTest mnuPopup"), 1u);
  EXPECT_EQ(form.log, Log{"mnuExit_Click"});

  form.mnuExit.Enabled = false;
  form.PopupMenu(form.mnuPopup);
  EXPECT_EQ(form.log.size(), 1u);
  app.RemoveObserver(&observer);
}

TEST_F(ControlsTest, ControlArraysAndLookup) {
  EXPECT_EQ(form.optTop[1].FullName(), "optTop(1)");
  EXPECT_EQ(form.FindControl("optTop", 2), &form.optTop[2]);
  EXPECT_EQ(form.FindControl("lblA"), &form.lblA);
  EXPECT_EQ(form.FindControl("nothing"), nullptr);
  EXPECT_THROW(form.optTop[3], std::out_of_range);
}

}  // namespace
}  // namespace veltrix::forms::testing
