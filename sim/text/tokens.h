#pragma once
// Splitting the simulator's text inputs (scenario scripts, register dumps) into words.
#include <string_view>
#include <vector>

namespace veltrix::sim {

// The blank- or tab-separated words of a line, as views into it.
std::vector<std::string_view> Tokens(std::string_view line);

}  // namespace veltrix::sim
