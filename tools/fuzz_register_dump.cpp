// Fuzz target: the register-dump parser, identification, and loading onto every example chip.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sim/board/board_profile.h"
#include "sim/dump/register_dump.h"
#include "sim/machine/sim_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veltrix::sim;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  DumpParseResult r = ParseRegisterDump(text, "fuzz.dump");
  if (!r.dump) {
    if (r.error.rfind("fuzz.dump:", 0) != 0) __builtin_trap();
    return 0;
  }
  for (const DumpTable& t : r.dump->tables) (void)IdentifyTable(t);
  for (const char* board : {"ZQ6A-PRO", "ZT50-PLUS", "ZR31-X"}) {
    SimMachine machine(*FindProfile(board), 1);
    if (machine.LoadDump(*r.dump).empty()) machine.Advance(1000);
  }
  return 0;
}
