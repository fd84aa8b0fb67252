#include "app/veltrix/veltrix_app.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/assembly/assembly.h"
#include "app/veltrix/linux_hardware.h"
#include "frontends/console/monitor_console.h"
#include "frontends/console/real_time_scheduler.h"
#include "frontends/console/system_information_console.h"
#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/startup/exit_program.h"
#include "monitor/startup/exit_status.h"
#include "monitor/startup/startup.h"
#include "monitor/startup/tray_window.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/forms/forms.h"
#include "platform/registry/file_registry.h"
#include "platform/system/exit_signals.h"
#include "platform/system/message_box.h"
#include "platform/system/shell.h"
#include "platform/system/sim_system.h"
#include "platform/text/text.h"
#include "sim/board/board_profile.h"
#include "sim/machine/sim_machine.h"
#include "sim/machine/sim_state_file.h"
#include "sim/scenario/scenario.h"

#ifdef VELTRIX_HAVE_QT
#include <QApplication>
#include <QSocketNotifier>

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
  std::unique_ptr<platform::FileRegistry> registry;
  platform::ScriptedAnswers answers;
  std::unique_ptr<assembly::Assembly> parts;
  std::unique_ptr<sim::SimStateFile> stateFile;
#ifdef VELTRIX_HAVE_QT
  std::unique_ptr<qt::Desktop> desktop;  // windows and tray go before the program
#endif
};

// While attached, a crash or an exit() from anywhere plays the program's last-resort list and
// leaves the simulated board's state behind.
class LastResortAttachment {
 public:
  LastResortAttachment(monitor::Program& program, sim::SimStateFile* stateFile) {
    platform::ExitSignals::Attach(&program.LastResort(), stateFile ? &sim::SimStateFile::WriteFrom : nullptr,
                                  stateFile);
  }
  ~LastResortAttachment() { platform::ExitSignals::Attach(nullptr); }
  LastResortAttachment(const LastResortAttachment&) = delete;
  LastResortAttachment& operator=(const LastResortAttachment&) = delete;
};

// Runs the program's timers until `done` says so, nothing can happen any more, or an
// exit signal arrived (then `onSignal` runs the orderly exit, which ends the loop).
void EventLoop(forms::Scheduler& scheduler, const std::function<bool()>& done,
               const std::function<void()>& onSignal) {
  if (done()) return;
#ifdef VELTRIX_HAVE_QT
  if (dynamic_cast<qt::QtScheduler*>(&scheduler) != nullptr) {
    std::unique_ptr<QSocketNotifier> notifier;
    if (const int fd = platform::ExitSignals::ReadFd(); fd >= 0) {
      notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
      QObject::connect(notifier.get(), &QSocketNotifier::activated, [onSignal, &notifier] {
        notifier->setEnabled(false);
        qt::Guarded(onSignal);
      });
    }
    qt::Exec();
    return;
  }
#endif
  if (auto* real = dynamic_cast<console::RealTimeScheduler*>(&scheduler)) {
    real->SetWakeFd(platform::ExitSignals::ReadFd(), onSignal);
    real->Run();
    return;
  }
  auto& virt = static_cast<forms::VirtualScheduler&>(scheduler);
  while (!done() && !virt.StopRequested()) {
    if (platform::ExitSignals::TakeSignal() != 0) onSignal();
    if (!virt.RunNext()) break;
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
  // Boards the program accepts come first; the simulator's examples of boards it refuses
  // (known = no) follow, so a newcomer's first pick from the top of the list runs.
  out << "model\tchip\tfamily\tvariant\tchassis\tfancontrol\tknown\n";
  const auto accepted = [](const sim::BoardProfile& p) {
    const auto* board = monitor::boards::FindCatalogBoard(text::UpperCase(std::string(p.ReportedModel())));
    return board != nullptr && board->refusedAt == monitor::boards::Refusal::kNone;
  };
  std::vector<const sim::BoardProfile*> ordered;
  for (const auto& p : sim::AllProfiles()) {
    if (accepted(p)) ordered.push_back(&p);
  }
  for (const auto& p : sim::AllProfiles()) {
    if (!accepted(p)) ordered.push_back(&p);
  }
  for (const sim::BoardProfile* profile : ordered) {
    const sim::BoardProfile& p = *profile;
    const std::string reported = text::UpperCase(std::string(p.ReportedModel()));
    const auto c = monitor::boards::ClassifyBoard(reported);
    const bool known = accepted(p);
    const char* chassis = "unsupported";
    if (const auto method = monitor::boards::ChassisMethodFor(reported)) {
      switch (*method) {
        case ChassisMethod::kIntel:
          chassis = "Intel";
          break;
        case ChassisMethod::kVia:
          chassis = "VIA";
          break;
        case ChassisMethod::kNvidia:
          chassis = "NVIDIA";
          break;
        case ChassisMethod::kWinbond:
          chassis = "Winbond";
          break;
        case ChassisMethod::kNone:
          chassis = "none";
          break;
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
  // (offscreen when there is no display). --console, --json and --info use the console.
  const bool desktop =
      !cmd.console && !cmd.json && !cmd.info && (qt::DisplayAvailable() || cmd.screenshotDir || cmd.showPage);
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
  if (cmd.screenshotDir || cmd.showPage) {
    err << "veltrix: " << (cmd.screenshotDir ? "--screenshot" : "--show-page")
        << " needs the desktop front end, which this build does not have\n";
    return kUsageErrorStatus;
  }
#endif
  if (!desktop && !cmd.graphs.empty()) {
    err << "veltrix: --graph needs the desktop front end (a display, or --screenshot)\n";
    return kUsageErrorStatus;
  }
  if (!run.scheduler) {
    if (cmd.virtualTime) {
      run.scheduler = std::make_unique<forms::VirtualScheduler>();
    } else {
      run.scheduler = std::make_unique<console::RealTimeScheduler>();
    }
  }

  assembly::Options parts;
  if (cmd.hardware == Hardware::kSim) {
    const std::string model = cmd.board.value_or(DefaultBoardModel());
    const sim::BoardProfile* profile = sim::FindProfile(model);
    if (profile == nullptr) {
      err << "veltrix: unknown board '" << model << "' (see --list-boards)\n";
      return kUsageErrorStatus;
    }
    parts.board = *profile;
  } else {
    if (const auto refused = RefuseChipOwnedByKernel("/", err)) return *refused;
    parts.chassisPorts = [bridge = platform::FindChipsetBridge("/")](const monitor::Program& program) {
      return ChassisPortsToOpen(program.G().ModelName, bridge);
    };
    parts.log = [&err](const std::string& line) { err << "veltrix: " << line << '\n'; };
  }

  run.registry = std::make_unique<platform::FileRegistry>(
      cmd.registry ? std::filesystem::path(*cmd.registry) : platform::DefaultRegistryPath(),
#ifdef VELTRIX_HAVE_QT
      [&err, &run](const std::string& message) {
#else
      [&err](const std::string& message) {
#endif
        err << "veltrix: " << message << '\n';
#ifdef VELTRIX_HAVE_QT
        // On the desktop nobody reads standard error: the user sees a box as well.
        if (run.desktop)
          run.desktop->PostNotice(message, platform::vbOKOnly | platform::vbExclamation, "Warning");
#endif
      });

  run.answers.SetDefault(cmd.answer);
  // A message box on the console is a line (with the answer given); with --json it goes to
  // stderr, so standard output stays one JSON object per line (the records list the boxes).
  std::ostream& boxOut = cmd.json || cmd.info ? err : out;
  parts.system.messageBoxes = [&run, &boxOut](const std::string& text, int style, const std::string& title) {
    const int result = run.answers.Respond(text, style, title);
    boxOut << "[message] " << title << ": " << text << " (" << platform::ButtonsText(style) << ") -> "
           << (result == platform::vbYes      ? "Yes"
               : result == platform::vbNo     ? "No"
               : result == platform::vbCancel ? "Cancel"
                                              : "OK")
           << '\n';
    return result;
  };
  parts.system.lcid = cmd.lcid;
  if (cmd.virtualTime) {
    // Virtual time starts at the real time of day and moves only with the virtual clock.
    parts.system.clock = std::make_shared<platform::VirtualClock>(
        platform::WallClock().Now(), [scheduler = run.scheduler.get()] { return scheduler->NowMs(); });
  }
  if (cmd.programDir) parts.system.programDir = *cmd.programDir;
  run.parts = std::make_unique<assembly::Assembly>(*run.scheduler, *run.registry, std::move(parts));
  sim::SimMachine* machine = run.parts->Machine();
  if (machine != nullptr) {
    if (cmd.simDump) {
      if (std::string error = machine->LoadDumpFile(*cmd.simDump); !error.empty()) {
        err << "veltrix: " << error << '\n';
        return kUsageErrorStatus;
      }
    }
    if (cmd.scenario) {
      const sim::ScenarioParseResult scenario = sim::LoadScenarioFile(*cmd.scenario);
      std::string error = scenario.scenario ? machine->LoadScenario(*scenario.scenario) : scenario.error;
      if (!error.empty()) {
        err << "veltrix: " << error << '\n';
        return kUsageErrorStatus;
      }
    }
    if (cmd.simStateOut) {
      run.stateFile = std::make_unique<sim::SimStateFile>(*machine, *cmd.simStateOut);
      if (!run.stateFile->Error().empty()) {
        err << "veltrix: " << run.stateFile->Error() << '\n';
        return kUsageErrorStatus;
      }
    }
  }

  monitor::Program& program = run.parts->Prog();
#ifdef VELTRIX_HAVE_QT
  if (desktop) {
    run.desktop = std::make_unique<qt::Desktop>(run.parts->App(), run.parts->System(),
                                                run.parts->System().ProgramFolder(), !cmd.answer);
    program.Svc().shell = run.desktop->Shell();
    // What the settings file said when it was read before the desktop was there.
    if (const auto& warning = run.registry->LoadWarning()) {
      run.desktop->PostNotice(*warning, platform::vbOKOnly | platform::vbExclamation, "Warning");
    }
    if (cmd.hardware == Hardware::kSim) run.desktop->TellWhenSessionEnds();
    if (machine != nullptr) {
      // Suspend and resume of the simulated machine arrive as the system's power notifications.
      machine->SetPowerEventHandler([shell = run.desktop->Shell()](sim::PowerEvent event) {
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
  if (!desktop) {
    if (!cmd.info) {
      monitorConsole = std::make_unique<console::MonitorConsole>(
          program, out, console::MonitorConsoleOptions{.json = cmd.json}, &run.answers.Shown());
      monitorConsole->Attach();
    }
    // The console has no tray and no screen; the main window's procedure still runs on the
    // headless shell, so the simulated machine's suspend and resume reach the program as
    // power notifications.
    platform::NullShell& consoleShell = run.parts->HeadlessShell();
    program.Svc().shell = &consoleShell;
    if (machine != nullptr) {
      machine->SetPowerEventHandler([&consoleShell, &boxOut](sim::PowerEvent event) {
        const bool suspend = event == sim::PowerEvent::kSuspend;
        boxOut << (suspend ? "-- the simulated machine suspends --" : "-- the simulated machine resumes --")
               << '\n';
        consoleShell.BroadcastMessageA(platform::WM_POWERBROADCAST,
                                       suspend ? platform::PBT_APMSUSPEND : platform::PBT_APMRESUMESUSPEND,
                                       0);
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
#ifdef VELTRIX_HAVE_QT
  if (run.desktop) {
    // The machine is going down (logind): the same orderly exit as the Exit button.
    run.desktop->Shell()->onSystemShutdown = [&program] { monitor::ExitAndEndProcess(program); };
  }
#endif

  int status = monitor::kExitOk;
  bool screenshotFailed = false;
  {
    LastResortAttachment attached(program, run.stateFile.get());
    // SIGINT, SIGTERM, SIGHUP: the same orderly exit as the Exit button.
    bool exiting = false;
    auto onSignal = [&] {
      if (platform::ExitSignals::TakeSignal() == 0 || exiting) return;
      exiting = true;
      monitor::ExitAndEndProcess(program);
    };
    bool infoPrinted = false;
    try {
      monitor::Main(program);
      if (cmd.info) {
        // The page as the main window's load filled it, then the orderly way out.
        console::PrintSystemInformation(program.frmdoctor(), out, cmd.json);
        infoPrinted = true;
        monitor::ExitAndEndProcess(program);
      }
#ifdef VELTRIX_HAVE_QT
      if (run.desktop) run.desktop->AfterStartup(program);
      if (run.desktop && cmd.showPage) {
        // As a person would: open the window and click the page's tab.
        program.frmdoctor().Show();
        program.frmdoctor().SSTabMain.UserSelectTab(*cmd.showPage);
      }
#endif
      // Graph windows asked for on the command line open as their buttons open them.
      if (program.MainWindowIfCreated() != nullptr) {
        for (int graph : cmd.graphs) program.frmdoctor().btnGraphSet_Click(graph);
      }
      EventLoop(
          *run.scheduler, [&] { return cmd.ticks && program.MonitoringTicks() >= tickLimit; }, onSignal);
#ifdef VELTRIX_HAVE_QT
      if (run.desktop && cmd.screenshotDir) {
        QStringList failed;
        for (const QString& file :
             run.desktop->SaveScreenshots(QString::fromStdString(*cmd.screenshotDir), &failed)) {
          out << "[screenshot] " << file.toStdString() << '\n';
        }
        for (const QString& problem : failed)
          err << "veltrix: screenshot not saved: " << problem.toStdString() << '\n';
        if (!failed.isEmpty()) screenshotFailed = true;
      }
#endif
      // The loop ends when the tick limit is reached or nothing can happen any more: the
      // orderly way out. A tray-menu exit or a closed main window has run it already.
      forms::Form* mainWindow = program.MainWindowIfCreated();
      if (mainWindow != nullptr && mainWindow->IsLoaded()) monitor::ExitAndEndProcess(program);
    } catch (const monitor::ProgramEnded& end) {
      status = end.exitCode;
      // Start-up ended before the page could be shown: that is not what --info was asked for.
      if (cmd.info && !infoPrinted && status == monitor::kExitOk) status = 1;
    } catch (const std::logic_error& bug) {
      err << "veltrix: internal error: " << bug.what() << '\n';
      status = monitor::kExitIncomplete;
    }
    // Ended without the orderly exit after the chip was programmed (an accepted shut-down):
    // put back what the exit would have.
    program.LastResort().Play();
  }
  if (run.stateFile) run.stateFile->Write();
  if (const int signal = platform::ExitSignals::Received(); signal != 0) return 128 + signal;
  if (status == monitor::kExitOk && screenshotFailed) return 1;
  return status;
}

}  // namespace veltrix::app
