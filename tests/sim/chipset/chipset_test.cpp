// Chipset chassis flags, the PC speaker and the bus itself, driven through the port-I/O
// library the way the monitoring program uses them.
#include <gtest/gtest.h>

#include <memory>

#include "platform/portio/tracing_port_io.h"
#include "sim/bus/port_bus.h"
#include "sim/chip/chip.h"
#include "sim/chipset/chassis_intrusion.h"
#include "sim/chipset/pc_speaker.h"

namespace veltrix::sim {
namespace {

constexpr std::uint16_t kPmBase = 0x4000;

struct Board {
  Board() : io(bus) {
    bus.Attach(intel);
    bus.Attach(via);
    bus.Attach(nvidia);
    bus.Attach(speaker);
  }
  SimPortBus bus;
  std::shared_ptr<IntelTcoIntrusion> intel = std::make_shared<IntelTcoIntrusion>(kPmBase);
  std::shared_ptr<ViaIntrusion> via = std::make_shared<ViaIntrusion>(kPmBase + 0x100);
  std::shared_ptr<NvidiaIntrusion> nvidia = std::make_shared<NvidiaIntrusion>();
  std::shared_ptr<PcSpeaker> speaker = std::make_shared<PcSpeaker>();
  platform::TracingPortIo io;
};

TEST(ChassisFlags, EachSchemeLatchesAnOpeningAndClearsWithTheProgramsWrite) {
  Board b;
  const std::uint16_t viaPort = kPmBase + 0x100 + 0x20;
  // Closed.
  EXPECT_EQ(b.io.InPortB(kPmBase + 0x66) & 0x01, 0);
  EXPECT_EQ(b.io.InPortB(viaPort) & 0x40, 0x40) << "VIA bit 6 reads 1 while closed";
  EXPECT_EQ(b.io.InPortB(0x4444) & 0x04, 0);

  b.intel->SetIntrusion(true);
  b.via->SetIntrusion(true);
  b.nvidia->SetIntrusion(true);
  EXPECT_EQ(b.io.InPortB(kPmBase + 0x66) & 0x01, 0x01);
  EXPECT_EQ(b.io.InPortB(viaPort) & 0x40, 0);
  EXPECT_EQ(b.io.InPortB(0x4444) & 0x04, 0x04);
  EXPECT_EQ(b.io.InPortB(0x4444) & 0x04, 0x04) << "reading does not clear";

  // Closing the case does not clear a latched flag; the program's writes do.
  b.intel->SetIntrusion(false);
  EXPECT_EQ(b.io.InPortB(kPmBase + 0x66) & 0x01, 0x01);
  b.io.OutPortB(kPmBase + 0x66, 0x01);
  b.io.OutPortB(viaPort, 0x40);
  b.io.OutPortB(0x4444, 0x04);
  EXPECT_EQ(b.io.InPortB(kPmBase + 0x66) & 0x01, 0);
  EXPECT_EQ(b.io.InPortB(viaPort) & 0x40, 0x40);
  EXPECT_EQ(b.io.InPortB(0x4444) & 0x04, 0);
  EXPECT_EQ(b.intel->Clears() + b.via->Clears() + b.nvidia->Clears(), 3);

  // A clear while the case stays open holds until the next opening.
  b.nvidia->SetIntrusion(true);
  EXPECT_EQ(b.io.InPortB(0x4444) & 0x04, 0);
  b.nvidia->SetIntrusion(false);
  b.nvidia->SetIntrusion(true);
  EXPECT_EQ(b.io.InPortB(0x4444) & 0x04, 0x04);
  // Writes without the flag's bit do not clear.
  b.io.OutPortB(0x4444, 0x00);
  b.io.OutPortB(kPmBase + 0x66, 0x02);
  EXPECT_EQ(b.io.InPortB(0x4444) & 0x04, 0x04);

  // The NVIDIA set-up register keeps what the start-up code writes.
  b.io.OutPortB(0x4449, b.io.InPortB(0x4449) | 0x11);
  EXPECT_EQ(b.nvidia->SetupRegister(), 0x11);
}

TEST(PcSpeaker, TonesFollowTheProgramsSequence) {
  Board b;
  auto beep = [&](std::uint16_t divisor) {
    b.io.OutPortB(0x61, b.io.InPortB(0x61) | 0x03);
    b.io.OutPortB(0x43, 0xB6);
    b.io.OutPortB(0x42, divisor & 0xFF);
    b.io.OutPortB(0x42, divisor >> 8);
  };
  EXPECT_FALSE(b.speaker->SpeakerOn());
  beep(0x07EB);
  EXPECT_TRUE(b.speaker->SpeakerOn());
  EXPECT_NEAR(b.speaker->ToneHz(), 589, 1);
  EXPECT_EQ(b.speaker->Mode(), 3);
  beep(0x03F5);
  EXPECT_NEAR(b.speaker->ToneHz(), 1178, 1);
  EXPECT_EQ(b.speaker->CountLoads(), 2);

  // Reading the count back, low byte first.
  EXPECT_EQ(b.io.InPortB(0x42), 0xF5);
  EXPECT_EQ(b.io.InPortB(0x42), 0x03);

  // Off: the program writes port 0x61 AND 0xEC.
  b.io.OutPortB(0x61, b.io.InPortB(0x61) & 0xEC);
  EXPECT_FALSE(b.speaker->SpeakerOn());
  EXPECT_EQ(b.speaker->ControlBits() & 0x03, 0);

  // Bit 4 toggles between reads, bits 6/7 read 0, and gate alone does not sound.
  const std::uint8_t r1 = b.io.InPortB(0x61);
  const std::uint8_t r2 = b.io.InPortB(0x61);
  EXPECT_NE(r1 & 0x10, r2 & 0x10);
  EXPECT_EQ(r1 & 0xC0, 0);
  b.io.OutPortB(0x61, 0x01);
  EXPECT_FALSE(b.speaker->SpeakerOn());
  // A control word for another channel leaves channel 2 alone.
  b.io.OutPortB(0x61, 0x03);
  b.io.OutPortB(0x43, 0x36);
  EXPECT_TRUE(b.speaker->SpeakerOn());
  EXPECT_NEAR(b.speaker->ToneHz(), 1178, 1);
}

TEST(SimPortBus, UnclaimedPortsFloatAndLibraryFaultsAreSettable) {
  SimPortBus bus;
  EXPECT_EQ(bus.InPortB(0x295), 0xFF);
  bus.OutPortB(0x295, 0x12);
  EXPECT_EQ(bus.InPortB(0x295), 0xFF);
  EXPECT_EQ(bus.LoadPordexVxD(), 0);
  EXPECT_EQ(bus.InitialBus(1, 0x5A, 0x92, 0x90), 0);
  EXPECT_EQ(bus.EnablePri(), 1);
  EXPECT_TRUE(bus.PrivilegeHeld());
  bus.DisablePri();
  EXPECT_FALSE(bus.PrivilegeHeld());

  bus.SetDriverLoadFails(true);
  bus.SetBusInitFails(true);
  bus.SetPrivilegeRefused(true);
  EXPECT_NE(bus.LoadPordexVxD(), 0);
  EXPECT_NE(bus.InitialBus(1, 0x5A, 0x92, 0x90), 0);
  EXPECT_EQ(bus.EnablePri(), 0);
  EXPECT_EQ(bus.LoadCalls(), 2);

  // Devices are reachable by type and by port; a detached chip stops answering.
  std::shared_ptr<SimChip> chip = MakeChip(ChipModel::IT8712F, 0x2E);
  bus.Attach(chip);
  EXPECT_EQ(bus.Find<SimChip>(), chip.get());
  EXPECT_EQ(bus.DeviceAt(0x296), chip.get());
  EXPECT_EQ(bus.DeviceAt(0x297), nullptr);
  bus.OutPortB(0x295, 0x58);
  EXPECT_EQ(bus.InPortB(0x296), 0x90);
  EXPECT_TRUE(bus.Detach(chip.get()));
  EXPECT_FALSE(bus.Detach(chip.get()));
  EXPECT_EQ(bus.InPortB(0x296), 0xFF);
}

}  // namespace
}  // namespace veltrix::sim
