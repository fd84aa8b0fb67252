#include "app/veltrix/veltrix_app.h"

#include <memory>
#include <optional>

#include "frontends/console/monitor_console.h"
#include "frontends/console/real_time_scheduler.h"
#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/startup/exit_program.h"
#include "monitor/startup/startup.h"
#include "monitor/startup/tray_window.h"
#include "platform/boardinfo/linux_board_info.h"
#include "platform/forms/forms.h"
#include "platform/portio/linux_port_io.h"
#include "platform/registry/file_registry.h"
#include "platform/system/linux_system.h"
#include "platform/system/message_box.h"
#include "platform/system/shell.h"
#include "platform/system/sim_system.h"
#include "sim/board/board_profile.h"
#include "sim/board_info/sim_board_info.h"
#include "sim/machine/sim_machine.h"
#include "sim/scenario/scenario.h"

#ifdef VELTRIX_HAVE_QT
#include <QApplication>

#include "frontends/qt/desktop.h"
#include "frontends/qt/event_guard.h"
#endif

#ifndef VELTRIX_VERSION
#define VELTRIX_VERSION "dev"
#endif

namespace veltrix::app {
namespace {

const char* YesNo(bool value) {
  return value ? "yes" : "no";
}

bool HasChassisFlag(monitor::boards::ChipsetChassis chassis) {
  using monitor::boards::ChipsetChassis;
  return chassis == ChipsetChassis::kIntel || chassis == ChipsetChassis::kVia ||
         chassis == ChipsetChassis::kNvidia || chassis == ChipsetChassis::kWinbond;
}

// Everything one run needs, in construction order (destroyed in reverse).
struct Run {
#ifdef VELTRIX_HAVE_QT
  std::unique_ptr<QApplication> qtApp;  // first made, last gone
#endif
  std::unique_ptr<forms::Scheduler> scheduler;
  std::unique_ptr<forms::Application> app;
  std::unique_ptr<sim::SimMachine> machine;
  std::unique_ptr<platform::PortIo> linuxPorts;
  std::unique_ptr<platform::BoardInfo> boardInfo;
  std::unique_ptr<platform::FileRegistry> registry;
  platform::ScriptedAnswers answers;
  std::unique_ptr<platform::SimSystem> system;
  std::unique_ptr<monitor::Program> program;
#ifdef VELTRIX_HAVE_QT
  std::unique_ptr<qt::Desktop> desktop;  // windows and tray go before the program
#endif
};

// Runs the program's timers until `done` says so or nothing can happen any more.
void EventLoop(forms::Scheduler& scheduler, const std::function<bool()>& done) {
  if (done()) return;
#ifdef VELTRIX_HAVE_QT
  if (dynamic_cast<qt::QtScheduler*>(&scheduler) != nullptr) {
    qt::Exec();
    return;
  }
#endif
  if (auto* real = dynamic_cast<console::RealTimeScheduler*>(&scheduler)) {
    real->Run();
    return;
  }
  auto& virt = static_cast<forms::VirtualScheduler&>(scheduler);
  while (!done() && !virt.StopRequested() && virt.RunNext()) {
  }
}

}  // namespace

std::string DefaultBoardModel() {
  // A supported board with fan control and a chassis flag; a W83627HF board on an Intel chipset
  // first, the most common pairing, whose fan outputs come up at full speed from the BIOS.
  using monitor::boards::CatalogChip;
  using monitor::boards::ChipsetChassis;
  using monitor::boards::Refusal;
  const monitor::boards::CatalogBoard* fallback = nullptr;
  for (const auto& board : monitor::boards::AllKnownModels()) {
    if (board.refusedAt != Refusal::kNone || !board.fanControl || !HasChassisFlag(board.chassis) ||
        sim::FindProfile(board.model) == nullptr) {
      continue;
    }
    if (board.chip == CatalogChip::kW83627HF && board.chassis == ChipsetChassis::kIntel) {
      return std::string(board.model);
    }
    if (fallback == nullptr) fallback = &board;
  }
  return fallback ? std::string(fallback->model) : std::string(sim::DefaultProfile().model);
}

void ListBoards(std::ostream& out) {
  // Chip comes from the simulated board; family, chassis, fan control and whether the board is
  // accepted come from the program's own tables, as start-up would see the reported name.
  using monitor::boards::ChassisMethod;
  out << "model\tchip\tfamily\tvariant\tchassis\tfancontrol\tknown\n";
  for (const auto& p : sim::AllProfiles()) {
    const std::string reported = monitor::UpperCase(std::string(p.ReportedModel()));
    const auto c = monitor::boards::ClassifyBoard(reported);
    const auto* board = monitor::boards::FindCatalogBoard(reported);
    const bool known = board != nullptr && board->refusedAt == monitor::boards::Refusal::kNone;
    const char* chassis = "unsupported";
    if (const auto method = monitor::boards::ChassisMethodFor(reported)) {
      switch (*method) {
        case ChassisMethod::kIntel: chassis = "Intel"; break;
        case ChassisMethod::kVia: chassis = "VIA"; break;
        case ChassisMethod::kNvidia: chassis = "NVIDIA"; break;
        case ChassisMethod::kWinbond: chassis = "Winbond"; break;
        case ChassisMethod::kNone: chassis = "none"; break;
      }
    }
    out << p.model << '\t' << sim::ChipModelName(p.chip) << '\t'
        << (c.chipFamily == monitor::kChipFamilyIte ? "ITE" : "Winbond") << '\t' << c.boardVariant << '\t'
        << chassis << '\t' << YesNo(monitor::boards::IsFanControlSupported(reported)) << '\t' << YesNo(known)
        << '\n';
  }
}

int RunVeltrix(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  ParseResult parsed = ParseCommandLine(args);
  if (auto* message = std::get_if<std::string>(&parsed)) {
    err << "veltrix: " << *message << '\n';
    return kUsageErrorStatus;
  }
  const CommandLine cmd = std::get<CommandLine>(parsed);
  if (cmd.help) {
    out << UsageText();
    return 0;
  }
  if (cmd.version) {
    out << "veltrix " << VELTRIX_VERSION << '\n';
    return 0;
  }
  if (cmd.listBoards) {
    ListBoards(out);
    return 0;
  }

  Run run;
#ifdef VELTRIX_HAVE_QT
  // The desktop front end whenever there is a display to show it on, and for screenshots
  // (offscreen when there is no display). --console and --json force the console.
  const bool desktop = !cmd.console && !cmd.json && (qt::DisplayAvailable() || cmd.screenshotDir);
  if (desktop) {
    if (!qt::DisplayAvailable()) qputenv("QT_QPA_PLATFORM", "offscreen");
    run.qtApp = qt::MakeApplication();
    // With --virtual-time the model's timers run on the virtual clock; the windows still mirror
    // every change, so screenshots show exactly the state after the last tick.
    if (!cmd.virtualTime) run.scheduler = std::make_unique<qt::QtScheduler>();
    // A folder the pictures cannot go to is said at once, not found out after the run.
    if (cmd.screenshotDir) {
      if (const std::string problem = qt::ScreenshotFolderProblem(*cmd.screenshotDir); !problem.empty()) {
        err << "veltrix: --screenshot " << *cmd.screenshotDir << ": " << problem << '\n';
        return kUsageErrorStatus;
      }
    }
  }
#else
  const bool desktop = false;
  if (cmd.screenshotDir) {
    err << "veltrix: --screenshot needs the desktop front end, which this build does not have\n";
    return kUsageErrorStatus;
  }
#endif
  if (!run.scheduler) {
    if (cmd.virtualTime) {
      run.scheduler = std::make_unique<forms::VirtualScheduler>();
    } else {
      run.scheduler = std::make_unique<console::RealTimeScheduler>();
    }
  }
  run.app = std::make_unique<forms::Application>(*run.scheduler);

  platform::PortIo* ports = nullptr;
  if (cmd.hardware == Hardware::kSim) {
    const std::string model = cmd.board.value_or(DefaultBoardModel());
    const sim::BoardProfile* profile = sim::FindProfile(model);
    if (profile == nullptr) {
      err << "veltrix: unknown board '" << model << "' (see --list-boards)\n";
      return kUsageErrorStatus;
    }
    run.machine = std::make_unique<sim::SimMachine>(*profile, 1);
    if (cmd.simDump) {
      if (std::string error = run.machine->LoadDumpFile(*cmd.simDump); !error.empty()) {
        err << "veltrix: " << error << '\n';
        return kUsageErrorStatus;
      }
    }
    if (cmd.scenario) {
      const sim::ScenarioParseResult scenario = sim::LoadScenarioFile(*cmd.scenario);
      std::string error = scenario.scenario ? run.machine->LoadScenario(*scenario.scenario) : scenario.error;
      if (!error.empty()) {
        err << "veltrix: " << error << '\n';
        return kUsageErrorStatus;
      }
    }
    run.scheduler->AddTimeListener([machine = run.machine.get()](std::int64_t nowMs) {
      const double delta = static_cast<double>(nowMs) - machine->NowMs();
      if (delta > 0) machine->Advance(delta);
    });
    ports = &run.machine->Port();
    run.boardInfo = std::make_unique<sim::SimBoardInfo>(run.machine->Profile());
  } else {
    run.linuxPorts = std::make_unique<platform::LinuxPortIo>();
    ports = run.linuxPorts.get();
    run.boardInfo = std::make_unique<platform::LinuxBoardInfo>();
  }

  run.registry = std::make_unique<platform::FileRegistry>(
      cmd.registry ? std::filesystem::path(*cmd.registry) : platform::DefaultRegistryPath(),
      [&err, &run](const std::string& message) {
        err << "veltrix: " << message << '\n';
#ifdef VELTRIX_HAVE_QT
        // On the desktop nobody reads standard error: the user sees a box as well.
        if (run.desktop)
          run.desktop->PostNotice(message, platform::vbOKOnly | platform::vbExclamation, "Warning");
#endif
      });

  run.answers.SetDefault(cmd.answer);
  platform::SimSystemOptions sys;
  // A message box on the console is a line (with the answer given); with --json it goes to
  // stderr, so standard output stays one JSON object per line (the records list the boxes).
  std::ostream& boxOut = cmd.json ? err : out;
  sys.messageBoxes = [&run, &boxOut](const std::string& text, int style, const std::string& title) {
    const int result = run.answers.Respond(text, style, title);
    boxOut << "[message] " << title << ": " << text << " (" << platform::ButtonsText(style) << ") -> "
        << (result == platform::vbYes      ? "Yes"
            : result == platform::vbNo     ? "No"
            : result == platform::vbCancel ? "Cancel"
                                           : "OK")
        << '\n';
    return result;
  };
  sys.lcid = cmd.lcid;
  if (cmd.virtualTime) {
    // Virtual time starts at the real time of day and moves only with the virtual clock.
    sys.clock = std::make_shared<platform::VirtualClock>(
        platform::WallClock().Now(), [scheduler = run.scheduler.get()] { return scheduler->NowMs(); });
  }
  if (cmd.programDir) sys.programDir = *cmd.programDir;
  if (cmd.hardware == Hardware::kSim) {
    run.system = std::make_unique<platform::SimSystem>(std::move(sys));
  } else {
    run.system = std::make_unique<platform::LinuxSystem>(std::move(sys), platform::LinuxSystemOptions{});
  }

  run.program = std::make_unique<monitor::Program>(
      monitor::Services{*ports, *run.registry, *run.boardInfo, *run.system, nullptr, *run.app});
  monitor::Program& program = *run.program;
#ifdef VELTRIX_HAVE_QT
  if (desktop) {
    run.desktop =
        std::make_unique<qt::Desktop>(*run.app, *run.system, run.system->ProgramFolder(), !cmd.answer);
    program.Svc().shell = run.desktop->Shell();
    monitor::InstallTrayWindow(program);
    // What the settings file said when it was read before the desktop was there.
    if (const auto& warning = run.registry->LoadWarning()) {
      run.desktop->PostNotice(*warning, platform::vbOKOnly | platform::vbExclamation, "Warning");
    }
    if (cmd.hardware == Hardware::kSim) run.desktop->TellWhenSessionEnds();
    if (run.machine) {
      // Suspend and resume of the simulated machine arrive as the system's power notifications.
      run.machine->SetPowerEventHandler([shell = run.desktop->Shell()](sim::PowerEvent event) {
        shell->BroadcastMessageA(
            platform::WM_POWERBROADCAST,
            event == sim::PowerEvent::kSuspend ? platform::PBT_APMSUSPEND : platform::PBT_APMRESUMESUSPEND,
            0);
      });
    }
  }
#endif
  // Without the desktop the console shows the monitor: the rows of every tick, or one JSON
  // object per tick.
  std::unique_ptr<console::MonitorConsole> monitorConsole;
  platform::NullShell consoleShell;  // the console has no tray and no screen
  if (!desktop) {
    monitorConsole = std::make_unique<console::MonitorConsole>(
        program, out, console::MonitorConsoleOptions{.json = cmd.json}, &run.answers.Shown());
    monitorConsole->Attach();
    // The main window's procedure still runs, so the simulated machine's suspend and resume
    // reach the program as power notifications.
    program.Svc().shell = &consoleShell;
    monitor::InstallTrayWindow(program);
    if (run.machine) {
      run.machine->SetPowerEventHandler([&consoleShell, &boxOut](sim::PowerEvent event) {
        const bool suspend = event == sim::PowerEvent::kSuspend;
        boxOut << (suspend ? "-- the simulated machine suspends --" : "-- the simulated machine resumes --")
               << '\n';
        consoleShell.BroadcastMessageA(platform::WM_POWERBROADCAST,
                                       suspend ? platform::PBT_APMSUSPEND : platform::PBT_APMRESUMESUSPEND, 0);
      });
    }
  }
  const std::uint64_t tickLimit = cmd.ticks.value_or(0);
  auto previousTick = program.OnMonitoringTick;
  program.OnMonitoringTick = [&, previousTick](std::uint64_t tick) {
    if (previousTick) previousTick(tick);
    if (cmd.ticks && tick >= tickLimit) {
      if (auto* virt = dynamic_cast<forms::VirtualScheduler*>(run.scheduler.get())) virt->RequestStop();
#ifdef VELTRIX_HAVE_QT
      if (run.desktop) run.desktop->Quit();
#endif
    }
  };

  int status = 0;
  try {
    monitor::Main(program);
#ifdef VELTRIX_HAVE_QT
    if (run.desktop) run.desktop->AfterStartup(program);
#endif
    EventLoop(*run.scheduler, [&] { return cmd.ticks && program.MonitoringTicks() >= tickLimit; });
#ifdef VELTRIX_HAVE_QT
    if (run.desktop && cmd.screenshotDir) {
      QStringList failed;
      for (const QString& file :
           run.desktop->SaveScreenshots(QString::fromStdString(*cmd.screenshotDir), &failed)) {
        out << "[screenshot] " << file.toStdString() << '\n';
      }
      for (const QString& problem : failed)
        err << "veltrix: screenshot not saved: " << problem.toStdString() << '\n';
      if (!failed.isEmpty()) status = 1;
    }
    // A tray-menu exit has already run the exit and unloaded the main window.
    forms::Form* mainWindow = program.MainWindowIfCreated();
    if (run.desktop && (mainWindow == nullptr || !mainWindow->IsLoaded())) return status;
#endif
    // The loop ends when the tick limit is reached or nothing can happen any more: the
    // orderly way out.
    monitor::ExitProgram(program);
    if (forms::Form* main = program.MainWindowIfCreated()) main->Unload();
  } catch (const monitor::ProgramEnded& end) {
    return end.exitCode;
  }
  return status;
}

}  // namespace veltrix::app
