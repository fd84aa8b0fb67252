#pragma once
// The veltrix command line. Every option is parsed and checked here; an unknown option or a
// bad value yields one line naming it (and the program exits with status 2).
//
//   veltrix [--console] [--json] [--board MODEL] [--hardware sim|linux]
//           [--registry FILE] [--program-dir DIR] [--lcid N]
//           [--ticks N] [--virtual-time] [--scenario FILE] [--sim-dump FILE] [--sim-state-out FILE]
//           [--answer ok|yes|no] [--screenshot DIR] [--graph WHICH]... [--show-page N] [--info]
//           [--list-boards] [--help] [--version]
//
// Options that take a value accept "--option VALUE" and "--option=VALUE".
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "platform/system/message_box.h"

namespace veltrix::app {

enum class Hardware { kSim, kLinux };

struct CommandLine {
  bool console = false;
  bool json = false;
  std::optional<std::string> board;
  Hardware hardware = Hardware::kSim;
  std::optional<std::string> registry;
  std::optional<std::string> programDir;
  std::optional<std::uint32_t> lcid;
  std::optional<std::uint64_t> ticks;
  bool virtualTime = false;
  std::optional<std::string> scenario;
  std::optional<std::string> simDump;
  std::optional<std::string> simStateOut;
  std::optional<platform::Answer> answer;
  std::optional<std::string> screenshotDir;
  // Graph windows to open once started, as the Graphic page's buttons do: 0 voltage,
  // 1 temperature, 2 fan speed, 3 fan speed against temperature.
  std::vector<int> graphs;
  std::optional<int> showPage;  // desktop: the main window is shown on this page once started
  bool info = false;            // print the system information page and exit
  bool listBoards = false;
  bool help = false;
  bool version = false;
};

// Either the parsed command line or the one-line error message (without "veltrix: ").
using ParseResult = std::variant<CommandLine, std::string>;

// `args` without the program name.
ParseResult ParseCommandLine(std::span<const std::string> args);

// The --help text.
std::string UsageText();

inline constexpr int kUsageErrorStatus = 2;

}  // namespace veltrix::app
