#pragma once
// Helpers shared by the alarm tests: boards chosen from the catalog by what a test needs,
// stepping the monitoring cycle tick by tick, and reaching the alarm windows by name.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "monitor/alarms/alarm_dialog.h"
#include "monitor/alarms/case_open_dialog.h"
#include "monitor/boards/board_tables.h"
#include "monitor/ui/frmdoctor.h"
#include "sim/board/board_profile.h"
#include "tests/support/sim_program.h"

namespace veltrix::testsupport {

// The first supported catalog board with a simulator profile that satisfies `wanted`.
inline std::string FindBoard(const std::function<bool(const monitor::boards::CatalogBoard&)>& wanted) {
  for (const auto& board : monitor::boards::AllKnownModels()) {
    if (board.refusedAt != monitor::boards::Refusal::kNone) continue;
    if (sim::FindProfile(board.model) == nullptr) continue;
    if (wanted(board)) return std::string(board.model);
  }
  ADD_FAILURE() << "no catalog board fits the test";
  return std::string(sim::DefaultProfile().model);
}

// A supported board whose chassis is read and cleared with `method` everywhere.
inline std::string BoardWithChassis(monitor::boards::ChassisMethod method) {
  return FindBoard([method](const monitor::boards::CatalogBoard& b) {
    const bool winbondChip = b.chip == monitor::boards::CatalogChip::kW83627HF ||
                             b.chip == monitor::boards::CatalogChip::kW83697HF ||
                             b.chip == monitor::boards::CatalogChip::kW83637HF;
    return winbondChip && b.chipFamily == 1 && monitor::boards::ChassisMethodFor(b.model) == method &&
           monitor::boards::IgnoreClearFor(b.model) == method &&
           monitor::boards::DisableClearFor(b.model) == method;
  });
}

// An ordinary Winbond W83627HF board with Intel chassis flags.
inline std::string PlainWinbondBoard() {
  return BoardWithChassis(monitor::boards::ChassisMethod::kIntel);
}

inline std::string PlainIteBoard() {
  return FindBoard([](const monitor::boards::CatalogBoard& b) {
    return b.chipFamily == 2 && b.chip == monitor::boards::CatalogChip::kIT8712F && b.boardVariant != 4 &&
           b.boardVariant != 1 && b.boardVariant != 2;
  });
}

inline monitor::frmdoctor& Main(SimProgram& p) {
  return p.Prog().frmdoctor();
}

// Runs until `count` more monitoring ticks have finished (or the program ended).
inline void Ticks(SimProgram& p, int count) {
  const std::uint64_t target = p.Prog().MonitoringTicks() + static_cast<std::uint64_t>(count);
  for (int guard = 0; guard < 100000 && p.Prog().MonitoringTicks() < target && !p.Ended(); ++guard) {
    p.AdvanceMs(10);
  }
}

// The window named `name` if it was ever created, else nullptr.
inline monitor::AlarmDialog* Dialog(SimProgram& p, const std::string& name) {
  return dynamic_cast<monitor::AlarmDialog*>(p.App().FindForm(name));
}

inline bool Showing(SimProgram& p, const std::string& name) {
  monitor::AlarmDialog* d = Dialog(p, name);
  return d != nullptr && d->IsLoaded() && d->Visible;
}

}  // namespace veltrix::testsupport
