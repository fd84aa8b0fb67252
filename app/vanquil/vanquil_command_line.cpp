#include "app/vanquil/vanquil_command_line.h"

namespace veltrix::app {

VanquilParseResult ParseVanquilCommandLine(std::span<const std::string> args) {
  VanquilCommandLine cl;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      cl.help = true;
    } else if (arg == "--version") {
      cl.version = true;
    } else if (arg == "--registry" || arg.rfind("--registry=", 0) == 0) {
      std::string value;
      if (arg == "--registry") {
        if (i + 1 >= args.size()) return std::string("option --registry needs a value");
        value = args[++i];
      } else {
        value = arg.substr(std::string("--registry=").size());
      }
      if (value.empty()) return std::string("option --registry needs a non-empty file name");
      cl.registry = value;
    } else {
      return "unknown option '" + arg + "' (see vanquil --help)";
    }
  }
  return cl;
}

std::string VanquilUsageText() {
  return "Usage: vanquil [--registry FILE] [--help] [--version]\n"
         "\n"
         "Removes everything Veltrix stored in its registry store, then starts the\n"
         "registered uninstaller. Run it when Veltrix is uninstalled. With a display it\n"
         "shows a small window while it works; it prints nothing unless something could\n"
         "not be removed, which it says on standard error before exiting with status 1.\n"
         "A settings file that is a symbolic link is refused.\n"
         "\n"
         "  --registry FILE  the registry store to clean (default: the one Veltrix uses)\n"
         "  --help           show this text\n"
         "  --version        show the version\n";
}

}  // namespace veltrix::app
