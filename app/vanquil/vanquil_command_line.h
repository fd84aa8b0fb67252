#pragma once
// The vanquil command line: vanquil [--registry FILE] [--help] [--version]
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace veltrix::app {

struct VanquilCommandLine {
  std::optional<std::string> registry;
  bool help = false;
  bool version = false;
};

// Either the parsed command line or the one-line error message (without "vanquil: ").
using VanquilParseResult = std::variant<VanquilCommandLine, std::string>;

// `args` without the program name.
VanquilParseResult ParseVanquilCommandLine(std::span<const std::string> args);

std::string VanquilUsageText();

}  // namespace veltrix::app
