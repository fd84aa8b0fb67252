// Chassis intrusion on the four kinds of board, the NT branch, and frmCaseOpen's speaker.
#include <gtest/gtest.h>

#include <algorithm>

#include "monitor/alarms/alarm_windows.h"
#include "platform/system/sim_system.h"
#include "tests/monitor/alarms/alarm_test_support.h"
#include "tests/support/port_trace.h"

namespace veltrix::testsupport {
namespace {

using monitor::kChassisItem;
using monitor::boards::ChassisMethod;

constexpr const char* kOpened = "PC chassis is opened!!!";
constexpr const char* kClosed = "PC chassis is closed...";

class ChassisMethods : public ::testing::TestWithParam<ChassisMethod> {};

TEST_P(ChassisMethods, OpenCaseRaisesTheDialogAndIgnoreOrDisableClearTheFlag) {
  SimProgram p(BoardWithChassis(GetParam()));
  ASSERT_FALSE(p.Start());
  Ticks(p, 1);
  auto& m = Main(p);
  EXPECT_EQ(m.lblCaseOpen.Caption.Get(), kClosed);
  EXPECT_FALSE(m.optCaseOpened.Value.Get());

  // The switch latches: the flag stays after the case is closed again.
  p.Machine().SetCaseOpen(true);
  p.Machine().SetCaseOpen(false);
  Ticks(p, 1);
  EXPECT_EQ(m.lblCaseOpen.Caption.Get(), kOpened);
  EXPECT_TRUE(m.optCaseOpened.Value.Get());
  ASSERT_TRUE(Showing(p, "frmCaseOpen"));
  EXPECT_EQ(Dialog(p, "frmCaseOpen")->Message.Caption.Get(), "Your PC chassis has been opened!!");
  Ticks(p, 1);
  EXPECT_TRUE(Showing(p, "frmCaseOpen")) << "the flag is reported again on every tick";

  Dialog(p, "frmCaseOpen")->Command[monitor::kIgnoreButton].UserClick();
  EXPECT_FALSE(Dialog(p, "frmCaseOpen")->IsLoaded());
  EXPECT_FALSE(p.Machine().Speaker().SpeakerOn());
  EXPECT_EQ(m.lblCaseOpen.Caption.Get(), kClosed);
  Ticks(p, 2);
  EXPECT_FALSE(Showing(p, "frmCaseOpen")) << "the hardware flag was cleared";
  EXPECT_EQ(m.WarnCount[kChassisItem], 0);

  // Open again, then Disable: the row goes and the flag is no longer read at all.
  p.Machine().SetCaseOpen(true);
  Ticks(p, 1);
  ASSERT_TRUE(Showing(p, "frmCaseOpen"));
  const std::string registryBefore = p.Registry().Dump();
  Dialog(p, "frmCaseOpen")->Command[monitor::kDisableButton].UserClick();
  EXPECT_FALSE(Dialog(p, "frmCaseOpen")->IsLoaded());
  EXPECT_EQ(m.WEnable[kChassisItem], 0);
  EXPECT_EQ(m.SavedWEnable[kChassisItem], 1) << "Disable here leaves the saved copy alone";
  EXPECT_FALSE(m.lblCaseOpen.Visible.Get());
  EXPECT_FALSE(m.optCaseOpened.Visible.Get());
  const std::string rowText = m.lblCaseOpen.Caption.Get();
  p.Machine().SetCaseOpen(false);
  p.Machine().SetCaseOpen(true);
  Ticks(p, 3);
  EXPECT_FALSE(Showing(p, "frmCaseOpen"));
  EXPECT_EQ(m.lblCaseOpen.Caption.Get(), rowText);
  EXPECT_EQ(p.Registry().Dump(), registryBefore);
}

INSTANTIATE_TEST_SUITE_P(AllMethods, ChassisMethods,
                         ::testing::Values(ChassisMethod::kIntel, ChassisMethod::kVia, ChassisMethod::kNvidia,
                                           ChassisMethod::kWinbond),
                         [](const auto& param) {
                           switch (param.param) {
                             case ChassisMethod::kIntel:
                               return "Intel";
                             case ChassisMethod::kVia:
                               return "VIA";
                             case ChassisMethod::kNvidia:
                               return "NVIDIA";
                             default:
                               return "Winbond";
                           }
                         });

TEST(Chassis, NtFamilyTurnsTheFeatureOffWithoutTouchingAPort) {
  SimProgram p(BoardWithChassis(ChassisMethod::kIntel));
  ASSERT_FALSE(p.Start());
  p.System().SetVersion(platform::NtVersion(5, 1, 2600));
  p.Machine().SetCaseOpen(true);
  Ticks(p, 1);  // the tick before the version change may still be in flight
  const std::uint16_t status = static_cast<std::uint16_t>(p.G().PmBase + 0x66);
  const std::size_t from = p.Ports().Trace().size();
  Ticks(p, 2);
  EXPECT_EQ(Main(p).lblCaseOpen.Caption.Get(), "In NT/2000/XP platform, can't use chassis Intrusion.");
  EXPECT_FALSE(Main(p).optCaseOpened.Value.Get());
  for (const std::string& line : PortLines(p.Ports(), from)) {
    char expected[16];
    std::snprintf(expected, sizeof expected, "in %02X", status);
    EXPECT_NE(line.rfind(expected, 0), 0u) << line;
  }
}

TEST(Chassis, ModelWithoutChassisEntrySaysSoAndRaisesNothing) {
  std::string model;
  for (const auto& board : monitor::boards::AllKnownModels()) {
    if (board.refusedAt == monitor::boards::Refusal::kNone && sim::FindProfile(board.model) != nullptr &&
        !monitor::boards::ChassisMethodFor(board.model)) {
      model = board.model;
      break;
    }
  }
  if (model.empty()) GTEST_SKIP() << "every supported board has a chassis entry";
  SimProgram p(model);
  ASSERT_FALSE(p.Start());
  p.Machine().SetCaseOpen(true);
  Ticks(p, 2);
  EXPECT_EQ(Main(p).lblCaseOpen.Caption.Get(), "This PC don't support chassis intrusion.");
  EXPECT_EQ(Dialog(p, "frmCaseOpen"), nullptr);
}

TEST(CaseOpenDialog, SpeakerAlternatesLowAndHighTonesUntilBeepIsOffOrTheDialogCloses) {
  SimProgram p(BoardWithChassis(ChassisMethod::kIntel));
  ASSERT_FALSE(p.Start());
  auto& m = Main(p);
  m.WBeep[kChassisItem] = 1;
  p.Machine().SetCaseOpen(true);
  Ticks(p, 1);
  ASSERT_TRUE(Showing(p, "frmCaseOpen"));
  EXPECT_EQ(m.lblCaseOpen.Caption.Get(), kOpened);
  EXPECT_FALSE(p.Machine().Speaker().SpeakerOn()) << "nothing sounds before the first tone tick";

  const std::size_t from = p.Ports().Trace().size();
  p.AdvanceMs(450);
  EXPECT_TRUE(p.Machine().Speaker().SpeakerOn());
  EXPECT_NEAR(p.Machine().Speaker().ToneHz(), 589.0, 1.0);
  std::vector<std::string> lines = PortLines(p.Ports(), from);
  const auto beep =
      std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l == "out 43 B6"; });
  ASSERT_NE(beep, lines.end());
  ASSERT_GE(lines.end() - beep, 3);
  EXPECT_EQ(beep[1], "out 42 EB");
  EXPECT_EQ(beep[2], "out 42 07");
  EXPECT_EQ(beep[-1].substr(0, 6), "out 61");
  EXPECT_EQ(beep[-2].substr(0, 5), "in 61");

  p.AdvanceMs(450);
  EXPECT_NEAR(p.Machine().Speaker().ToneHz(), 1178.0, 1.0);
  p.AdvanceMs(450);
  EXPECT_NEAR(p.Machine().Speaker().ToneHz(), 589.0, 1.0);

  m.WBeep[kChassisItem] = 0;
  p.AdvanceMs(450);
  EXPECT_FALSE(p.Machine().Speaker().SpeakerOn());
  EXPECT_TRUE(Showing(p, "frmCaseOpen"));

  m.WBeep[kChassisItem] = 1;
  p.AdvanceMs(450);
  EXPECT_TRUE(p.Machine().Speaker().SpeakerOn());
  Dialog(p, "frmCaseOpen")->Command[monitor::kIgnoreButton].UserClick();
  EXPECT_FALSE(p.Machine().Speaker().SpeakerOn());
  EXPECT_EQ(m.lblCaseOpen.Caption.Get(), kClosed);
  const int loads = p.Machine().Speaker().CountLoads();
  p.AdvanceMs(2000);
  EXPECT_EQ(p.Machine().Speaker().CountLoads(), loads) << "no tone once the dialog is gone";
}

}  // namespace
}  // namespace veltrix::testsupport
