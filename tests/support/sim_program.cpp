#include "tests/support/sim_program.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "monitor/startup/startup.h"

namespace veltrix::testsupport {
namespace {

// A folder of its own for every fixture, so parallel tests never share a lock or a log.
std::filesystem::path FreshFolder() {
  static std::atomic<int> counter{0};
  const auto base = std::filesystem::temp_directory_path() /
                    ("veltrix-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(base);
  return base;
}

}  // namespace

sim::BoardProfile ProfileFor(std::string_view model) {
  if (const sim::BoardProfile* p = sim::FindProfile(model)) return *p;
  ADD_FAILURE() << "the simulator has no board \"" << model << "\"";
  return sim::DefaultProfile();
}

SimProgram::SimProgram(std::string_view model, SimProgramOptions options) : profile_(ProfileFor(model)) {
  Build(std::move(options));
}

SimProgram::SimProgram(const sim::BoardProfile& profile, SimProgramOptions options) : profile_(profile) {
  Build(std::move(options));
}

SimProgram::~SimProgram() {
  program_.reset();
  system_.reset();  // drops the single-instance lock before its folder goes
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void SimProgram::Build(SimProgramOptions options) {
  folder_ = FreshFolder().string();
  programDir_ = options.programDir.empty() ? folder_ : options.programDir;
  lockPath_ = folder_ + "/veltrix.lock";

  app_ = std::make_unique<forms::Application>(scheduler_);
  machine_ = std::make_unique<sim::SimMachine>(profile_, options.seed);
  trace_ = std::make_unique<platform::TracingPortIo>(machine_->Port(), options.tracePorts);
  boardInfo_ = std::make_unique<sim::SimBoardInfo>(profile_);
  answers_.SetDefault(options.defaultAnswer);

  platform::SimSystemOptions sys;
  sys.messageBoxes = answers_.Sink();
  sys.lcid = options.lcid;
  sys.decimalSeparator = options.decimalSeparator;
  sys.lockPath = lockPath_;
  sys.programDir = programDir_;
  sys.clock = std::make_shared<platform::VirtualClock>(platform::LocalTime{2004, 6, 1, 9, 0, 0},
                                                       [this] { return scheduler_.NowMs(); });
  sys.programStarter = [](const std::string&) { return true; };
  system_ = std::make_unique<platform::SimSystem>(std::move(sys));

  // The board follows the program's virtual time.
  scheduler_.AddTimeListener([this](std::int64_t nowMs) {
    const double delta = static_cast<double>(nowMs) - machine_->NowMs();
    if (delta > 0) machine_->Advance(delta);
  });

  program_ = std::make_unique<monitor::Program>(
      monitor::Services{*trace_, registry_, *boardInfo_, *system_, nullptr, *app_});
}

std::optional<int> SimProgram::Run(const std::function<void()>& body) {
  if (ended_) return ended_;
  try {
    body();
  } catch (const monitor::ProgramEnded& end) {
    ended_ = end.exitCode;
  }
  return ended_;
}

std::optional<int> SimProgram::Start() {
  return Run([this] { monitor::Main(*program_); });
}

std::optional<int> SimProgram::AdvanceMs(std::int64_t ms) {
  return Run([this, ms] { scheduler_.AdvanceBy(ms); });
}

}  // namespace veltrix::testsupport
