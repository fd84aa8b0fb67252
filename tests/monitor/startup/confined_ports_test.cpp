// Start-up on confined real ports where no sensor chip answers: the sensor ports are never
// written, and the run ends with the usual "no Super I/O" message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <vector>

#include "monitor/program.h"
#include "monitor/startup/startup.h"
#include "platform/forms/forms.h"
#include "platform/portio/linux_port_io.h"
#include "platform/registry/memory_registry.h"
#include "platform/system/message_box.h"
#include "platform/system/shell.h"
#include "platform/system/sim_system.h"
#include "sim/board/board_profile.h"
#include "sim/board_info/sim_board_info.h"

namespace veltrix::monitor {
namespace {

// A machine with nothing behind any port: every read gives 0xFF.
class EmptyBus : public platform::PortInstructions {
 public:
  int Permit(std::uint16_t, std::uint16_t) override { return 0; }
  std::uint8_t In(std::uint16_t) override { return 0xFF; }
  void Out(std::uint16_t port, std::uint8_t) override { ++writes[port]; }
  std::map<std::uint16_t, int> writes;
};

TEST(ConfinedPorts, NoChipMeansNoSensorPortWritesAndTheUsualFailure) {
  for (const char* model : {"ZQ52", "ZT70"}) {  // Winbond and the W83637HF kind of board
    SCOPED_TRACE(model);
    EmptyBus bus;
    std::vector<std::string> refused;
    platform::LinuxPortIo ports(
        {.instructions = &bus, .log = [&](const std::string& line) { refused.push_back(line); }});
    const sim::BoardProfile profile = *sim::FindProfile(model);
    sim::SimBoardInfo boardInfo(profile);
    platform::MemoryRegistry registry;
    platform::ScriptedAnswers answers;
    platform::SimSystemOptions options;
    options.messageBoxes = answers.Sink();
    options.lockPath = (std::filesystem::temp_directory_path() /
                        ("veltrix-confined-" + std::to_string(::getpid()) + ".lock"))
                           .string();
    platform::SimSystem system(std::move(options));
    forms::VirtualScheduler scheduler;
    forms::Application app(scheduler);
    platform::NullShell shell;
    Program program(Services{ports, registry, boardInfo, system, nullptr, app, &shell});

    bool ended = false;
    try {
      Main(program);
    } catch (const ProgramEnded&) {
      ended = true;
    }
    EXPECT_TRUE(ended);
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].text, kNoSuperIoText);
    EXPECT_EQ(bus.writes.count(0x295), 0u);
    EXPECT_EQ(bus.writes.count(0x296), 0u);
    EXPECT_GT(bus.writes[0x2E], 0) << "the probe itself went out";
    EXPECT_FALSE(refused.empty());
  }
}

}  // namespace
}  // namespace veltrix::monitor
