// Feeds arbitrary bytes to the registry file parser. Whatever it accepts must be written back
// in a form that reads again to the very same tree (types, bytes and name spellings).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/registry/hive_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using veltrix::platform::FormatHive;
  using veltrix::platform::ParseHive;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = ParseHive(text);
  if (parsed.error) {
    if (parsed.error->line == 0 || parsed.error->reason.empty()) __builtin_trap();
    return 0;
  }
  std::string written = FormatHive(parsed.root);
  auto again = ParseHive(written);
  if (again.error || !(again.root == parsed.root)) __builtin_trap();
  if (FormatHive(again.root) != written) __builtin_trap();
  return 0;
}
