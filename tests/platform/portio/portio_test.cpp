// Port-I/O decorators and the Linux backend's access paths (never real ports: the /dev/port
// path is pointed at an ordinary file).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/portio/fault_injecting_port_io.h"
#include "platform/portio/linux_port_io.h"
#include "platform/portio/tracing_port_io.h"

namespace veltrix::platform {
namespace {

// A bus of 64 KiB of latches: reads return what was last written, untouched ports 0xFF.
class LatchIo : public PortIo {
 public:
  LatchIo() { ports_.assign(0x10000, 0xFF); }
  std::uint16_t LoadPordexVxD() override { return 0; }
  std::uint16_t InitialBus(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return 0; }
  std::uint8_t InPortB(std::uint16_t port) override {
    ++reads;
    return ports_[port];
  }
  void OutPortB(std::uint16_t port, std::uint8_t value) override { ports_[port] = value; }
  std::uint16_t EnablePri() override { return 1; }
  void DisablePri() override {}
  int reads = 0;

 private:
  std::vector<std::uint8_t> ports_;
};

TEST(TracingPortIo, CountsRecordsAndDumpsEveryAccess) {
  LatchIo inner;
  TracingPortIo io(inner);
  EXPECT_EQ(io.LoadPordexVxD(), 0);
  io.OutPortB(0x2E, 0x87);
  io.OutPortB(0x2E, 0x87);
  io.OutPortB(0x2F, 0x52);
  EXPECT_EQ(io.InPortB(0x2F), 0x52);
  EXPECT_EQ(io.Writes(0x2E), 2u);
  EXPECT_EQ(io.Reads(0x2F), 1u);
  EXPECT_EQ(io.Reads(0x2E), 0u);
  EXPECT_EQ(io.TotalWrites(), 3u);
  EXPECT_EQ(io.WrittenTo(0x2E), (std::vector<std::uint8_t>{0x87, 0x87}));
  EXPECT_EQ(io.Dump(), "LoadPordexVxD -> 0\nout 2E 87\nout 2E 87\nout 2F 52\nin 2F -> 52\n");
  EXPECT_EQ(io.Dump(2), "... 3 earlier accesses\nout 2F 52\nin 2F -> 52\n");
  EXPECT_EQ(FormatAccess({PortOp::Out, 0x4444, 0x04}), "out 4444 04");

  // Counting goes on while the sequence is not recorded; Reset forgets both.
  io.SetRecording(false);
  io.InPortB(0x61);
  EXPECT_EQ(io.Trace().size(), 5u);
  EXPECT_EQ(io.Reads(0x61), 1u);
  io.Reset();
  EXPECT_TRUE(io.Trace().empty());
  EXPECT_EQ(io.TotalReads(), 0u);
}

TEST(FaultInjectingPortIo, LibraryCallFailures) {
  LatchIo inner;
  FaultInjectingPortIo io(inner);
  EXPECT_EQ(io.LoadPordexVxD(), 0);
  EXPECT_EQ(io.EnablePri(), 1);
  io.SetDriverLoadFails(true);
  io.SetBusInitFails(true);
  io.SetPrivilegeRefused(true);
  EXPECT_NE(io.LoadPordexVxD(), 0);
  EXPECT_NE(io.InitialBus(1, 0x5A, 0x92, 0x90), 0);
  EXPECT_EQ(io.EnablePri(), 0);
}

TEST(FaultInjectingPortIo, ReadFaultsByKindPortRangeAndSeed) {
  LatchIo inner;
  inner.OutPortB(0x296, 0x5A);
  inner.OutPortB(0x61, 0x30);
  FaultInjectingPortIo io(inner);
  io.AddReadFault({.firstPort = 0x296,
                   .lastPort = 0x296,
                   .kind = ReadFaultKind::StuckBits,
                   .stuckMask = 0x81,
                   .stuckValue = 0x80});
  EXPECT_EQ(io.InPortB(0x296), 0xDA);
  EXPECT_EQ(io.InPortB(0x61), 0x30) << "outside the range";
  io.ClearFaults();
  io.AddReadFault({.kind = ReadFaultKind::Zero});
  EXPECT_EQ(io.InPortB(0x61), 0x00);
  EXPECT_EQ(inner.reads, 3) << "the underlying read happens even when its value is replaced";

  // Random faults are a fixed sequence for a seed, at about the asked rate.
  auto pattern = [&](std::uint64_t seed) {
    FaultInjectingPortIo f(inner, seed);
    f.AddReadFault({.probability = 0.25, .kind = ReadFaultKind::AllOnes});
    std::vector<bool> hits;
    for (int i = 0; i < 2000; ++i) hits.push_back(f.InPortB(0x61) == 0xFF);
    return hits;
  };
  const auto a = pattern(7);
  EXPECT_EQ(a, pattern(7));
  EXPECT_NE(a, pattern(8));
  const auto count = std::count(a.begin(), a.end(), true);
  EXPECT_GT(count, 400);
  EXPECT_LT(count, 600);
}

TEST(FaultInjectingPortIo, WriteFaultFlipsBitsOnTheWay) {
  LatchIo inner;
  FaultInjectingPortIo io(inner, 3);
  io.AddWriteFault({.firstPort = 0x296, .lastPort = 0x296, .xorMask = 0x01});
  io.OutPortB(0x296, 0x04);
  io.OutPortB(0x295, 0x4E);
  EXPECT_EQ(inner.InPortB(0x296), 0x05);
  EXPECT_EQ(inner.InPortB(0x295), 0x4E);
  EXPECT_EQ(io.InjectedWrites(), 1u);
}

TEST(LinuxPortIo, DevPortPathReadsAndWritesByteOffsets) {
  const auto path = std::filesystem::temp_directory_path() / "veltrix_fake_dev_port";
  {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    std::vector<char> zeros(0x500, 0);
    zeros[0x61] = 0x30;
    zeros[0x2F] = 0x52;  // a W83627HF's device id, for the configuration read below
    f.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  }
  LinuxPortIo io({.devPortPath = path.string(), .allowDirect = false, .requireCharDevice = false});
  EXPECT_EQ(io.InPortB(0x61), 0xFF) << "no access before the load";
  ASSERT_EQ(io.LoadPordexVxD(), 0) << io.Error();
  EXPECT_EQ(io.AccessMethod(), LinuxPortIo::Method::DevPort);
  EXPECT_EQ(io.InitialBus(1, 0x5A, 0x92, 0x90), 0);
  EXPECT_NE(io.EnablePri(), 0);
  EXPECT_EQ(io.InPortB(0x61), 0x30);
  io.OutPortB(0x2E, 0x20);  // the sensor ports open once a chip has named itself
  EXPECT_EQ(io.InPortB(0x2F), 0x52);
  io.OutPortB(0x295, 0x4E);
  EXPECT_EQ(io.InPortB(0x295), 0x4E);
  std::filesystem::remove(path);
}

TEST(LinuxPortIo, NoAccessMethodMeansTheLoadFails) {
  LinuxPortIo io({.devPortPath = "/nonexistent/veltrix/port", .allowDirect = false});
  EXPECT_NE(io.LoadPordexVxD(), 0);
  EXPECT_EQ(io.AccessMethod(), LinuxPortIo::Method::None);
  EXPECT_NE(io.Error().find("/nonexistent/veltrix/port"), std::string::npos);
  EXPECT_EQ(io.InPortB(0x2E), 0xFF);
  io.OutPortB(0x2E, 0x87);  // goes nowhere, must not crash
}

}  // namespace
}  // namespace veltrix::platform
