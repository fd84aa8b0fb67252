// The tray icon, its tip and menu, and the main window's window procedure, on the simulator
// with the recording shell.
#include "monitor/startup/tray_window.h"

#include <gtest/gtest.h>

#include <string>

#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/system/shell.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using platform::NullShell;
using testsupport::SimProgram;

class TrayWindowTest : public ::testing::Test {
 protected:
  void StartOn(std::string_view model, std::uint32_t lcid = 1033) {
    testsupport::SimProgramOptions options;
    options.lcid = lcid;
    sim_ = std::make_unique<SimProgram>(model, options);
    sim_->Prog().Svc().shell = &shell_;
    const auto ended = sim_->Start();
    ASSERT_FALSE(ended) << (sim_->Boxes().empty() ? std::string("no box") : sim_->Boxes().back().text);
    hWnd_ = shell_.WindowHandle("frmdoctor");
  }
  frmdoctor& Main() { return sim_->Prog().frmdoctor(); }
  std::int32_t Send(std::uint32_t msg, std::uint32_t wParam, std::int32_t lParam) {
    std::int32_t result = 0;
    EXPECT_FALSE(sim_->Run([&] { result = shell_.SendMessageA(hWnd_, msg, wParam, lParam); }));
    return result;
  }

  NullShell shell_;
  std::unique_ptr<SimProgram> sim_;
  std::uint32_t hWnd_ = 0;
};

TEST_F(TrayWindowTest, StartUpAddsTheIconWithTheFixedRecordAndTheProgramNameAsTip) {
  StartOn("ZT70");
  ASSERT_TRUE(shell_.TrayIconPresent());
  ASSERT_FALSE(shell_.Calls().empty());
  const auto& add = shell_.Calls().front();
  EXPECT_EQ(add.message, platform::NIM_ADD);
  EXPECT_EQ(add.data.cbSize, 88u);
  EXPECT_EQ(add.data.hWnd, hWnd_);
  EXPECT_EQ(add.data.uID, 1u);
  EXPECT_EQ(add.data.uFlags, 7u);
  EXPECT_EQ(add.data.uCallbackMessage, 0x200u);
  EXPECT_NE(add.data.hIcon, 0u);
  // Never an empty tip: before the first readings it names the program.
  const std::string name = boards::IsFanControlSupported(sim_->G().ModelName) ? "Hushwind" : "Veltrix III";
  const std::string tip = platform::TipText(add.data);
  EXPECT_EQ(tip.substr(0, name.size()), name);
  EXPECT_EQ(tip.find_first_not_of(' ', name.size()), std::string::npos);
}

TEST_F(TrayWindowTest, HoverWritesTheTipWithCrLfLinesPaddedTo64) {
  StartOn("ZT70");
  Main().lblStatusT[1].Visible = true;
  Main().lblFanSpeed[0].Visible = true;
  Send(0x200, 0, 0x200);
  const platform::NotifyIconData& record = shell_.TrayRecord();
  const std::string tip = platform::TipText(record);
  ASSERT_EQ(tip.size(), 64u);
  const std::string name = boards::IsFanControlSupported(sim_->G().ModelName) ? "Hushwind" : "Veltrix III";
  const std::string expected = name + "\r\n" + Main().lblTempItem[1].Caption + ":" +
                               Main().lblStatusT[1].Caption + "\r\n" + Main().lblFanItem[0].Caption + ":" +
                               Main().lblFanSpeed[0].Caption;
  EXPECT_EQ(tip.substr(0, expected.size()), expected);
  EXPECT_EQ(tip.find_first_not_of(' ', expected.size()), std::string::npos) << "blank padding";

  // A hidden temperature row leaves its line empty; both line breaks stay.
  Main().lblStatusT[1].Visible = false;
  Send(0x200, 0, 0x200);
  const std::string second = platform::TipText(shell_.TrayRecord());
  EXPECT_EQ(second.substr(0, name.size() + 4), name + "\r\n\r\n");
}

TEST_F(TrayWindowTest, LongTipsAreCutAt64WithoutSplittingACharacter) {
  StartOn("ZT70");
  Main().lblStatusT[1].Visible = true;
  Main().lblTempItem[1].Caption = std::string(80, 'T');
  Send(0x200, 0, 0x200);
  const std::string cut(shell_.TrayRecord().szTip, 64);
  EXPECT_EQ(cut.size(), 64u);
  EXPECT_EQ(cut.back(), 'T') << "the temperature name runs to the end of the field";
  // Three-byte characters: the cut falls before a character that would not fit whole.
  std::string chinese;
  for (int i = 0; i < 30; ++i) chinese += "\xe6\xba\xab";  // U+6EAB
  const platform::NotifyIconData data = TrayRecord(sim_->Prog(), chinese);
  EXPECT_EQ(std::string(data.szTip, 63), chinese.substr(0, 63));
  EXPECT_EQ(data.szTip[63], ' ');
}

TEST_F(TrayWindowTest, RightClickOpensTheMenuInTheLanguageAndDoubleClickShowsTheWindow) {
  StartOn("ZT70");
  std::vector<std::string> shown;
  struct Watch : forms::FormObserver {
    std::vector<std::string>* out;
    void PopupMenu(forms::Form& form, forms::Menu& menu) override {
      for (forms::Control* c : form.Controls()) {
        if (c->Container() == &menu) out->push_back(static_cast<forms::Menu*>(c)->Caption);
      }
    }
  } watch;
  watch.out = &shown;
  sim_->App().AddObserver(&watch);
  Send(0x200, 0, 0x205);
  EXPECT_EQ(shown, (std::vector<std::string>{"Show", "Exit"}));
  sim_->App().RemoveObserver(&watch);

  EXPECT_FALSE(Main().Visible);
  Send(0x200, 0, 0x203);
  EXPECT_TRUE(Main().Visible);
  Send(0x200, 0, 0x201);  // other mouse messages do nothing
}

TEST_F(TrayWindowTest, MenuCaptionsFollowTheChineseTables) {
  StartOn("ZT70", 1028);
  Send(0x200, 0, 0x205);
  EXPECT_EQ(Main().mnuShow.Caption.Get(), Text("28", 420).value_or("?"));
  EXPECT_EQ(Main().mnuExit.Caption.Get(), Text("28", 123).value_or("?"));
  EXPECT_NE(Main().mnuShow.Caption.Get(), "Show");
}

TEST_F(TrayWindowTest, HitTestMakesTheTitleImageACaptionStrictlyInside) {
  StartOn("ZT70");
  // A frameless 552 x 436 window at (100, 50): the title image is 550 x 53 pixels at 0, 0.
  shell_.SetWindowRects(hWnd_, {100, 50, 652, 486}, {0, 0, 552, 436});
  EXPECT_EQ(Send(0x84, 0, platform::MakeLParam(101, 51)), platform::HTCAPTION);
  EXPECT_EQ(Send(0x84, 0, platform::MakeLParam(649, 102)), platform::HTCAPTION);
  // The edges themselves are outside.
  EXPECT_EQ(Send(0x84, 0, platform::MakeLParam(100, 60)), platform::HTCLIENT);
  EXPECT_EQ(Send(0x84, 0, platform::MakeLParam(650, 60)), platform::HTCLIENT);
  EXPECT_EQ(Send(0x84, 0, platform::MakeLParam(200, 50)), platform::HTCLIENT);
  EXPECT_EQ(Send(0x84, 0, platform::MakeLParam(200, 103)), platform::HTCLIENT);
  // Outside the window the previous procedure's answer stands.
  EXPECT_EQ(Send(0x84, 0, platform::MakeLParam(20, 20)), platform::HTNOWHERE);

  // A window with a 4-pixel frame: the image starts 4 pixels further in.
  shell_.SetWindowRects(hWnd_, {0, 0, 560, 444}, {0, 0, 552, 436});
  EXPECT_TRUE(Main().IsInImage(5, 5));
  EXPECT_FALSE(Main().IsInImage(4, 5));
  EXPECT_FALSE(Main().IsInImage(5, 4));
}

TEST_F(TrayWindowTest, SuspendAndPowerStatusChangesStopMonitoringUntilAResume) {
  StartOn("ZT70");
  ASSERT_TRUE(Main().Timer1.Enabled);
  for (std::uint32_t suspend : {platform::PBT_APMSUSPEND, platform::PBT_APMPOWERSTATUSCHANGE, 0u}) {
    Send(0x218, suspend, 0);
    EXPECT_FALSE(Main().Timer1.Enabled) << suspend;
    EXPECT_FALSE(Main().Timer3.Enabled) << suspend;
    const auto ticks = sim_->Prog().MonitoringTicks();
    sim_->AdvanceMs(5000);
    EXPECT_EQ(sim_->Prog().MonitoringTicks(), ticks) << "no tick while suspended";
    EXPECT_FALSE(sim_->Machine().Chip().BeepOutput()) << "beeps cleared";
    Send(0x218, platform::PBT_APMRESUMESUSPEND, 0);
    EXPECT_TRUE(Main().Timer1.Enabled);
    EXPECT_TRUE(Main().Timer3.Enabled);
  }
  for (std::uint32_t resume : {6u, 7u, 0x12u}) {
    Send(0x218, platform::PBT_APMSUSPEND, 0);
    Send(0x218, resume, 0);
    EXPECT_TRUE(Main().Timer1.Enabled) << resume;
    const auto ticks = sim_->Prog().MonitoringTicks();
    sim_->AdvanceMs(3000);
    EXPECT_GT(sim_->Prog().MonitoringTicks(), ticks) << resume;
  }
}

TEST_F(TrayWindowTest, UnloadPutsThePreviousProcedureBackAndExitRemovesTheIcon) {
  StartOn("ZT70");
  EXPECT_TRUE(shell_.ProcedureReplaced(hWnd_));
  EXPECT_EQ(sim_->Run([&] { Main().mnuExit.UserClick(); }), std::nullopt);
  EXPECT_FALSE(Main().IsLoaded());
  EXPECT_FALSE(shell_.ProcedureReplaced(hWnd_));
  EXPECT_FALSE(shell_.TrayIconPresent());
  EXPECT_EQ(shell_.Calls().back().message, platform::NIM_DELETE);
}

TEST_F(TrayWindowTest, ExitPictureEndsTheProgramAndMinimisePictureHidesTheWindow) {
  StartOn("ZT70");
  Main().Show();
  sim_->Run([&] { Main().picMin.UserClick(); });
  EXPECT_FALSE(Main().Visible);
  EXPECT_TRUE(Main().IsLoaded());
  Main().Show();
  EXPECT_EQ(sim_->Run([&] { Main().picExit.UserClick(); }), 0);
  EXPECT_FALSE(shell_.TrayIconPresent());
}

}  // namespace
}  // namespace veltrix::monitor
