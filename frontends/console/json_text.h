#pragma once
// JSON string literals for the console's one-object-per-line output.
#include <string>
#include <string_view>

namespace veltrix::console {

// `text` as a quoted JSON string: quote, backslash and control characters escaped, well-formed
// UTF-8 passed through unchanged, and every byte that starts no well-formed UTF-8 sequence (a
// Latin-1 folder name, a cut multi-byte character) replaced by U+FFFD, so the output is always
// valid UTF-8 JSON.
std::string JsonString(std::string_view text);

}  // namespace veltrix::console
