#pragma once
// Locale facts taken from POSIX locale names ("zh_TW.UTF-8", "de_DE@euro", "C"): the
// Windows locale id the program chooses its language from, and the decimal separator of
// the number format.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace veltrix::platform {

inline constexpr std::uint32_t kLcidTraditionalChinese = 1028;
inline constexpr std::uint32_t kLcidSimplifiedChinese = 2052;
inline constexpr std::uint32_t kLcidEnglishUs = 1033;

// zh_TW -> 1028, zh_CN -> 2052, anything else (including empty, "C", "POSIX") -> 1033.
// Codeset and modifier are ignored; language and territory compare case-insensitively.
std::uint32_t LcidFromLocaleName(std::string_view localeName);

// ',' for locales whose numbers are written with a decimal comma, '.' otherwise.
char DecimalSeparatorFromLocaleName(std::string_view localeName);

// Reads one environment variable; nullopt when it is not set.
using EnvLookup = std::function<std::optional<std::string>(const char* name)>;
EnvLookup ProcessEnvironment();

// The first of the named variables that is set and not empty (POSIX treats an empty
// locale variable as unset); empty when none is.
std::string FirstLocaleVariable(const EnvLookup& env, std::initializer_list<const char*> names);

// The locale that decides messages/language: LC_ALL, then LANG.
std::string LanguageLocaleName(const EnvLookup& env);
// The locale that decides the number format: LC_ALL, then LC_NUMERIC, then LANG.
std::string NumericLocaleName(const EnvLookup& env);

}  // namespace veltrix::platform
