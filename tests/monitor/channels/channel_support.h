#pragma once
// Shared pieces of the channel tests: one supported board per chip and wiring, and a started
// program on it.
#include <memory>
#include <string>
#include <vector>

#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor::channeltest {

// The first supported catalog board of every (chip, wiring) pair that has a simulator profile.
inline std::vector<std::string> OneBoardPerWiring() {
  std::vector<std::string> models;
  std::vector<std::pair<int, int>> seen;
  for (const auto& b : boards::AllKnownModels()) {
    if (b.refusedAt != boards::Refusal::kNone) continue;
    const std::pair<int, int> key{static_cast<int>(b.chip), b.boardVariant};
    bool known = false;
    for (const auto& s : seen) known = known || s == key;
    if (known || sim::FindProfile(b.model) == nullptr) continue;
    seen.push_back(key);
    models.emplace_back(b.model);
  }
  return models;
}

// A program on `model`, started, with its first monitoring ticks done.
inline std::unique_ptr<testsupport::SimProgram> Started(const std::string& model, std::int64_t ms = 2500) {
  auto p = std::make_unique<testsupport::SimProgram>(model);
  const auto ended = p->Start();
  EXPECT_EQ(ended, std::nullopt) << model << (p->Boxes().empty() ? "" : ": " + p->Boxes().back().text);
  if (!ended) p->AdvanceMs(ms);
  return p;
}

inline frmdoctor& Main(testsupport::SimProgram& p) {
  return p.Prog().frmdoctor();
}

}  // namespace veltrix::monitor::channeltest
