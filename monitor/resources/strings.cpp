#include "monitor/resources/strings.h"

#include <algorithm>

namespace veltrix::monitor {

namespace {

// Longest prefix accepted by Text(); keeps the formed identifier well inside int.
constexpr std::size_t kMaxPrefixDigits = 6;

const StringTable* TableForPrefix(int prefix) {
  for (const StringTable& table : StringTables()) {
    int tablePrefix = 0;
    for (char c : table.prefix) tablePrefix = tablePrefix * 10 + (c - '0');
    if (tablePrefix == prefix) return &table;
  }
  return nullptr;
}

}  // namespace

LanguageChoice LanguageFromLcid(std::uint32_t lcid) {
  switch (lcid) {
    case kLcidTraditionalChinese:
      return {kLcidTraditionalChinese, "28"};
    case kLcidSimplifiedChinese:
      return {kLcidSimplifiedChinese, "52"};
    default:
      return {kLcidEnglish, "33"};
  }
}

std::optional<std::string> LoadResString(int id) {
  if (id < 0) return std::nullopt;
  const StringTable* table = TableForPrefix(id / 1000);
  if (table == nullptr) return std::nullopt;
  auto it = std::lower_bound(table->entries.begin(), table->entries.end(), id,
                             [](const StringEntry& entry, int value) { return entry.id < value; });
  if (it == table->entries.end() || it->id != id) return std::nullopt;
  return std::string(it->text);
}

std::optional<std::string> Text(std::string_view langPrefix, int suffix) {
  if (langPrefix.empty() || langPrefix.size() > kMaxPrefixDigits) return std::nullopt;
  if (suffix < 0 || suffix > 999) return std::nullopt;
  int id = 0;
  for (char c : langPrefix) {
    if (c < '0' || c > '9') return std::nullopt;
    id = id * 10 + (c - '0');
  }
  return LoadResString(id * 1000 + suffix);
}

}  // namespace veltrix::monitor
