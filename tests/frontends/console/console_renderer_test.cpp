// The console's text view of a form, and its real-time scheduler.
#include <gtest/gtest.h>

#include <sstream>

#include "frontends/console/console_renderer.h"
#include "frontends/console/real_time_scheduler.h"

namespace veltrix::console {
namespace {

using forms::Application;
using Lines = std::vector<std::string>;

class MonitorForm : public forms::Form {
 public:
  explicit MonitorForm(Application& app) : Form(app, "frmMon") {}
  forms::Label lblTitle{*this, "lblTitle"};
  forms::Frame fraVolt{*this, "fraVolt"};
  forms::ControlArray<forms::Label> lblStatusV{*this, "lblStatusV", 2};
  forms::CheckBox chkLog{*this, "chkLog"};
  forms::OptionButton optFast{*this, "optFast"};
  forms::ProgressBar prbFan{*this, "prbFan"};
  forms::TabStrip tabMain{*this, "tabMain"};
  forms::Label lblOnPage1{*this, "lblOnPage1"};
  forms::Label lblEmpty{*this, "lblEmpty"};
  forms::CommandButton cmdExit{*this, "cmdExit"};
  forms::Timer Timer1{*this, "Timer1"};

 protected:
  void InitializeComponent() override {
    Caption = "Monitor";
    tabMain.Tabs = 2;
    tabMain.SetTabCaption(0, "Voltage");
    tabMain.Move(0, 0, 6000, 300);
    lblTitle.Caption = "Hardware\nmonitor";
    lblTitle.Move(0, 400, 3000, 255);
    fraVolt.Caption = "Voltages";
    fraVolt.Move(120, 800, 3000, 1200);
    // In the frame's own coordinates: below the title although their Top is small.
    for (int i = 0; i < 2; ++i) {
      lblStatusV[i].SetContainer(&fraVolt);
      lblStatusV[i].Move(1500 - 1000 * i, 240, 900, 255);
    }
    lblStatusV[0].Caption = "1.52";
    lblStatusV[1].Caption = "3.31";
    chkLog.Caption = "Log";
    chkLog.Value = 1;
    chkLog.Top = 2200;
    optFast.Caption = "Fast";
    optFast.Top = 2400;
    prbFan.Value = 40;
    prbFan.Top = 2600;
    lblOnPage1.SetContainer(&tabMain, 1);
    lblOnPage1.Caption = "hidden page";
    lblEmpty.Top = 2800;
    cmdExit.Caption = "Exit";
    cmdExit.Top = 3000;
  }
};

TEST(ConsoleRendererTest, RendersVisibleTextInReadingOrder) {
  forms::VirtualScheduler sched;
  Application app(sched);
  MonitorForm form(app);
  ConsoleRenderer renderer;
  EXPECT_TRUE(renderer.RenderForm(form).empty()) << "not loaded";

  form.Show();
  EXPECT_EQ(renderer.RenderForm(form), (Lines{
                                           "frmMon: tabMain = Voltage",
                                           "frmMon: lblTitle = Hardware monitor",
                                           "frmMon: fraVolt = Voltages",
                                           "frmMon: lblStatusV(1) = 3.31",
                                           "frmMon: lblStatusV(0) = 1.52",
                                           "frmMon: chkLog = [x] Log",
                                           "frmMon: optFast = ( ) Fast",
                                           "frmMon: prbFan = 40 (0..100)",
                                           "frmMon: cmdExit = [Exit]",
                                       }));

  form.fraVolt.Visible = false;
  form.tabMain.Tab = 1;
  form.optFast.Value = true;
  const Lines lines = renderer.RenderForm(form);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "frmMon: lblStatusV(0) = 1.52"), 0);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "frmMon: lblOnPage1 = hidden page"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "frmMon: optFast = (*) Fast"), 1);

  const Lines all = ConsoleRenderer({.includeHidden = true, .includeEmpty = true}).RenderForm(form);
  EXPECT_EQ(all.size(), 11u) << "every text control, timers never";

  const Lines appLines = renderer.RenderApplication(app);
  ASSERT_FALSE(appLines.empty());
  EXPECT_EQ(appLines.front(), "== frmMon: Monitor ==");
  form.Hide();
  EXPECT_TRUE(renderer.RenderApplication(app).empty());
}

TEST(RealTimeSchedulerTest, FiresAShortTimerAndStops) {
  RealTimeScheduler sched;
  Application app(sched);
  MonitorForm form(app);
  int ticks = 0;
  std::int64_t firedAt = -1;
  form.Timer1.OnTimer = [&] {
    ++ticks;
    firedAt = sched.NowMs();
    sched.RequestStop();
  };
  form.Load();
  const std::int64_t armedAt = sched.NowMs();
  form.Timer1.Interval = 5;
  sched.Run(5000);  // ends at the first tick, long before the limit
  EXPECT_EQ(ticks, 1);
  EXPECT_GE(firedAt, armedAt + 5);

  // With no timer armed and no limit there is nothing to wait for.
  sched.ClearStop();
  form.Timer1.Enabled = false;
  sched.Run();
  sched.Sleep(2);
  sched.DoEvents();
  EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace veltrix::console
