// Load, Show, Hide and Unload of a form object that lives for the whole program, and what
// observers hear along the way.
#include <gtest/gtest.h>

#include "tests/platform/forms/test_form.h"

namespace veltrix::forms::testing {
namespace {

using Log = std::vector<std::string>;

class FormLifecycleTest : public ::testing::Test {
 protected:
  VirtualScheduler sched;
  Application app{sched};
  TestForm form{app};
  RecordingObserver observer;
};

TEST_F(FormLifecycleTest, LoadRunsTheDesignSilentlyThenFormLoad) {
  app.AddObserver(&observer);
  EXPECT_EQ(app.FindForm("frmTest"), &form);
  form.Load();
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_FALSE(form.Visible) << "Load alone keeps the form hidden";
  EXPECT_EQ(form.lblA.Caption, "design");
  EXPECT_EQ(form.chkA.Value, 1);
  EXPECT_EQ(form.log, Log{"Form_Load"}) << "design-time values raise no events";
  EXPECT_EQ(observer.events, Log{"loaded frmTest"}) << "nor notifications";

  form.Load();  // already loaded: nothing
  EXPECT_EQ(form.loadCount, 1);

  form.Show();
  EXPECT_TRUE(form.Visible);
  EXPECT_EQ(form.loadCount, 1);
  form.Hide();
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_FALSE(form.Visible);
  app.RemoveObserver(&observer);
}

TEST_F(FormLifecycleTest, NextLoadStartsFromTheDesignAgain) {
  form.Show();
  form.lblA.Caption = "run time";
  form.chkA.Value = 0;
  form.optTop[2].Value = true;
  form.sldA.Value = 80;
  form.tabMain.Tab = 1;
  form.tabMain.SetTabCaption(1, "Voltage");
  form.picA.AutoRedraw = true;
  form.picA.DrawLine(0, 0, 1, 1, kColorRed);
  ASSERT_TRUE(form.Unload());
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_FALSE(form.Visible);

  form.log.clear();
  form.Load();
  EXPECT_EQ(form.lblA.Caption, "design");
  EXPECT_EQ(form.chkA.Value, 1);
  EXPECT_TRUE(form.optTop[0].Value);
  EXPECT_FALSE(form.optTop[2].Value);
  EXPECT_EQ(form.sldA.Value, 50);
  EXPECT_EQ(form.tabMain.Tab, 0);
  EXPECT_EQ(form.tabMain.TabCaption(1), "");
  EXPECT_TRUE(form.picA.Lines().empty());
  EXPECT_EQ(form.log, Log{"Form_Load"});
}

TEST_F(FormLifecycleTest, UnloadMayBeCancelledAndTellsTheMode) {
  form.Show();
  form.cancelQuery = 1;
  EXPECT_FALSE(form.Unload());
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_EQ(form.lastUnloadMode, Form::vbFormCode);
  form.cancelQuery = 0;
  form.cancelUnload = 1;
  form.SetNextUnloadMode(Form::vbFormControlMenu);
  EXPECT_FALSE(form.Unload());
  EXPECT_EQ(form.lastUnloadMode, Form::vbFormControlMenu);
  EXPECT_TRUE(form.Visible);
  form.cancelUnload = 0;
  form.log.clear();
  EXPECT_TRUE(form.Unload());
  EXPECT_EQ(form.lastUnloadMode, Form::vbFormCode) << "the mode applies to one Unload only";
  EXPECT_EQ(form.log, (Log{"Form_QueryUnload", "Form_Unload"}));
}

TEST_F(FormLifecycleTest, UnloadingANotLoadedFormDoesNothing) {
  app.AddObserver(&observer);
  EXPECT_TRUE(form.Unload());
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_TRUE(form.log.empty());
  EXPECT_TRUE(observer.events.empty());
  app.RemoveObserver(&observer);
}

TEST_F(FormLifecycleTest, UnloadFromItsOwnHandlersIsSafe) {
  form.Show();
  form.cmdA.OnClick = [this] {
    form.Unload();
    form.lblA.Caption = "after unload";  // the object still exists
  };
  form.cmdA.UserClick();
  EXPECT_FALSE(form.IsLoaded());

  // A form that closes itself while loading is not shown.
  form.unloadInLoad = true;
  form.Show();
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_FALSE(form.Visible);
}

TEST_F(FormLifecycleTest, ObserversHearChangesOfLoadedFormsOnly) {
  app.AddObserver(&observer);
  form.lblA.Caption = "while unloaded";
  EXPECT_TRUE(observer.events.empty());
  EXPECT_EQ(form.log, Log{"lblA_Change"}) << "code that writes a value still gets its handler";

  form.Show();
  observer.events.clear();
  form.lblA.Caption = "x";
  form.lblA.Caption = "x";
  form.lblA.Left = 500;
  EXPECT_EQ(observer.events, (Log{"lblA.0", "lblA.9"}));

  observer.events.clear();
  form.Unload();
  EXPECT_EQ(observer.events, (Log{"frmTest.7", "unloaded frmTest"})) << "hidden, then unloaded";
  app.RemoveObserver(&observer);
}

TEST_F(FormLifecycleTest, SettingVisibleOnAnUnloadedFormShowsIt) {
  form.Visible = true;
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_TRUE(form.Visible);
  EXPECT_EQ(form.loadCount, 1);
}

TEST_F(FormLifecycleTest, PropertiesCopyAndCompareLikeValues) {
  form.Show();
  Label other{form, "lblOther"};
  other.Caption = "12.00";
  form.lblA.Caption = other.Caption;
  EXPECT_EQ(form.lblA.Caption, other.Caption);
  EXPECT_TRUE("12.00" == form.lblA.Caption);
  EXPECT_EQ(form.lblA.Caption + " V", "12.00 V");
  form.sldA.Value = form.updA.Value;
  EXPECT_LT(form.sldA.Value, form.sldA.Max);
  form.sldA.Value += 2;
  EXPECT_EQ(form.sldA.Value, 5);
}

}  // namespace
}  // namespace veltrix::forms::testing
