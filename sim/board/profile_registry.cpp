#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/text/text.h"
#include "sim/board/board_profile.h"

namespace veltrix::sim {
namespace {

const std::vector<BoardProfile>& Registry() {
  static const std::vector<BoardProfile> all = [] {
    std::vector<BoardProfile> list;
    auto examples = ExampleProfiles();
    auto catalog = CatalogProfiles();
    list.reserve(examples.size() + catalog.size());
    list.insert(list.end(), examples.begin(), examples.end());
    // A catalog entry with the same key as an example replaces nothing: the example wins,
    // so tests that rely on the examples stay stable whatever the catalog holds.
    for (const BoardProfile& p : catalog) {
      bool dup =
          std::any_of(list.begin(), list.end(), [&](const BoardProfile& q) { return q.model == p.model; });
      if (!dup) list.push_back(p);
    }
    return list;
  }();
  return all;
}

}  // namespace

std::span<const BoardProfile> AllProfiles() {
  return Registry();
}

const BoardProfile* FindProfile(std::string_view model) {
  const auto& all = Registry();
  for (const BoardProfile& p : all)
    if (p.model == model) return &p;
  for (const BoardProfile& p : all)
    if (text::EqualsIgnoreCase(p.model, model)) return &p;
  return nullptr;
}

const BoardProfile& DefaultProfile() {
  return *FindProfile("ZQ6A-PRO");
}

bool IsWinbond(ChipModel chip) {
  return ChipVendorOf(chip) == SuperIoVendor::Winbond;
}

std::string_view ChipsetSchemeName(ChipsetScheme scheme) {
  switch (scheme) {
    case ChipsetScheme::kIntel:
      return "Intel";
    case ChipsetScheme::kVia:
      return "VIA";
    case ChipsetScheme::kNvidia:
      return "NVIDIA";
    case ChipsetScheme::kNone:
      return "none";
  }
  return "none";
}

}  // namespace veltrix::sim
