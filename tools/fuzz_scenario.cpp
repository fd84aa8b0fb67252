// Fuzz target: the scenario parser and a machine accepting what it parsed.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sim/board/board_profile.h"
#include "sim/machine/sim_machine.h"
#include "sim/scenario/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veltrix::sim;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ScenarioParseResult r = ParseScenario(text, "fuzz.scn");
  if (!r.scenario) {
    if (r.error.rfind("fuzz.scn:", 0) != 0) __builtin_trap();  // every error names file and line
    return 0;
  }
  SimMachine machine(*FindProfile("ZR45-MAX"), 1);
  if (machine.LoadScenario(*r.scenario).empty()) {
    // Run only a bounded stretch of simulated time whatever the script says.
    machine.Advance(5000);
  }
  return 0;
}
