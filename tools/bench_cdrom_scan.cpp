// One CD-ROM speed scan (SetCdromSpeed) on the simulated ASPI layer: the presence check, the
// adapter count, an inquiry per adapter, a device-type query per target and one SET CD SPEED
// per CD-ROM drive, all answering at once. The fan timer repeats it every second while the
// option is on. Counters: ASPI commands per scan and SET CD SPEED commands per scan.
#include <benchmark/benchmark.h>

#include <memory>

#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/program.h"
#include "platform/forms/forms.h"
#include "platform/registry/memory_registry.h"
#include "platform/system/sim_system.h"
#include "sim/board/board_profile.h"
#include "sim/board_info/sim_board_info.h"
#include "sim/machine/sim_machine.h"

namespace {

using namespace veltrix;

// A program object on a simulated machine; the scan needs nothing that start-up sets.
struct Rig {
  Rig() : profile(sim::DefaultProfile()), machine(profile, 1), boardInfo(profile), app(scheduler) {
    platform::SimSystemOptions options;
    options.lockPath = "/tmp/veltrix-bench-cdrom.lock";
    system = std::make_unique<platform::SimSystem>(std::move(options));
    program = std::make_unique<monitor::Program>(
        monitor::Services{machine.Port(), registry, boardInfo, *system, &machine.Aspi(), app});
  }
  sim::BoardProfile profile;
  sim::SimMachine machine;
  sim::SimBoardInfo boardInfo;
  platform::MemoryRegistry registry;
  forms::VirtualScheduler scheduler;
  forms::Application app;
  std::unique_ptr<platform::SimSystem> system;
  std::unique_ptr<monitor::Program> program;
};

void Scan(benchmark::State& state, Rig& rig) {
  auto& aspi = rig.machine.Aspi();
  const int before = aspi.CommandCount(platform::SC_EXEC_SCSI_CMD);
  const int commandsBefore = aspi.CommandCount(platform::SC_HA_INQUIRY) +
                             aspi.CommandCount(platform::SC_GET_DEV_TYPE) + before;
  for (auto _ : state) monitor::SetCdromSpeed(*rig.program, 20);
  const auto scans = static_cast<double>(state.iterations());
  const int commands = aspi.CommandCount(platform::SC_HA_INQUIRY) + aspi.CommandCount(platform::SC_GET_DEV_TYPE) +
                       aspi.CommandCount(platform::SC_EXEC_SCSI_CMD) - commandsBefore;
  state.counters["aspi_commands"] = commands / scans;
  state.counters["set_cd_speed"] = (aspi.CommandCount(platform::SC_EXEC_SCSI_CMD) - before) / scans;
}

// The default machine: one adapter, one CD-ROM drive at 0:0.
void BM_ScanOneDrive(benchmark::State& state) {
  Rig rig;
  Scan(state, rig);
}
BENCHMARK(BM_ScanOneDrive);

// Every target of four adapters taken, two CD-ROM drives on each.
void BM_ScanFourFullAdapters(benchmark::State& state) {
  Rig rig;
  auto& aspi = rig.machine.Aspi();
  aspi.RemoveAllAdapters();
  for (int a = 0; a < 4; ++a) {
    aspi.AddHostAdapter();
    for (int t = 0; t < 8; ++t) aspi.AddDevice(a, t, t < 2 ? platform::DTYPE_CDROM : platform::DTYPE_DASD);
  }
  Scan(state, rig);
}
BENCHMARK(BM_ScanFourFullAdapters);

}  // namespace

BENCHMARK_MAIN();
