#include <iostream>
#include <string>
#include <vector>

#include "app/veltrix/veltrix_app.h"
#include "platform/system/exit_signals.h"

int main(int argc, char** argv) {
  // Before anything else: from here on SIGINT, SIGTERM and SIGHUP end the program the orderly
  // way, and a crash puts the fans back to full speed before the process dies.
  std::string error;
  if (!veltrix::platform::ExitSignals::Install(&error)) {
    std::cerr << "veltrix: cannot set up the signal handlers: " << error << '\n';
    return 1;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  const int status = veltrix::app::RunVeltrix(args, std::cout, std::cerr);
  std::cout.flush();
  // Ended by a signal: the exit ran, now the process ends the way the signal says (a shell
  // sees 128 + N, an interrupted script stops).
  if (const int signal = veltrix::platform::ExitSignals::Received(); signal != 0) {
    veltrix::platform::ExitSignals::DieBy(signal);
  }
  return status;
}
