#include "app/assembly/assembly.h"

#include <algorithm>
#include <cmath>

#include "platform/aspi/linux_aspi.h"
#include "platform/boardinfo/linux_board_info.h"
#include "platform/portio/linux_port_io.h"
#include "platform/system/linux_system.h"
#include "sim/board_info/sim_board_info.h"

namespace veltrix::assembly {

Assembly::Assembly(forms::Scheduler& scheduler, platform::Registry& registry, Options options) {
  app_ = std::make_unique<forms::Application>(scheduler);
  platform::Aspi* aspi = nullptr;
  if (options.board) {
    machine_ = std::make_unique<sim::SimMachine>(*options.board, options.seed);
    rawPort_ = &machine_->Port();
    aspi = &machine_->Aspi();
    boardInfo_ = std::make_unique<sim::SimBoardInfo>(machine_->Profile());
    // The board follows the program's clock, virtual or real.
    scheduler.AddTimeListener([machine = machine_.get()](std::int64_t nowMs) {
      const double delta = static_cast<double>(nowMs) - machine->NowMs();
      if (delta > 0) machine->Advance(delta);
    });
    // A scenario's next event keeps time moving while no timer runs (a suspended program).
    scheduler.AddWakeSource([machine = machine_.get(), &scheduler] {
      const double next = machine->NextEventMs();
      if (next < 0) return std::int64_t{-1};
      return scheduler.NowMs() + static_cast<std::int64_t>(std::ceil(std::max(0.0, next - machine->NowMs())));
    });
    system_ = std::make_unique<platform::SimSystem>(std::move(options.system));
  } else {
    // Only the ports the program uses are opened; the chassis ports once the board is known.
    platform::LinuxPortIo::Options ports;
    if (options.chassisPorts) {
      ports.chipsetPorts = [this, chassisPorts = options.chassisPorts] { return chassisPorts(*program_); };
    }
    ports.log = options.log;
    linuxPort_ = std::make_unique<platform::LinuxPortIo>(std::move(ports));
    rawPort_ = linuxPort_.get();
    // CD-ROM drives through the kernel's SCSI generic nodes.
    scsiGeneric_ = std::make_unique<platform::LinuxSgSystem>();
    linuxAspi_ = std::make_unique<platform::LinuxAspi>(*scsiGeneric_, options.log);
    aspi = linuxAspi_.get();
    boardInfo_ = std::make_unique<platform::LinuxBoardInfo>();
    system_ = std::make_unique<platform::LinuxSystem>(std::move(options.system));
  }
  platform::PortIo* port = rawPort_;
  if (options.wrapPort) {
    wrapped_ = options.wrapPort(*port);
    port = wrapped_.get();
  }
  if (options.trace != PortTrace::kOff) {
    trace_ = std::make_unique<platform::TracingPortIo>(*port, options.trace == PortTrace::kRecord);
    port = trace_.get();
  }
  program_ = std::make_unique<monitor::Program>(
      monitor::Services{*port, registry, *boardInfo_, *system_, aspi, *app_, &headlessShell_});
  program_->LastResort().SetPort(rawPort_);
}

Assembly::~Assembly() {
  // The program first (its windows refer to the services), the application last.
  program_.reset();
  system_.reset();
}

}  // namespace veltrix::assembly
