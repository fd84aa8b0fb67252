#pragma once
// Small ASCII text helpers shared by the layers: trimming, case-insensitive comparison, upper
// case and hex digits. Deliberately locale-free: the names and files they handle (registry
// paths, board names, register dumps) are ASCII, and a user's locale must not change them.
#include <string>
#include <string_view>

namespace veltrix::text {

// `s` without the leading and trailing characters found in `blanks` (blank and tab by default).
std::string_view Trim(std::string_view s, std::string_view blanks = " \t");

// Equal when the same length and equal letter for letter with A-Z and a-z folded together.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view s, std::string_view prefix);

// `s` with a-z turned to A-Z; every other byte (UTF-8 included) unchanged.
std::string UpperCase(std::string s);

// The value of a hexadecimal digit (either case), or -1.
int HexDigit(char c);

}  // namespace veltrix::text
