// Timers on the virtual scheduler: order, no overlap, no catch-up bursts, re-arming, and
// timers of forms that are not loaded.
#include <gtest/gtest.h>

#include "tests/platform/forms/test_form.h"

namespace veltrix::forms::testing {
namespace {

class TimerForm : public Form {
 public:
  explicit TimerForm(Application& app) : Form(app, "frmTimers") {
    Fast.OnTimer = [this] { fired.push_back("Fast@" + std::to_string(Sched().NowMs())); };
    Slow.OnTimer = [this] { fired.push_back("Slow@" + std::to_string(Sched().NowMs())); };
  }
  Timer Fast{*this, "Fast"};
  Timer Slow{*this, "Slow"};
  std::vector<std::string> fired;

 protected:
  void InitializeComponent() override {
    Fast.Interval = 100;
    Slow.Interval = 250;
  }
};

using Log = std::vector<std::string>;

class SchedulerTest : public ::testing::Test {
 protected:
  VirtualScheduler sched;
  Application app{sched};
  TimerForm form{app};
};

TEST_F(SchedulerTest, TimersFireInTimeOrderWithTheClockAtTheirDueTime) {
  form.Load();
  sched.AdvanceBy(500);
  // At 500 both are due: Slow was armed (at 250) before Fast (at 400), so it goes first.
  EXPECT_EQ(form.fired,
            (Log{"Fast@100", "Fast@200", "Slow@250", "Fast@300", "Fast@400", "Slow@500", "Fast@500"}));
  EXPECT_EQ(sched.NowMs(), 500);
}

TEST_F(SchedulerTest, TimersOfFormsNotLoadedNeverFire) {
  form.Fast.Enabled = true;  // not loaded: nothing is armed
  sched.AdvanceBy(1000);
  EXPECT_TRUE(form.fired.empty());
  form.Load();
  form.Unload();
  sched.AdvanceBy(1000);
  EXPECT_TRUE(form.fired.empty());
  EXPECT_EQ(sched.ArmedCount(), 0u);
}

TEST_F(SchedulerTest, ChangesRearmFromTheMomentOfTheChange) {
  form.Load();
  form.Slow.Enabled = false;
  sched.AdvanceBy(150);      // Fast@100
  form.Fast.Interval = 300;  // next at 450
  sched.AdvanceBy(250);      // t = 400
  form.Fast.Enabled = false;
  form.Fast.Enabled = true;  // next at 700
  sched.AdvanceBy(400);      // t = 800
  form.Fast.Interval = 0;    // never fires
  sched.AdvanceBy(5000);
  EXPECT_EQ(form.fired, (Log{"Fast@100", "Fast@700"}));
}

TEST_F(SchedulerTest, AHandlerIsNeverReenteredAndMissedTicksAreNotQueued) {
  form.Load();
  form.Slow.Enabled = false;
  int depth = 0;
  int maxDepth = 0;
  form.Fast.OnTimer = [&] {
    form.fired.push_back("Fast@" + std::to_string(sched.NowMs()));
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    if (form.fired.size() == 1) {
      sched.Sleep(1000);  // busy for ten periods
      app.DoEvents();     // its own tick is due, but it is running
    }
    --depth;
  };
  sched.AdvanceBy(100);  // fires at 100, returns at 1100
  EXPECT_EQ(sched.NowMs(), 1100);
  sched.AdvanceBy(250);  // late tick once, then one period on
  EXPECT_EQ(form.fired, (Log{"Fast@100", "Fast@1100", "Fast@1200", "Fast@1300"}));
  EXPECT_EQ(maxDepth, 1);
}

TEST_F(SchedulerTest, SleepMovesTimeWithoutFiringAndListenersHearEveryMove) {
  std::vector<std::int64_t> heard;
  sched.AddTimeListener([&](std::int64_t now) { heard.push_back(now); });
  form.Load();
  sched.Sleep(120);
  EXPECT_TRUE(form.fired.empty());
  sched.Sleep(0);
  app.DoEvents();  // Fast was due at 100
  EXPECT_EQ(form.fired, Log{"Fast@120"});
  sched.AdvanceBy(100);  // Fast next due at 200 (its period kept), Slow at 250 is beyond 220
  EXPECT_EQ(heard, (std::vector<std::int64_t>{120, 200, 220}));
}

TEST_F(SchedulerTest, UnloadFromItsOwnTimerHandlerAndStopRequests) {
  form.Load();
  form.Fast.OnTimer = [&] {
    form.fired.push_back("Fast");
    form.Unload();
  };
  sched.AdvanceBy(1000);
  EXPECT_EQ(form.fired, Log{"Fast"});
  EXPECT_FALSE(form.IsLoaded());

  form.Load();
  form.Fast.OnTimer = [&] {
    form.fired.push_back("stop");
    sched.RequestStop();
  };
  EXPECT_EQ(sched.NextDue(), 1100);
  EXPECT_TRUE(sched.RunNext());
  EXPECT_FALSE(sched.RunNext());
  EXPECT_EQ(sched.NowMs(), 1100);
  sched.ClearStop();
  EXPECT_TRUE(sched.RunNext());
  EXPECT_EQ(form.fired.back(), "stop");
}

TEST_F(SchedulerTest, WakeSourcesMoveTheClockWhileNoTimerRuns) {
  // An outside event at 350 ms that re-enables the timers (a resume after a suspend).
  std::int64_t pending = 350;
  sched.AddWakeSource([&] { return pending; });
  sched.AddTimeListener([&](std::int64_t now) {
    if (pending >= 0 && now >= pending) {
      pending = -1;
      form.Slow.Enabled = true;
    }
  });
  form.Load();
  form.Fast.Enabled = false;
  form.Slow.Enabled = false;
  ASSERT_TRUE(sched.RunNext());
  EXPECT_EQ(sched.NowMs(), 350);
  ASSERT_TRUE(sched.RunNext());
  EXPECT_EQ(form.fired, Log{"Slow@600"});
  form.Slow.Enabled = false;
  EXPECT_FALSE(sched.RunNext()) << "nothing left to happen";

  // A timer due before the outside event fires first.
  pending = 900;
  form.Fast.Enabled = true;
  ASSERT_TRUE(sched.RunNext());
  EXPECT_EQ(form.fired.back(), "Fast@700");
}

}  // namespace
}  // namespace veltrix::forms::testing
