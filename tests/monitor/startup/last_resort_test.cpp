// The last-resort restore: what it puts back, through which port, and when it has nothing to do.
#include "monitor/startup/last_resort_restore.h"

#include <gtest/gtest.h>

#include "monitor/channels/fan_output.h"
#include "monitor/startup/exit_program.h"
#include "monitor/program.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using testsupport::SimProgram;

TEST(LastResort, PutsTheChipBackThroughTheRawPortOnEveryChip) {
  for (const char* model : {"ZT50E", "ZV62E", "ZT70", "ZR41E", "ZR61"}) {
    SCOPED_TRACE(model);
    SimProgram p(model);
    auto& chip = p.Machine().Chip();
    const bool winbond = p.Profile().chip == sim::ChipModel::W83627HF ||
                         p.Profile().chip == sim::ChipModel::W83697HF ||
                         p.Profile().chip == sim::ChipModel::W83637HF;
    EXPECT_EQ(p.Prog().LastResort().Size(), 0u) << "nothing to put back before start-up";
    ASSERT_EQ(p.Start(), std::nullopt);
    // Slowed fans, programmed offsets and beeps, the speaker on: as a crash would find them.
    p.Run([&] {
      SetFanSpeed(p.Prog(), 0, 20);
      SetFanSpeed(p.Prog(), 1, 35);
    });
    if (winbond) {
      chip.SetRegister(4, 0x55, 9);
      chip.SetRegister(0, 0x57, 0xFF);
    }
    p.Machine().Port().OutPortB(0x61, 0x03);
    p.Ports().Reset();

    EXPECT_GT(p.Prog().LastResort().Play(), 0u);
    EXPECT_TRUE(p.Ports().Trace().empty()) << "the raw backend, never the tracer";
    const std::uint8_t full = winbond ? 255 : 100;
    EXPECT_EQ(chip.GetRegister(0, FanOutputRegister(p.Prog(), 0)), full);
    EXPECT_EQ(chip.GetRegister(0, FanOutputRegister(p.Prog(), 1)), full);
    if (winbond) {
      EXPECT_EQ(chip.GetRegister(4, 0x55), 0);
      EXPECT_EQ(chip.GetRegister(0, 0x57), 0);
      EXPECT_EQ(chip.GetRegister(0, 0x4E) & 0x07, 0) << "bank 0 left selected";
    }
    EXPECT_EQ(p.Machine().Speaker().ControlBits() & 0x03, 0) << "speaker gate and data off";
    EXPECT_EQ(p.Prog().LastResort().Play(), 0u) << "played once";
  }
}

TEST(LastResort, TheOrderlyExitLeavesNothingForIt) {
  SimProgram p("ZT50E");
  ASSERT_EQ(p.Start(), std::nullopt);
  EXPECT_GT(p.Prog().LastResort().Size(), 0u);
  p.Run([&] { ExitProgram(p.Prog()); });
  EXPECT_EQ(p.Prog().LastResort().Size(), 0u);
}

TEST(LastResort, DeactivatesTheMonitorDeviceOnlyWhenStartUpActivatedIt) {
  for (bool inactive : {true, false}) {
    SimProgram p("ZT50E");
    auto& chip = p.Machine().Chip();
    chip.Config().SetRegister(chip.MonitorLdn(), 0x30, inactive ? 0 : 1);
    ASSERT_EQ(p.Start(), std::nullopt);
    ASSERT_EQ(chip.Config().GetRegister(chip.MonitorLdn(), 0x30), 1);
    p.Prog().LastResort().Play();
    EXPECT_EQ(chip.Config().GetRegister(chip.MonitorLdn(), 0x30), inactive ? 0 : 1);
  }
}

}  // namespace
}  // namespace veltrix::monitor
