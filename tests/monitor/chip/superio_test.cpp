#include "monitor/chip/superio.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/program.h"
#include "tests/support/port_trace.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using Lines = std::vector<std::string>;
using sim::ChipModel;
using testsupport::PortLines;
using testsupport::SimProgram;

sim::BoardProfile BoardWith(ChipModel chip, std::uint16_t configPort) {
  sim::BoardProfile p = sim::DefaultProfile();
  p.chip = chip;
  p.configPort = configPort;
  return p;
}

std::uint16_t FamilyOf(ChipModel chip) {
  return sim::IsWinbond(chip) ? kChipFamilyWinbond : kChipFamilyIte;
}

// A program on a board with the given chip, family set as start-up would, trace empty.
struct ChipBench {
  ChipBench(ChipModel chip, std::uint16_t configPort) : p(BoardWith(chip, configPort)) {
    p.G().ChipFamily = FamilyOf(chip);
    p.G().HmIndexPort = 0x295;
    p.Ports().Reset();
  }
  Lines Trace() { return PortLines(p.Ports()); }
  Globals& G() { return p.G(); }
  SimProgram p;
};

TEST(ProbeSuperIo, WinbondTraceAndResultOnEachChip) {
  struct Case {
    ChipModel chip;
    const char* id;
    const char* rev;
    bool found;
  };
  // The W83637HF reports device id 0x70, which the probe does not accept.
  for (const Case& c :
       {Case{ChipModel::W83627HF, "52", "17", true}, Case{ChipModel::W83697HF, "60", "11", true},
        Case{ChipModel::W83637HF, "70", nullptr, false}}) {
    SCOPED_TRACE(sim::ChipModelName(c.chip));
    ChipBench b(c.chip, 0x2E);
    EXPECT_EQ(ProbeSuperIo(b.p.Prog(), 0x2E), c.found);
    Lines expected{"out 2E 87", "out 2E 87", "out 2E 20", std::string("in 2F -> ") + c.id};
    if (c.rev != nullptr) {
      expected.push_back("out 2E 21");
      expected.push_back(std::string("in 2F -> ") + c.rev);
    }
    expected.push_back("out 2E AA");
    EXPECT_EQ(b.Trace(), expected);
  }
}

TEST(ProbeSuperIo, IteTraceKeepsIdSumAndUsesThePortsOwnKey) {
  ChipBench b(ChipModel::IT8705F, 0x2E);
  EXPECT_TRUE(ProbeSuperIo(b.p.Prog(), 0x2E));
  EXPECT_EQ(b.G().ChipId, kChipIT8705F);
  EXPECT_EQ(b.Trace(), (Lines{"out 2E 87", "out 2E 01", "out 2E 55", "out 2E 55", "out 2E 20", "in 2F -> 87",
                              "out 2E 21", "in 2F -> 05", "out 2E 02", "out 2F 02"}));

  // An IT8712F strapped to 0x4E: the 0x2E probe fails but still leaves the sum of what the
  // bus returned; the 0x4E probe sends the 0x4E key and finds the chip.
  ChipBench c(ChipModel::IT8712F, 0x4E);
  EXPECT_FALSE(ProbeSuperIo(c.p.Prog(), 0x2E));
  EXPECT_EQ(c.G().ChipId, 0xFFu + 0xFFu);
  c.p.Ports().Reset();
  EXPECT_TRUE(ProbeSuperIo(c.p.Prog(), 0x4E));
  EXPECT_EQ(c.G().ChipId, kChipIT8712F);
  EXPECT_EQ(c.Trace(), (Lines{"out 4E 87", "out 4E 01", "out 4E 55", "out 4E AA", "out 4E 20", "in 4F -> 87",
                              "out 4E 21", "in 4F -> 12", "out 4E 02", "out 4F 02"}));
}

TEST(ProbeSuperIo, WinbondIdWithoutRevisionBit4IsNotFound) {
  for (ChipModel chip : {ChipModel::W83627HF, ChipModel::W83697HF}) {
    ChipBench b(chip, 0x2E);
    b.p.Machine().Chip().Config().SetRegister(0, 0x21, 0x07);
    EXPECT_FALSE(ProbeSuperIo(b.p.Prog(), 0x2E)) << sim::ChipModelName(chip);
    EXPECT_EQ(b.Trace().back(), "out 2E AA") << "configuration mode must be left";
  }
}

TEST(ConfigRegister, ReadAndWriteSelectTheMonitorDeviceAndLeave) {
  ChipBench w(ChipModel::W83627HF, 0x2E);
  w.G().ConfigPort = 0x2E;
  const std::uint8_t active = ReadConfigRegister(w.p.Prog(), 0x30);
  WriteConfigRegister(w.p.Prog(), 0x30, 0);
  char in[16];
  std::snprintf(in, sizeof in, "in 2F -> %02X", active);
  EXPECT_EQ(w.Trace(), (Lines{"out 2E 87", "out 2E 87", "out 2E 07", "out 2F 0B", "out 2E 30", in,
                              "out 2E AA", "out 2E 87", "out 2E 87", "out 2E 07", "out 2F 0B", "out 2E 30",
                              "out 2F 00", "out 2E AA"}));
  EXPECT_EQ(w.p.Machine().Chip().Config().GetRegister(0x0B, 0x30), 0);

  ChipBench i(ChipModel::IT8712F, 0x4E);
  i.G().ConfigPort = 0x4E;
  WriteConfigRegister(i.p.Prog(), 0x30, 1);
  EXPECT_EQ(i.Trace(), (Lines{"out 4E 87", "out 4E 01", "out 4E 55", "out 4E AA", "out 4E 07", "out 4F 04",
                              "out 4E 30", "out 4F 01", "out 4E 02", "out 4F 02"}));
  EXPECT_EQ(i.p.Machine().Chip().Config().GetRegister(0x04, 0x30), 1);
}

TEST(ConfigRegister, NothingIsTouchedWithoutAConfigurationPort) {
  ChipBench b(ChipModel::W83637HF, 0x2E);
  b.G().ConfigPort = 0;
  EXPECT_EQ(ReadConfigRegister(b.p.Prog(), 0x30), 0);
  WriteConfigRegister(b.p.Prog(), 0x30, 1);
  EXPECT_TRUE(b.Trace().empty());
}

TEST(VendorId, WinbondReadsBothBytesThroughBit7AndItePlainRegister) {
  ChipBench w(ChipModel::W83697HF, 0x2E);
  w.p.Machine().Chip().SetRegister(0, 0x4E, 0x02);
  EXPECT_EQ(ReadVendorId(w.p.Prog()), kVendorWinbond);
  const Lines trace = w.Trace();
  // SelectBank 0 (read-modify-write of 0x4E), set bit 7, read 0x4F, clear bit 7, read 0x4F.
  ASSERT_EQ(trace.size(), 16u) << testing::PrintToString(trace);
  EXPECT_EQ(trace[0], "out 295 4E");
  EXPECT_EQ(trace[3], "out 296 00");
  EXPECT_EQ(trace[7], "out 296 80");
  EXPECT_EQ(trace[9], "in 296 -> 5C");
  EXPECT_EQ(trace[13], "out 296 00");
  EXPECT_EQ(trace[15], "in 296 -> A3");

  for (ChipModel chip : {ChipModel::IT8705F, ChipModel::IT8712F}) {
    ChipBench i(chip, 0x2E);
    EXPECT_EQ(ReadVendorId(i.p.Prog()), kVendorIte);
    EXPECT_EQ(i.Trace(), (Lines{"out 295 58", "in 296 -> 90"}));
  }
}

TEST(ChipId, WinbondFromBank0Register58IteUntouched) {
  struct Case {
    ChipModel chip;
    std::uint32_t id;
  };
  for (const Case& c : {Case{ChipModel::W83627HF, kChipW83627HF}, Case{ChipModel::W83697HF, kChipW83697HF},
                        Case{ChipModel::W83637HF, kChipW83637HF}}) {
    ChipBench b(c.chip, 0x2E);
    ReadChipId(b.p.Prog());
    EXPECT_EQ(b.G().ChipId, c.id) << sim::ChipModelName(c.chip);
    const Lines trace = b.Trace();
    ASSERT_EQ(trace.size(), 6u);
    EXPECT_EQ(trace[4], "out 295 58");
  }
  ChipBench i(ChipModel::IT8712F, 0x2E);
  i.G().ChipId = 0x99;
  ReadChipId(i.p.Prog());
  EXPECT_EQ(i.G().ChipId, 0x99u);
  EXPECT_TRUE(i.Trace().empty());
}

TEST(SelectBank, KeepsBit7OfTheBankRegister) {
  ChipBench b(ChipModel::W83627HF, 0x2E);
  auto& chip = b.p.Machine().Chip();
  chip.SetRegister(0, 0x4E, 0x80);
  SelectBank(b.p.Prog(), 4);
  EXPECT_EQ(chip.GetRegister(0, 0x4E), 0x84);
  chip.SetRegister(0, 0x4E, 0x02);
  SelectBank(b.p.Prog(), 0);
  EXPECT_EQ(chip.GetRegister(0, 0x4E), 0x00);
}

TEST(FamilyRoutines, DoNothingForAnUnknownFamily) {
  ChipBench b(ChipModel::W83627HF, 0x2E);
  b.G().ChipFamily = 0;
  b.G().ConfigPort = 0x2E;
  EXPECT_FALSE(ProbeSuperIo(b.p.Prog(), 0x2E));
  EXPECT_EQ(ReadVendorId(b.p.Prog()), 0u);
  EXPECT_EQ(ReadConfigRegister(b.p.Prog(), 0x30), 0);
  WriteConfigRegister(b.p.Prog(), 0x30, 0);
  ReadChipId(b.p.Prog());
  StartMonitoring(b.p.Prog());
  StopMonitoring(b.p.Prog());
  EXPECT_TRUE(b.Trace().empty()) << b.p.TraceDump();
}

TEST(Monitoring, StartStopAndRestartBits) {
  ChipBench w(ChipModel::W83627HF, 0x2E);
  auto& chip = w.p.Machine().Chip();
  w.G().ChipId = kChipW83627HF;
  chip.SetRegister(0, 0x5D, 0xFF);
  StopMonitoring(w.p.Prog());
  EXPECT_EQ(chip.GetRegister(0, 0x40) & 0x01, 0);
  EXPECT_EQ(chip.GetRegister(0, 0x5D), 0xDE);
  StartMonitoring(w.p.Prog());
  EXPECT_EQ(chip.GetRegister(0, 0x40) & 0x01, 0x01);

  ChipBench i(ChipModel::IT8712F, 0x2E);
  StartMonitoring(i.p.Prog());
  const Lines trace = i.Trace();
  ASSERT_EQ(trace.size(), 4u) << "no sensor set-up on ITE chips";
  const int read = std::stoi(trace[1].substr(9), nullptr, 16);
  char out[16];
  std::snprintf(out, sizeof out, "out 296 %02X", read | 0x41);
  EXPECT_EQ(trace, (Lines{"out 295 00", trace[1], "out 295 00", out}));
}

TEST(Monitoring, StopLetsDueTimersRunOnce) {
  ChipBench b(ChipModel::W83697HF, 0x2E);
  forms::Form form(b.p.App(), "frmTimerHost");
  forms::Timer timer(form, "FanTimer");
  form.Load();
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  timer.Interval = 100;
  timer.Enabled = true;
  b.p.Scheduler().Sleep(150);  // the timer is due, nothing fired yet
  ASSERT_EQ(ticks, 0);
  StopMonitoring(b.p.Prog());
  EXPECT_EQ(ticks, 1);
}

TEST(SpeakerOff, ClearsGateDataAndBit4OfPort61) {
  ChipBench b(ChipModel::W83627HF, 0x2E);
  b.p.Ports().OutPortB(0x61, 0x03);
  b.p.Ports().Reset();
  SpeakerOff(b.p.Prog());
  const Lines trace = b.Trace();
  ASSERT_EQ(trace.size(), 2u);
  EXPECT_EQ(trace[0].substr(0, 9), "in 61 -> ");
  const int read = std::stoi(trace[0].substr(9), nullptr, 16);
  char out[16];
  std::snprintf(out, sizeof out, "out 61 %02X", read & 0xEC);
  EXPECT_EQ(trace[1], out);
  EXPECT_FALSE(b.p.Machine().Speaker().SpeakerOn());
}

}  // namespace
}  // namespace veltrix::monitor
