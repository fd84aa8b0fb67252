#include <gtest/gtest.h>

#include <cmath>

#include "sim/board/board_profile.h"
#include "sim/machine/sim_machine.h"
#include "sim/scenario/scenario.h"

namespace veltrix::sim {
namespace {

// Monitor register access as the program does it: index port 0x295, data port 0x296.
std::uint8_t ReadMonitor(platform::PortIo& io, std::uint8_t reg) {
  io.OutPortB(0x295, reg);
  return io.InPortB(0x296);
}
void WriteMonitor(platform::PortIo& io, std::uint8_t reg, std::uint8_t value) {
  io.OutPortB(0x295, reg);
  io.OutPortB(0x296, value);
}

std::uint8_t WinbondDeviceId(platform::PortIo& io, std::uint16_t port) {
  io.OutPortB(port, 0x87);
  io.OutPortB(port, 0x87);
  io.OutPortB(port, 0x20);
  std::uint8_t id = io.InPortB(static_cast<std::uint16_t>(port + 1));
  io.OutPortB(port, 0xAA);
  return id;
}

TEST(SimMachine, ChipAnswersAtItsConfigurationPortOnly) {
  SimMachine zq(*FindProfile("ZQ6A-PRO"), 1);
  EXPECT_EQ(WinbondDeviceId(zq.Port(), 0x2E), 0x52);
  EXPECT_EQ(WinbondDeviceId(zq.Port(), 0x4E), 0xFF);

  SimMachine zt(*FindProfile("ZT50-PLUS"), 1);  // W83637HF strapped to 0x4E
  EXPECT_EQ(WinbondDeviceId(zt.Port(), 0x4E), 0x70);

  // A board whose chip ignores the keys still has its monitor at 0x295.
  SimMachine np(*FindProfile("ZQ6A-NOPROBE"), 1);
  EXPECT_EQ(WinbondDeviceId(np.Port(), 0x2E), 0xFF);
  EXPECT_EQ(WinbondDeviceId(np.Port(), 0x4E), 0xFF);
  EXPECT_EQ(ReadMonitor(np.Port(), 0x58), 0x21);
}

TEST(SimMachine, CountsConvertBackToTheRailsWithTheProgramsFactors) {
  SimMachine m(*FindProfile("ZQ6A-PRO"), 3);
  m.Advance(1000);
  platform::PortIo& io = m.Port();
  EXPECT_NEAR(ReadMonitor(io, 0x23) * 0.016 / 0.595, 5.0, 0.03);
  EXPECT_NEAR(ReadMonitor(io, 0x24) * 0.016 / 0.263, 12.0, 0.07);
  EXPECT_NEAR(5.15 * (ReadMonitor(io, 0x25) * 0.016 - 3.6) + 3.6, -12.0, 0.1);
  EXPECT_NEAR(3.14 * (ReadMonitor(io, 0x26) * 0.016 - 3.6) + 3.6, -5.0, 0.06);
  WriteMonitor(io, 0x4E, 5);
  EXPECT_NEAR(ReadMonitor(io, 0x50) * 0.016 / 0.66, 5.0, 0.03);  // 5Vsb through the chip's divider
  WriteMonitor(io, 0x4E, 0);

  SimMachine ite(*FindProfile("ZV75-DDR"), 3);  // -12V on in7 of the updated DDR wiring
  ite.Advance(1000);
  EXPECT_NEAR(ReadMonitor(ite.Port(), 0x27) * 0.0822 - 16.9691, -12.0, 0.1);
  EXPECT_NEAR(ReadMonitor(ite.Port(), 0x26) * 0.064, 12.0, 0.07);
}

TEST(SimMachine, FanFollowsTheChipOutput) {
  SimMachine m(*FindProfile("ZQ6A-PRO"), 4);
  platform::PortIo& io = m.Port();
  m.Advance(1000);
  const std::uint8_t running = ReadMonitor(io, 0x28);
  EXPECT_LT(running, 255);
  WriteMonitor(io, 0x4E, 0);
  WriteMonitor(io, 0x5A, 0x00);  // PWM1 duty 0: the CPU fan stops
  m.Advance(30000);
  EXPECT_EQ(ReadMonitor(io, 0x28), 255);
  WriteMonitor(io, 0x5A, 0xFF);
  m.Advance(1000);
  EXPECT_LT(ReadMonitor(io, 0x28), 255);  // spinning up again
  m.Advance(15000);
  EXPECT_NEAR(ReadMonitor(io, 0x28), running, 2);
}

TEST(SimMachine, CaseOpenReachesChipsetAndChip) {
  SimMachine m(*FindProfile("ZQ6A-PRO"), 1);  // Intel flag at PmBase 0x400, chip CASEOPEN wired
  platform::PortIo& io = m.Port();
  EXPECT_EQ(io.InPortB(0x466) & 0x01, 0);
  m.SetCaseOpen(true);
  m.Advance(500);
  EXPECT_EQ(io.InPortB(0x466) & 0x01, 1);
  EXPECT_NE(ReadMonitor(io, 0x42) & 0x10, 0);
  io.OutPortB(0x466, 0x01);  // the program's clear
  EXPECT_EQ(io.InPortB(0x466) & 0x01, 0);

  SimMachine via(*FindProfile("ZR45-MAX"), 1);  // VIA flag at PmBase 0x800 + 0x20, bit 6 low = opened
  EXPECT_NE(via.Port().InPortB(0x820) & 0x40, 0);
  via.SetCaseOpen(true);
  EXPECT_EQ(via.Port().InPortB(0x820) & 0x40, 0);
}

TEST(SimMachine, ScenarioEventsHappenAtTheirTime) {
  SimMachine m(*FindProfile("ZQ6A-PRO"), 9);
  std::vector<PowerEvent> delivered;
  m.SetPowerEventHandler([&](PowerEvent e) { delivered.push_back(e); });
  auto parsed = ParseScenario(
      "at 2s rail +12V 10.8\n"
      "at 3s garbage reg 0x29 0x00\n"
      "at 4s rail +12V nominal\n"
      "at 5s fan CPU stop\n"
      "at 6s temp CPU 95\n"
      "at 12s suspend\n"
      "at 13s resume\n",
      "demo.scn");
  ASSERT_TRUE(parsed.scenario) << parsed.error;
  ASSERT_EQ(m.LoadScenario(*parsed.scenario), "");
  platform::PortIo& io = m.Port();

  m.Advance(1999);
  EXPECT_NEAR(ReadMonitor(io, 0x24) * 0.016 / 0.263, 12.0, 0.07);
  m.Advance(1);
  EXPECT_NEAR(ReadMonitor(io, 0x24) * 0.016 / 0.263, 10.8, 0.07);
  m.Advance(1000);
  EXPECT_EQ(ReadMonitor(io, 0x29), 0x00);  // the second fan's count reads garbage
  m.Advance(1000);
  EXPECT_NEAR(ReadMonitor(io, 0x24) * 0.016 / 0.263, 12.0, 0.07);
  m.Advance(3000);
  EXPECT_EQ(ReadMonitor(io, 0x28), 255);
  EXPECT_EQ(ReadMonitor(io, 0x27), 95);
  EXPECT_TRUE(delivered.empty());
  m.Advance(7000);
  EXPECT_EQ(delivered, (std::vector<PowerEvent>{PowerEvent::kSuspend, PowerEvent::kResume}));
  EXPECT_EQ(m.PendingScenarioEvents(), 0u);
}

TEST(SimMachine, SameSeedSameRegisters) {
  SimMachine a(*FindProfile("ZV75-DDR"), 77), b(*FindProfile("ZV75-DDR"), 77);
  a.SetLoad(60);
  b.SetLoad(60);
  for (int step = 0; step < 20; ++step) {
    a.Advance(700);
    b.Advance(700);
    for (int reg = 0; reg < 0x80; ++reg)
      ASSERT_EQ(a.Chip().GetRegister(0, static_cast<std::uint8_t>(reg)),
                b.Chip().GetRegister(0, static_cast<std::uint8_t>(reg)))
          << "register " << reg << " at step " << step;
  }
}

}  // namespace
}  // namespace veltrix::sim
