#include <cstdio>
#include <string>
#include <vector>

#include "app/vanquil/vanquil_command_line.h"

#ifndef VELTRIX_VERSION
#define VELTRIX_VERSION "0"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  auto parsed = veltrix::app::ParseVanquilCommandLine(args);
  if (auto* error = std::get_if<std::string>(&parsed)) {
    std::fprintf(stderr, "vanquil: %s\n", error->c_str());
    return 2;
  }
  const auto& cl = std::get<veltrix::app::VanquilCommandLine>(parsed);
  if (cl.help) {
    std::fputs(veltrix::app::VanquilUsageText().c_str(), stdout);
    return 0;
  }
  if (cl.version) {
    std::printf("vanquil %s\n", VELTRIX_VERSION);
    return 0;
  }
  std::puts("vanquil: the clean-up of the registry store is not built yet; nothing was changed.");
  return 0;
}
