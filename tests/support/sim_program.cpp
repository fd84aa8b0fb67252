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

// The simulated ports, answering Reaches as the test wants.
class ReachFilter : public platform::PortIo {
 public:
  ReachFilter(platform::PortIo& inner, std::function<bool(std::uint16_t)> reachable)
      : inner_(inner), reachable_(std::move(reachable)) {}
  std::uint16_t LoadPordexVxD() override { return inner_.LoadPordexVxD(); }
  std::uint16_t InitialBus(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) override {
    return inner_.InitialBus(a, b, c, d);
  }
  std::uint8_t InPortB(std::uint16_t port) override { return inner_.InPortB(port); }
  void OutPortB(std::uint16_t port, std::uint8_t value) override { inner_.OutPortB(port, value); }
  std::uint16_t EnablePri() override { return inner_.EnablePri(); }
  void DisablePri() override { inner_.DisablePri(); }
  bool Reaches(std::uint16_t port) override { return reachable_(port); }

 private:
  platform::PortIo& inner_;
  std::function<bool(std::uint16_t)> reachable_;
};

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
  parts_.reset();  // drops the single-instance lock before its folder goes
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void SimProgram::Build(SimProgramOptions options) {
  folder_ = FreshFolder().string();
  programDir_ = options.programDir.empty() ? folder_ : options.programDir;
  lockPath_ = folder_ + "/veltrix.lock";
  answers_.SetDefault(options.defaultAnswer);

  assembly::Options parts;
  parts.board = profile_;
  parts.seed = options.seed;
  parts.trace = options.tracePorts ? assembly::PortTrace::kRecord : assembly::PortTrace::kCount;
  platform::SimSystemOptions& sys = parts.system;
  sys.messageBoxes = answers_.Sink();
  sys.lcid = options.lcid;
  sys.decimalSeparator = options.decimalSeparator;
  sys.lockPath = lockPath_;
  sys.programDir = programDir_;
  sys.clock = std::make_shared<platform::VirtualClock>(platform::LocalTime{2004, 6, 1, 9, 0, 0},
                                                       [this] { return scheduler_.NowMs(); });
  sys.programStarter = [](const std::string&) { return true; };
  if (options.portReachable) {
    parts.wrapPort = [reachable = options.portReachable](platform::PortIo& inner) -> std::unique_ptr<platform::PortIo> {
      return std::make_unique<ReachFilter>(inner, reachable);
    };
  }
  parts_ = std::make_unique<assembly::Assembly>(scheduler_, registry_, std::move(parts));
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
  return Run([this] { monitor::Main(Prog()); });
}

std::optional<int> SimProgram::AdvanceMs(std::int64_t ms) {
  return Run([this, ms] { scheduler_.AdvanceBy(ms); });
}

}  // namespace veltrix::testsupport
