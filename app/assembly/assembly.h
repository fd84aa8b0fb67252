#pragma once
// The one place that puts a whole monitoring program together: the hardware (a simulated
// board, or this machine's ports), an optional port tracer, the board information, the system
// services, the shell and the Program itself, in the order they depend on each other.
// The veltrix application, the tests' SimProgram and the tick benchmark all build their run
// here; what differs between them (scheduler, registry store, message boxes, front end) comes
// in as options or is attached afterwards.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "monitor/program.h"
#include "platform/forms/forms.h"
#include "platform/portio/tracing_port_io.h"
#include "platform/registry/registry.h"
#include "platform/system/shell.h"
#include "platform/system/sim_system.h"
#include "sim/board/board_profile.h"
#include "sim/machine/sim_machine.h"

namespace veltrix::platform {
class Aspi;
class BoardInfo;
class SgSystem;
}

namespace veltrix::assembly {

enum class PortTrace {
  kOff,     // the program talks to the backend directly
  kCount,   // a TracingPortIo that only counts (benchmarks)
  kRecord,  // a TracingPortIo that records every access (tests)
};

struct Options {
  // The simulated board; nullopt = this machine's ports, DMI and logind (--hardware linux).
  std::optional<sim::BoardProfile> board;
  std::uint64_t seed = 1;  // sensor noise of the simulated board
  PortTrace trace = PortTrace::kOff;
  platform::SimSystemOptions system;
  // Tests: a decorator put between the backend and the tracer (e.g. ports the run cannot reach).
  std::function<std::unique_ptr<platform::PortIo>(platform::PortIo&)> wrapPort;
  // Real hardware: the chipset ports the board's chassis method may use, asked for once the
  // board is known; where refused ports and unreachable drives are reported.
  std::function<std::vector<std::uint16_t>(const monitor::Program&)> chassisPorts;
  std::function<void(const std::string&)> log;
};

class Assembly {
 public:
  // The scheduler and the registry belong to the caller and outlive the assembly.
  Assembly(forms::Scheduler& scheduler, platform::Registry& registry, Options options);
  ~Assembly();
  Assembly(const Assembly&) = delete;
  Assembly& operator=(const Assembly&) = delete;

  forms::Application& App() { return *app_; }
  monitor::Program& Prog() { return *program_; }
  platform::SimSystem& System() { return *system_; }
  platform::BoardInfo& BoardInfo() { return *boardInfo_; }
  // The simulated board, or nullptr on real hardware.
  sim::SimMachine* Machine() { return machine_.get(); }
  // The tracer between the program and the ports, or nullptr without one.
  platform::TracingPortIo* Trace() { return trace_.get(); }
  // The backend itself (the last-resort restore writes here, never through a tracer).
  platform::PortIo& RawPort() { return *rawPort_; }
  // The shell the program starts with: a NullShell (no tray, no screen) until a front end
  // sets its own in Prog().Svc().shell.
  platform::NullShell& HeadlessShell() { return headlessShell_; }

 private:
  std::unique_ptr<forms::Application> app_;
  std::unique_ptr<sim::SimMachine> machine_;
  std::unique_ptr<platform::PortIo> linuxPort_;
  std::unique_ptr<platform::SgSystem> scsiGeneric_;
  std::unique_ptr<platform::Aspi> linuxAspi_;
  platform::PortIo* rawPort_ = nullptr;
  std::unique_ptr<platform::PortIo> wrapped_;
  std::unique_ptr<platform::TracingPortIo> trace_;
  std::unique_ptr<platform::BoardInfo> boardInfo_;
  std::unique_ptr<platform::SimSystem> system_;
  platform::NullShell headlessShell_;
  std::unique_ptr<monitor::Program> program_;
};

}  // namespace veltrix::assembly
