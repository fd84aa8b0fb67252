#pragma once
// JSON string literals for the console's one-object-per-line output.
#include <string>
#include <string_view>

namespace veltrix::console {

// `text` as a quoted JSON string: quote, backslash and control characters escaped, everything
// else (UTF-8 included) passed through unchanged.
std::string JsonString(std::string_view text);

}  // namespace veltrix::console
