#pragma once
// The text form of the registry store (docs/registry-file.md): a "REGEDIT4" header, one
// "[HKEY_LOCAL_MACHINE\...]" section per key and one line per value. Every value keeps its type
// and exact bytes: plain strings are written quoted only when that form gives back the same
// bytes (one terminating NUL, no other NUL, printable UTF-8); everything else is written as hex.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/registry_tree.h"

namespace veltrix::platform {

struct HiveParseError {
  std::size_t line = 0;  // 1-based line of the offending text
  std::string reason;
};

struct HiveParseResult {
  RegistryKey root;  // HKEY_LOCAL_MACHINE; empty when the text could not be parsed
  std::optional<HiveParseError> error;
};

// Accepts LF or CRLF line ends, a UTF-8 byte-order mark, ';' comment lines, blank lines and
// hex data continued over several lines with a trailing backslash. Empty text (or only blank
// lines) is an empty store. Any line it cannot read makes the whole text an error: a store is
// never half loaded. Reading takes time in proportion to the text. Keys deeper than 512, key
// names over 255 bytes and value names over 16383 bytes are refused, as Windows refuses them.
HiveParseResult ParseHive(std::string_view text);

// Writes a section for every key that holds values or has no sub-keys (parents before
// children, names in case-insensitive order); the keys in between come back from their
// sub-keys' paths, so empty keys survive a round trip and the text stays in proportion to the
// tree. ParseHive(FormatHive(root)).root == root.
std::string FormatHive(const RegistryKey& root);

}  // namespace veltrix::platform
