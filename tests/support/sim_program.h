#pragma once
// A whole monitoring program on the simulator, for tests that read like user stories:
//
//   SimProgram p("ZT70");                  // board model from the simulator's catalog
//   ASSERT_FALSE(p.Start());               // Main ran to the end (nullopt = still running)
//   p.Machine().SetCaseOpen(true);
//   p.AdvanceMs(2000);                     // timers fire, the simulated board follows
//   EXPECT_EQ(p.Boxes().size(), 0u);
//
// Put together by the app's composition root (app/assembly): SimMachine (chip, chipset,
// speaker, physics, ASPI drives) behind a TracingPortIo, the board's SimBoardInfo, a SimSystem
// whose message boxes are answered from a script and recorded, the headless shell and the
// Program; here with a MemoryRegistry and a VirtualScheduler.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/assembly/assembly.h"
#include "monitor/program.h"
#include "platform/forms/forms.h"
#include "platform/portio/tracing_port_io.h"
#include "platform/registry/memory_registry.h"
#include "platform/system/message_box.h"
#include "platform/system/sim_system.h"
#include "sim/board/board_profile.h"
#include "sim/board_info/sim_board_info.h"
#include "sim/machine/sim_machine.h"

namespace veltrix::testsupport {

// The memory store, counting how often a backing file would have been written: every call
// that changed something outside a batch, and every batch that changed something.
class CountingRegistry : public platform::MemoryRegistry {
 public:
  int Saves() const { return saves_; }

 protected:
  long EndOperation(bool changed) override {
    if (changed) ++saves_;
    return platform::ERROR_SUCCESS;
  }
  long EndBatchOperation(const platform::RegistryKey& /*before*/, bool changed) override {
    if (changed) ++saves_;
    return platform::ERROR_SUCCESS;
  }

 private:
  int saves_ = 0;
};

struct SimProgramOptions {
  std::uint32_t lcid = 1033;
  std::uint64_t seed = 1;
  // Answer for every box nobody queued an answer for; nullopt = the safe default button.
  std::optional<platform::Answer> defaultAnswer;
  // Program folder (pictures, log file); empty = a fresh folder under the test temp dir.
  std::string programDir;
  // Record every port access from construction on (the trace can be cleared any time).
  bool tracePorts = true;
  // Which ports the port layer says it reaches (as real hardware answers for ports it did not
  // open); nullptr = all, as the simulator.
  std::function<bool(std::uint16_t)> portReachable;
  // The system's decimal separator (stored float texts use it).
  char decimalSeparator = '.';
};

// The simulator's profile for a model (exact, then case-insensitive); fails the test and
// returns the default board when there is none.
sim::BoardProfile ProfileFor(std::string_view model);

class SimProgram {
 public:
  explicit SimProgram(std::string_view model, SimProgramOptions options = {});
  explicit SimProgram(const sim::BoardProfile& profile, SimProgramOptions options = {});
  ~SimProgram();
  SimProgram(const SimProgram&) = delete;
  SimProgram& operator=(const SimProgram&) = delete;

  // Runs Main. nullopt: start-up finished and the program runs; otherwise the exit code the
  // program ended with (a failure box, a refusal, an orderly exit).
  std::optional<int> Start();
  // Runs any piece of the program, catching its end the same way.
  std::optional<int> Run(const std::function<void()>& body);
  // Moves virtual time forward; timers fire in order and the board follows. Returns the exit
  // code when the program ended on the way.
  std::optional<int> AdvanceMs(std::int64_t ms);
  // Whether the program has ended (and with which code).
  std::optional<int> Ended() const { return ended_; }

  monitor::Program& Prog() { return parts_->Prog(); }
  monitor::Globals& G() { return Prog().G(); }
  sim::SimMachine& Machine() { return *parts_->Machine(); }
  sim::BoardProfile& Profile() { return profile_; }
  platform::TracingPortIo& Ports() { return *parts_->Trace(); }
  platform::MemoryRegistry& Registry() { return registry_; }
  // How often a file store would have been written so far.
  int RegistrySaves() const { return registry_.Saves(); }
  platform::SimSystem& System() { return parts_->System(); }
  platform::ScriptedAnswers& Answers() { return answers_; }
  forms::VirtualScheduler& Scheduler() { return scheduler_; }
  forms::Application& App() { return parts_->App(); }
  // The shell the program starts with (records tray calls; no screen).
  platform::NullShell& Shell() { return parts_->HeadlessShell(); }
  const std::string& LockPath() const { return lockPath_; }
  const std::string& ProgramDir() const { return programDir_; }

  // Boxes shown so far, in order.
  const std::vector<platform::ShownMessageBox>& Boxes() const { return answers_.Shown(); }
  // The recorded port trace, one access a line (for failure messages).
  std::string TraceDump(std::size_t maxLines = 200) const { return parts_->Trace()->Dump(maxLines); }

 private:
  void Build(SimProgramOptions options);

  sim::BoardProfile profile_;
  forms::VirtualScheduler scheduler_;
  CountingRegistry registry_;
  platform::ScriptedAnswers answers_;
  std::unique_ptr<assembly::Assembly> parts_;
  std::string folder_;  // this fixture's temporary folder (lock file, default program folder)
  std::string lockPath_;
  std::string programDir_;
  std::optional<int> ended_;
};

}  // namespace veltrix::testsupport
