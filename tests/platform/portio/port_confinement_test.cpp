// Real port access confined to the ports Veltrix uses: what ioperm is asked for, what is
// refused in code (and said once), the sensor ports closed until a chip answers, /dev/port
// opened safely, and a kernel driver that owns the chip found in sysfs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "platform/portio/linux_port_io.h"
#include "platform/portio/port_grant.h"
#include "platform/portio/sensor_chip_owner.h"

namespace veltrix::platform {
namespace {

namespace fs = std::filesystem;

// The processor as tests see it: permissions asked for, and latches behind every port.
class FakeInstructions : public PortInstructions {
 public:
  int Permit(std::uint16_t from, std::uint16_t count) override {
    permits.emplace_back(from, count);
    return refuse;
  }
  std::uint8_t In(std::uint16_t port) override {
    reads.push_back(port);
    auto it = latch.find(port);
    return it == latch.end() ? 0xFF : it->second;
  }
  void Out(std::uint16_t port, std::uint8_t value) override {
    writes.push_back(port);
    latch[port] = value;
  }
  int refuse = 0;
  std::vector<std::pair<std::uint16_t, std::uint16_t>> permits;
  std::vector<std::uint16_t> reads;
  std::vector<std::uint16_t> writes;
  std::map<std::uint16_t, std::uint8_t> latch;
};

struct Rig {
  explicit Rig(std::vector<std::uint16_t> chipset = {0x466}) {
    io = std::make_unique<LinuxPortIo>(
        LinuxPortIo::Options{.devPortPath = "/nonexistent/veltrix/port",
                             .instructions = &cpu,
                             .chipsetPorts = [chipset] { return chipset; },
                             .log = [this](const std::string& line) { log.push_back(line); }});
  }
  FakeInstructions cpu;
  std::vector<std::string> log;
  std::unique_ptr<LinuxPortIo> io;
};

TEST(PortConfinement, IopermOnlyOnThePortsVeltrixUses) {
  Rig rig({0x466, 0x4444, 0x4449});
  ASSERT_EQ(rig.io->LoadPordexVxD(), 0);
  EXPECT_EQ(rig.io->AccessMethod(), LinuxPortIo::Method::Direct);
  using Run = std::pair<std::uint16_t, std::uint16_t>;
  EXPECT_EQ(
      rig.cpu.permits,
      (std::vector<Run>{
          {0x2E, 2}, {0x42, 2}, {0x4E, 2}, {0x61, 1}, {0x295, 2}, {0x466, 1}, {0x4444, 1}, {0x4449, 1}}));
  EXPECT_TRUE(rig.io->Reaches(0x466));
  EXPECT_FALSE(rig.io->Reaches(0x4066)) << "the guessed base is not opened";
}

TEST(PortConfinement, OtherPortsAreRefusedInCodeAndSaidOnce) {
  Rig rig;
  ASSERT_EQ(rig.io->LoadPordexVxD(), 0);
  EXPECT_EQ(rig.io->InPortB(0x4066), 0xFF);
  rig.io->OutPortB(0x4066, 0x01);
  rig.io->OutPortB(0x80, 0x01);
  EXPECT_TRUE(rig.cpu.reads.empty());
  EXPECT_TRUE(rig.cpu.writes.empty()) << "no instruction reaches a port that is not granted";
  ASSERT_EQ(rig.log.size(), 2u) << "one line per port";
  EXPECT_NE(rig.log[0].find("port 0x4066 refused"), std::string::npos) << rig.log[0];
  EXPECT_EQ(rig.io->Grant().Refusals(), 3u);

  rig.io->OutPortB(0x61, rig.io->InPortB(0x61) | 0x03);  // the speaker is ours
  EXPECT_EQ(rig.cpu.writes, (std::vector<std::uint16_t>{0x61}));
}

TEST(PortConfinement, SensorPortsStayClosedUntilAChipAnswers) {
  Rig rig;
  ASSERT_EQ(rig.io->LoadPordexVxD(), 0);
  // The probe at 0x2E finds nothing: register 0x20 reads 0xFF.
  rig.io->OutPortB(0x2E, 0x87);
  rig.io->OutPortB(0x2E, 0x87);
  rig.io->OutPortB(0x2E, 0x20);
  EXPECT_EQ(rig.io->InPortB(0x2F), 0xFF);
  rig.io->OutPortB(0x295, 0x4E);
  EXPECT_EQ(rig.io->InPortB(0x296), 0xFF);
  EXPECT_FALSE(rig.io->Reaches(0x295));
  EXPECT_EQ(std::count(rig.cpu.writes.begin(), rig.cpu.writes.end(), 0x295), 0);
  ASSERT_EQ(rig.log.size(), 2u);
  EXPECT_NE(rig.log[0].find("no supported sensor chip answered"), std::string::npos) << rig.log[0];

  // A device id read at another register does not count; the chip's own id at 0x4E does.
  rig.cpu.latch[0x4F] = 0x87;
  rig.io->OutPortB(0x4E, 0x21);
  rig.io->InPortB(0x4F);
  EXPECT_FALSE(rig.io->Grant().ChipAnswered());
  rig.io->OutPortB(0x4E, 0x20);
  EXPECT_EQ(rig.io->InPortB(0x4F), 0x87);
  EXPECT_TRUE(rig.io->Grant().ChipAnswered());
  rig.io->OutPortB(0x295, 0x4E);
  EXPECT_EQ(rig.cpu.writes.back(), 0x295);
}

TEST(PortConfinement, DevPortFallbackIsConfinedAndOpenedSafely) {
  const fs::path dir = fs::temp_directory_path() / ("veltrix-port-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  {
    std::ofstream f(dir / "port", std::ios::binary);
    f << std::string(0x5000, '\0');
  }
  fs::create_symlink(dir / "port", dir / "link");
  FakeInstructions cpu;
  cpu.refuse = -EPERM;
  std::vector<std::string> log;
  auto options = [&](const fs::path& path, bool charDevice) {
    return LinuxPortIo::Options{.devPortPath = path.string(),
                                .requireCharDevice = charDevice,
                                .instructions = &cpu,
                                .log = [&](const std::string& l) { log.push_back(l); }};
  };
  {
    LinuxPortIo io(options(dir / "port", false));
    ASSERT_EQ(io.LoadPordexVxD(), 0) << io.Error();
    EXPECT_EQ(io.AccessMethod(), LinuxPortIo::Method::DevPort) << "ioperm refused";
    io.OutPortB(0x4066, 0x01);
    io.OutPortB(0x61, 0x03);
    std::ifstream f(dir / "port", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), {});
    EXPECT_EQ(bytes[0x4066], '\0') << "refused";
    EXPECT_EQ(bytes[0x61], '\x03');
    EXPECT_EQ(log.size(), 1u);
  }
  LinuxPortIo notDevice(options(dir / "port", true));
  EXPECT_NE(notDevice.LoadPordexVxD(), 0);
  EXPECT_NE(notDevice.Error().find("not a character device"), std::string::npos) << notDevice.Error();
  LinuxPortIo throughLink(options(dir / "link", false));
  EXPECT_NE(throughLink.LoadPordexVxD(), 0) << "a symlink is never followed";
  fs::remove_all(dir);
}

TEST(SensorChipOwner, FoundByHwmonNameWithTheModuleToUnload) {
  const fs::path root = fs::temp_directory_path() / ("veltrix-hwmon-" + std::to_string(::getpid()));
  auto name = [&](const std::string& hwmon, const std::string& file, const std::string& text) {
    fs::create_directories(root / "sys/class/hwmon" / hwmon / fs::path(file).parent_path());
    std::ofstream(root / "sys/class/hwmon" / hwmon / file) << text;
  };
  EXPECT_FALSE(FindSensorChipDriver(root.string())) << "no hwmon class at all";
  name("hwmon0", "name", "acpitz\n");
  name("hwmon1", "name", "coretemp\n");
  EXPECT_FALSE(FindSensorChipDriver(root.string()));

  name("hwmon2", "device/name", "w83697hf\n");  // older kernels name the device only
  auto owner = FindSensorChipDriver(root.string());
  ASSERT_TRUE(owner);
  EXPECT_EQ(owner->hwmon, "hwmon2");
  EXPECT_EQ(owner->module, "w83627hf");
  EXPECT_NE(SensorChipDriverMessage(*owner).find("\"modprobe -r w83627hf\""), std::string::npos);

  fs::remove_all(root / "sys/class/hwmon/hwmon2");
  name("hwmon3", "name", "it8712\n");
  owner = FindSensorChipDriver(root.string());
  ASSERT_TRUE(owner);
  EXPECT_EQ(owner->name, "it8712");
  EXPECT_EQ(owner->module, "it87");
  const std::string message = SensorChipDriverMessage(*owner);
  EXPECT_NE(message.find("it87"), std::string::npos);
  EXPECT_NE(message.find("modprobe -r it87"), std::string::npos) << message;
  fs::remove_all(root);
}

}  // namespace
}  // namespace veltrix::platform
