// One monitoring tick on the simulator, per chip: the port operations it makes (counters) and
// the CPU time it takes with the console front end printing every record.
#include <benchmark/benchmark.h>

#include <memory>
#include <ostream>
#include <streambuf>

#include "app/assembly/assembly.h"
#include "frontends/console/monitor_console.h"
#include "monitor/program.h"
#include "monitor/startup/startup.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/forms/forms.h"
#include "platform/portio/tracing_port_io.h"
#include "platform/registry/memory_registry.h"
#include "platform/system/clock.h"
#include "platform/system/sim_system.h"
#include "sim/board/board_profile.h"

namespace {

using namespace veltrix;

// Swallows the console's output: the benchmark measures producing it, not the terminal.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// A started program on a simulated board (put together by the app's composition root), with
// the port tracer counting only.
struct Rig {
  explicit Rig(const char* model) : out(&null) {
    assembly::Options options;
    options.board = *sim::FindProfile(model);
    options.trace = assembly::PortTrace::kCount;
    options.system.messageBoxes = [](const std::string&, int, const std::string&) { return platform::vbOK; };
    options.system.lcid = 1033;
    options.system.decimalSeparator = '.';
    options.system.lockPath = "/tmp/veltrix-bench-" + std::string(model) + ".lock";
    options.system.clock = std::make_shared<platform::VirtualClock>(platform::LocalTime{2004, 6, 1, 9, 0, 0},
                                                                    [this] { return scheduler.NowMs(); });
    options.system.programStarter = [](const std::string&) { return true; };
    parts = std::make_unique<assembly::Assembly>(scheduler, registry, std::move(options));
    program = &parts->Prog();
    monitor::Main(*program);
    console = std::make_unique<console::MonitorConsole>(*program, out, console::MonitorConsoleOptions{true});
    console->Attach();
    scheduler.AdvanceBy(program->frmdoctor().Timer1.Interval);  // the first tick closes the splash
  }
  platform::TracingPortIo& trace() { return *parts->Trace(); }

  platform::MemoryRegistry registry;
  forms::VirtualScheduler scheduler;
  NullBuffer null;
  std::ostream out;
  std::unique_ptr<assembly::Assembly> parts;
  monitor::Program* program = nullptr;
  std::unique_ptr<console::MonitorConsole> console;
};

// Port operations of one tick, by chip.
void BM_TickPortOperations(benchmark::State& state, const char* model) {
  Rig rig(model);
  auto& main = rig.program->frmdoctor();
  rig.trace().Reset();
  std::uint64_t ticks = 0;
  for (auto _ : state) {
    main.Timer1_Timer();
    ++ticks;
  }
  const double n = static_cast<double>(ticks);
  state.counters["port_reads_per_tick"] = static_cast<double>(rig.trace().TotalReads()) / n;
  state.counters["port_writes_per_tick"] = static_cast<double>(rig.trace().TotalWrites()) / n;
}

// A whole tick as the timer delivers it: the simulated board advances, the program reads and
// judges every channel, and the console renders the JSON record.
void BM_TickWithConsole(benchmark::State& state, const char* model) {
  Rig rig(model);
  const int interval = rig.program->frmdoctor().Timer1.Interval;
  for (auto _ : state) rig.scheduler.AdvanceBy(interval);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(BM_TickPortOperations, W83627HF, "ZT50E");
BENCHMARK_CAPTURE(BM_TickPortOperations, W83697HF, "ZV62E");
BENCHMARK_CAPTURE(BM_TickPortOperations, W83637HF, "ZT70");
BENCHMARK_CAPTURE(BM_TickPortOperations, IT8705F, "ZR41E");
BENCHMARK_CAPTURE(BM_TickPortOperations, IT8712F, "ZR61");
BENCHMARK_CAPTURE(BM_TickWithConsole, W83627HF, "ZT50E");
BENCHMARK_CAPTURE(BM_TickWithConsole, IT8712F, "ZR61");

}  // namespace

BENCHMARK_MAIN();
