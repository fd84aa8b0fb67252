// The program's localized texts: four string tables compiled into the program, the lookup
// by numeric identifier, and the choice of language from the system locale.
//
// A text's identifier is the two-digit language prefix followed by a three-digit suffix:
// "33" + "036" -> 33036. Tables: "28" Traditional Chinese, "52" Simplified Chinese,
// "33" English, "36" French (carried, never chosen).
//
// Failure rule: a missing identifier yields no text, and the caller keeps the control's
// built-in text. There is deliberately no fallback to another language.
//
// Typical use in a window's caption set-up:
//   ApplyText(choice.LangPrefix, 11, [&](const std::string& s) { fanFrameCaption = s; });
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace veltrix::monitor {

// Windows locale ids the program distinguishes.
inline constexpr std::uint32_t kLcidTraditionalChinese = 1028;
inline constexpr std::uint32_t kLcidEnglish = 1033;
inline constexpr std::uint32_t kLcidSimplifiedChinese = 2052;

// The language chosen once at start-up.
struct LanguageChoice {
  std::uint32_t LanguageId = kLcidEnglish;  // 1028, 2052 or 1033
  std::string LangPrefix = "33";            // "28", "52" or "33"
};

// 1028 -> {1028, "28"}, 2052 -> {2052, "52"}, every other locale -> {1033, "33"}.
LanguageChoice LanguageFromLcid(std::uint32_t lcid);

// The string resource with this identifier, or nothing when no table holds it.
std::optional<std::string> LoadResString(int id);

// Text NNN of a language: the identifier formed from `langPrefix` followed by `suffix` as
// three digits. Nothing when the prefix is not a short run of digits, the suffix is outside
// 0..999, or the table lacks the identifier.
std::optional<std::string> Text(std::string_view langPrefix, int suffix);

// Runs `assign` with text NNN when it exists; otherwise does nothing (the target keeps its
// built-in text). Returns whether the text was assigned.
template <class Assign>
bool ApplyText(std::string_view langPrefix, int suffix, Assign&& assign) {
  std::optional<std::string> text = Text(langPrefix, suffix);
  if (!text) return false;
  std::forward<Assign>(assign)(*text);
  return true;
}

// The raw tables, for checks and tools. Entries are sorted by identifier.
struct StringEntry {
  int id;
  std::string_view text;  // UTF-8
};
struct StringTable {
  std::string_view prefix;    // "28", "33", "36", "52"
  std::string_view language;  // e.g. "traditional_chinese"
  std::span<const StringEntry> entries;
};
std::span<const StringTable> StringTables();

}  // namespace veltrix::monitor
