#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/vanquil/frm_vanquil.h"
#include "app/vanquil/vanquil_app.h"
#include "app/vanquil/vanquil_command_line.h"
#include "platform/registry/file_registry.h"
#include "platform/system/sim_system.h"

#ifndef VELTRIX_VERSION
#define VELTRIX_VERSION "0"
#endif

namespace {

int Run(int argc, char** argv) {
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
  const std::filesystem::path file =
      cl.registry ? std::filesystem::path(*cl.registry) : veltrix::platform::DefaultRegistryPath();
  // The window stays up while the clean-up runs and goes with the process.
  veltrix::app::FrmVanquil window(argc, argv);
  veltrix::platform::SimSystem system;
  return veltrix::app::CleanUpSettings(file, system, std::cerr);
}

}  // namespace

// Nothing may escape main unexplained: a failure the clean-up did not foresee (no memory, say)
// is said once and ends the run with status 1, like any other failure to remove something.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vanquil: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "vanquil: unexpected failure\n");
  }
  return 1;
}
