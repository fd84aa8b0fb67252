#include "app/veltrix/command_line.h"

#include <charconv>
#include <limits>
#include <string_view>

namespace veltrix::app {
namespace {

template <typename T>
std::optional<T> ParseUnsigned(std::string_view text) {
  T value{};
  if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc{} || ptr != end) return std::nullopt;
  return value;
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

}  // namespace

ParseResult ParseCommandLine(std::span<const std::string> args) {
  CommandLine cmd;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::string_view name = arg;
    std::optional<std::string_view> inlineValue;
    if (arg.starts_with("--")) {
      if (const auto eq = arg.find('='); eq != std::string_view::npos) {
        name = arg.substr(0, eq);
        inlineValue = arg.substr(eq + 1);
      }
    }

    // Flags.
    bool* flag = nullptr;
    if (name == "--console") flag = &cmd.console;
    if (name == "--json") flag = &cmd.json;
    if (name == "--virtual-time") flag = &cmd.virtualTime;
    if (name == "--list-boards") flag = &cmd.listBoards;
    if (name == "--help" || name == "-h") flag = &cmd.help;
    if (name == "--version") flag = &cmd.version;
    if (name == "--info") flag = &cmd.info;
    if (flag != nullptr) {
      if (inlineValue) return "option " + std::string(name) + " takes no value";
      *flag = true;
      continue;
    }

    const bool takesValue = name == "--board" || name == "--hardware" || name == "--registry" ||
                            name == "--program-dir" || name == "--lcid" || name == "--ticks" ||
                            name == "--scenario" || name == "--sim-dump" || name == "--sim-state-out" ||
                            name == "--answer" || name == "--screenshot" || name == "--graph" ||
                            name == "--show-page";
    if (!takesValue) return "unknown option " + Quoted(arg) + " (try --help)";

    std::string_view value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return "option " + std::string(name) + " needs a value";
    }
    const std::string bad = "bad value " + Quoted(value) + " for " + std::string(name);
    if (value.empty()) return bad + ": empty";

    if (name == "--board") {
      cmd.board = std::string(value);
    } else if (name == "--hardware") {
      if (value == "sim") {
        cmd.hardware = Hardware::kSim;
      } else if (value == "linux") {
        cmd.hardware = Hardware::kLinux;
      } else {
        return bad + " (expected sim or linux)";
      }
    } else if (name == "--registry") {
      cmd.registry = std::string(value);
    } else if (name == "--program-dir") {
      cmd.programDir = std::string(value);
    } else if (name == "--lcid") {
      const auto lcid = ParseUnsigned<std::uint32_t>(value);
      if (!lcid || *lcid == 0 || *lcid > 0xFFFF) return bad + " (expected a locale id 1..65535)";
      cmd.lcid = *lcid;
    } else if (name == "--ticks") {
      const auto ticks = ParseUnsigned<std::uint64_t>(value);
      if (!ticks) return bad + " (expected a whole number of ticks)";
      cmd.ticks = *ticks;
    } else if (name == "--scenario") {
      cmd.scenario = std::string(value);
    } else if (name == "--sim-dump") {
      cmd.simDump = std::string(value);
    } else if (name == "--sim-state-out") {
      cmd.simStateOut = std::string(value);
    } else if (name == "--answer") {
      const auto answer = platform::ParseAnswer(value);
      if (!answer || *answer == platform::Answer::kCancel) return bad + " (expected ok, yes or no)";
      cmd.answer = *answer;
    } else if (name == "--screenshot") {
      cmd.screenshotDir = std::string(value);
    } else if (name == "--graph") {
      constexpr std::string_view kGraphs[] = {"voltage", "temp", "fan", "fan-temp"};
      int found = -1;
      for (int n = 0; n < 4; ++n) {
        if (value == kGraphs[n]) found = n;
      }
      if (found < 0) return bad + " (expected voltage, temp, fan or fan-temp)";
      cmd.graphs.push_back(found);
    } else if (name == "--show-page") {
      const auto page = ParseUnsigned<unsigned>(value);
      if (!page || *page > 7) return bad + " (expected a page 0..7)";
      cmd.showPage = static_cast<int>(*page);
    }
  }
  if (!cmd.graphs.empty() && (cmd.console || cmd.json)) return "option --graph needs the desktop front end";

  // --info prints the page on the console; the desktop-only options make no sense with it.
  if (cmd.showPage && (cmd.console || cmd.json || cmd.info)) {
    return std::string(
        "option --show-page needs the desktop front end (not with --console, --json or --info)");
  }
  if (cmd.info && cmd.screenshotDir) return std::string("option --screenshot cannot be used with --info");
  if (cmd.hardware == Hardware::kLinux) {
    for (const auto& [set, option] :
         {std::pair{cmd.board.has_value(), "--board"}, std::pair{cmd.scenario.has_value(), "--scenario"},
          std::pair{cmd.simDump.has_value(), "--sim-dump"},
          std::pair{cmd.simStateOut.has_value(), "--sim-state-out"}}) {
      if (set) return std::string("option ") + option + " needs --hardware sim";
    }
  }
  return cmd;
}

std::string UsageText() {
  return R"(Usage: veltrix [options]
Hardware-health monitor: voltages, temperatures and fan speeds of the board's sensor chip.

  --console            text front end (the default without a display)
  --json               with --console: one JSON object per monitoring tick
  --board MODEL        simulated board to run on (see --list-boards)
  --hardware sim|linux simulated board (default) or this machine's ports (needs root)
  --registry FILE      settings file (default $XDG_CONFIG_HOME/veltrix/registry.reg)
  --program-dir DIR    folder with pictures and readme files (default: beside the program)
  --lcid N             locale id for the language (1028, 2052, 1033, ...)
  --ticks N            end the orderly way after N monitoring ticks
  --virtual-time       run on a virtual clock (as fast as possible)
  --scenario FILE      timed events for the simulated board
  --sim-dump FILE      preset the simulated chip from a register dump
  --sim-state-out FILE write the simulated chip's registers there when the program ends
                       (also after a crash), in the format --sim-dump reads
  --answer ok|yes|no   how message boxes are answered
  --screenshot DIR     desktop front end: save every visible window at exit
  --graph WHICH        desktop front end: open a graph window once started
                       (voltage, temp, fan or fan-temp; may be repeated)
  --show-page N        desktop front end: show the main window on page N (0 Graphic,
                       1 Voltage, ... 4 System, 5 About, ...) once started
  --info               print the system information page (with --json: one object)
                       and exit
  --list-boards        print the simulated boards, tab-separated, and exit
  --help               print this text and exit
  --version            print the version and exit
)";
}

}  // namespace veltrix::app
