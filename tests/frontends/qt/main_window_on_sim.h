#pragma once
// The real main window on the simulator, rendered by the desktop front end (offscreen): the
// program has started, the window is shown and its widgets exist.
#include <cstdint>
#include <memory>
#include <string_view>

#include <gtest/gtest.h>

#include "frontends/qt/form_renderer.h"
#include "monitor/startup/tray_window.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/system/shell.h"
#include "tests/support/sim_program.h"

namespace veltrix::qt {

struct MainWindowOnSim {
  static testsupport::SimProgramOptions Options(std::uint32_t lcid) {
    testsupport::SimProgramOptions options;
    options.programDir = VELTRIX_BINARY_DIR "/bin";  // the pictures the build installs
    options.lcid = lcid;
    return options;
  }

  explicit MainWindowOnSim(std::string_view model, std::uint32_t lcid = 1033) : sim(model, Options(lcid)) {
    sim.Prog().Svc().shell = &shell;
    started = !sim.Start().has_value();
    if (!started) return;
    renderer = std::make_unique<FormRenderer>(sim.App(), sim.ProgramDir());
    main().Show();
  }
  monitor::frmdoctor& main() { return sim.Prog().frmdoctor(); }

  testsupport::SimProgram sim;
  platform::NullShell shell;
  bool started = false;
  std::unique_ptr<FormRenderer> renderer;
};

}  // namespace veltrix::qt
