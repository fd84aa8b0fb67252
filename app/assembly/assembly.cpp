#include "app/assembly/assembly.h"

#include "platform/boardinfo/linux_board_info.h"
#include "platform/portio/linux_port_io.h"
#include "platform/system/linux_system.h"
#include "sim/board_info/sim_board_info.h"

namespace veltrix::assembly {

Assembly::Assembly(forms::Scheduler& scheduler, platform::Registry& registry, Options options) {
  app_ = std::make_unique<forms::Application>(scheduler);
  if (options.board) {
    machine_ = std::make_unique<sim::SimMachine>(*options.board, options.seed);
    rawPort_ = &machine_->Port();
    boardInfo_ = std::make_unique<sim::SimBoardInfo>(machine_->Profile());
    // The board follows the program's clock, virtual or real.
    scheduler.AddTimeListener([machine = machine_.get()](std::int64_t nowMs) {
      const double delta = static_cast<double>(nowMs) - machine->NowMs();
      if (delta > 0) machine->Advance(delta);
    });
    system_ = std::make_unique<platform::SimSystem>(std::move(options.system));
  } else {
    linuxPort_ = std::make_unique<platform::LinuxPortIo>();
    rawPort_ = linuxPort_.get();
    boardInfo_ = std::make_unique<platform::LinuxBoardInfo>();
    system_ = std::make_unique<platform::LinuxSystem>(std::move(options.system));
  }
  platform::PortIo* port = rawPort_;
  if (options.trace != PortTrace::kOff) {
    trace_ = std::make_unique<platform::TracingPortIo>(*rawPort_, options.trace == PortTrace::kRecord);
    port = trace_.get();
  }
  program_ = std::make_unique<monitor::Program>(
      monitor::Services{*port, registry, *boardInfo_, *system_, nullptr, *app_, &headlessShell_});
  program_->LastResort().SetPort(rawPort_);
}

Assembly::~Assembly() {
  // The program first (its windows refer to the services), the application last.
  program_.reset();
  system_.reset();
}

}  // namespace veltrix::assembly
