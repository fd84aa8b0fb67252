// Soak benchmark of the desktop front end: one alarm shown and closed many times. The whole
// program runs on the simulator with the real Qt windows (offscreen), a rail leaves its limits
// until the alarm dialog opens and comes back until it closes. The resident memory is printed
// after a warm-up and at the end; a closed dialog must leave nothing behind, so the growth
// stays flat however many cycles run.
//
//   soak_alarm_dialogs [--cycles N] [--board MODEL] [--max-growth-kb KB]
//
// With --max-growth-kb the exit status is 1 when the memory grew by more than that.
#include <unistd.h>
#include <QApplication>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/assembly/assembly.h"
#include "frontends/qt/desktop.h"
#include "monitor/alarms/alarm_dialog.h"
#include "monitor/program.h"
#include "monitor/startup/startup.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/forms/forms.h"
#include "platform/registry/memory_registry.h"
#include "platform/system/sim_system.h"
#include "sim/board/board_profile.h"
#include "sim/machine/sim_machine.h"

namespace {

using namespace veltrix;

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

std::optional<long> Number(std::string_view text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

int Usage(const std::string& problem) {
  std::cerr << "soak_alarm_dialogs: " << problem << "\n"
            << "usage: soak_alarm_dialogs [--cycles N] [--board MODEL] [--max-growth-kb KB]\n";
  return 2;
}

// Cycles the +12V alarm; returns the exit status.
int Soak(assembly::Assembly& parts, forms::VirtualScheduler& scheduler, const std::string& board, long cycles,
         std::optional<long> maxGrowthKb) {
  int status = 0;
  forms::Application& app = parts.App();
  monitor::Program& program = parts.Prog();
  sim::SimMachine& machine = *parts.Machine();
  qt::Desktop desktop(app, parts.System(), parts.System().ProgramFolder(), false);
  program.Svc().shell = desktop.Shell();
  try {
    monitor::Main(program);
    desktop.AfterStartup(program);
    auto& main = program.frmdoctor();
    main.Show();  // the main window is open too, as when someone watches
    const std::optional<int> rail = machine.FindRail("+12V");
    if (!rail) {
      std::cerr << "soak_alarm_dialogs: board " << board << " has no +12V rail\n";
      return 2;
    }
    constexpr int kItem = 4;  // +12V
    const std::string dialogName(monitor::AlarmFormName(kItem));
    const auto dialogOpen = [&] {
      const forms::Form* dialog = app.FindForm(dialogName);
      return dialog != nullptr && dialog->IsLoaded();
    };
    // Runs ticks until the dialog is in the wanted state; false when it never gets there.
    const auto tickUntil = [&](bool open) {
      for (int tick = 0; tick < 10; ++tick) {
        scheduler.AdvanceBy(main.Timer1.Interval);
        QCoreApplication::processEvents();
        if (dialogOpen() == open) return true;
      }
      return false;
    };
    constexpr long kWarmUp = 100;
    long startKb = 0;
    for (long cycle = 0; cycle < kWarmUp + cycles; ++cycle) {
      if (cycle == kWarmUp) startKb = ResidentKb();
      machine.SetRail(*rail, 10.2);
      if (!tickUntil(true)) {
        std::cerr << "soak_alarm_dialogs: the " << dialogName << " alarm did not open (cycle " << cycle
                  << ")\n";
        return 1;
      }
      machine.RestoreRail(*rail);
      if (!tickUntil(false)) {
        std::cerr << "soak_alarm_dialogs: the " << dialogName << " alarm did not close (cycle " << cycle
                  << ")\n";
        return 1;
      }
    }
    const long endKb = ResidentKb();
    const long growth = endKb - startKb;
    std::printf("alarm dialog %s shown and closed %ld times (after %ld to warm up), board %s\n",
                dialogName.c_str(), cycles, kWarmUp, board.c_str());
    std::printf("RSS at start %ld kB, at end %ld kB, growth %ld kB (%.1f bytes per cycle)\n", startKb, endKb,
                growth, 1024.0 * static_cast<double>(growth) / static_cast<double>(cycles));
    if (maxGrowthKb && growth > *maxGrowthKb) {
      std::printf("more than the %ld kB allowed\n", *maxGrowthKb);
      status = 1;
    }
  } catch (const monitor::ProgramEnded& end) {
    std::cerr << "soak_alarm_dialogs: the program ended (status " << end.exitCode << ")\n";
    status = 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  long cycles = 10000;
  std::string board = "ZQ51/ZQ51S";
  std::optional<long> maxGrowthKb;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i + 1 >= argc) return Usage("missing value after " + std::string(arg));
    const std::string_view value = argv[++i];
    if (arg == "--cycles") {
      const auto n = Number(value);
      if (!n || *n == 0) return Usage("--cycles needs a positive number");
      cycles = *n;
    } else if (arg == "--board") {
      board = value;
    } else if (arg == "--max-growth-kb") {
      maxGrowthKb = Number(value);
      if (!maxGrowthKb) return Usage("--max-growth-kb needs a number");
    } else {
      return Usage("unknown option " + std::string(arg));
    }
  }
  const sim::BoardProfile* profile = sim::FindProfile(board);
  if (profile == nullptr) return Usage("no simulated board " + board);

  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::unique_ptr<QApplication> qtApp = qt::MakeApplication();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("veltrix-soak-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);

  forms::VirtualScheduler scheduler;
  platform::MemoryRegistry registry;
  assembly::Options options;
  options.board = *profile;
  options.system.lcid = 1033;
  options.system.decimalSeparator = '.';
  options.system.lockPath = (folder / "veltrix.lock").string();
  options.system.clock = std::make_shared<platform::VirtualClock>(platform::LocalTime{2004, 6, 1, 9, 0, 0},
                                                                  [&scheduler] { return scheduler.NowMs(); });
  int status = 0;
  {
    assembly::Assembly parts(scheduler, registry, std::move(options));
    status = Soak(parts, scheduler, board, cycles, maxGrowthKb);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
