// Every supported board of the catalog on its own simulated profile: at idle with the default
// settings nothing alarms, the chip does not beep and every row shows a believable value; a CPU
// fan that is dead from power-on alarms wherever the board has the row; the CPU's sensor heats
// the row the window captions as the CPU.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "monitor/alarms/alarm_dialog.h"
#include "monitor/boards/board_tables.h"
#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

std::vector<std::string> SupportedBoards() {
  std::vector<std::string> models;
  for (const auto& b : boards::AllKnownModels()) {
    if (b.refusedAt == boards::Refusal::kNone) models.emplace_back(b.model);
  }
  return models;
}

std::unique_ptr<testsupport::SimProgram> StartedOn(const std::string& model) {
  testsupport::SimProgramOptions options;
  options.tracePorts = false;  // 250 boards: the trace is not looked at here
  auto p = std::make_unique<testsupport::SimProgram>(model, options);
  EXPECT_EQ(p->Start(), std::nullopt) << model;
  return p;
}

// Runs `count` monitoring ticks and calls `each` after every one.
void Ticks(testsupport::SimProgram& p, int count, const std::function<void()>& each) {
  const std::uint64_t target = p.Prog().MonitoringTicks() + static_cast<std::uint64_t>(count);
  p.Prog().OnMonitoringTick = [&](std::uint64_t) { each(); };
  for (int guard = 0; guard < 1000 && p.Prog().MonitoringTicks() < target && !p.Ended(); ++guard) {
    p.AdvanceMs(p.Prog().frmdoctor().Timer1.Interval);
  }
  p.Prog().OnMonitoringTick = nullptr;
}

bool DialogShowing(testsupport::SimProgram& p, int item) {
  const forms::Form* form = p.App().FindForm(std::string(AlarmFormName(item)));
  return form != nullptr && form->IsLoaded();
}

// What is wrong with the board right now, one line per finding; empty when all is well.
std::vector<std::string> IdleFindings(testsupport::SimProgram& p) {
  std::vector<std::string> found;
  frmdoctor& w = p.Prog().frmdoctor();
  for (int item = 0; item < kItemCount; ++item) {
    if (DialogShowing(p, item)) found.push_back(std::string(AlarmFormName(item)) + " open");
  }
  if (p.Machine().Chip().BeepOutput()) found.emplace_back("the chip beeps");
  for (int i = 0; i < kVoltageCount; ++i) {
    if (w.WEnable[i] == 1 && w.lblStatusV[i].BackColor == forms::kColorRed) {
      found.push_back("voltage " + std::string(w.lblItemName[i].Caption) + " " +
                      w.lblStatusV[i].Caption.Get());
    }
  }
  for (int j = 0; j < kFanCount; ++j) {
    if (w.WEnable[kFirstFanItem + j] != 1) continue;
    const std::string shown = w.lblFanSpeed[j].Caption;
    const double rpm = CaptionValue(shown);
    if (w.lblFanSpeed[j].BackColor == forms::kColorRed || rpm < 500 || rpm > 10000) {
      found.push_back("fan " + std::string(w.lblFanItem[j].Caption) + " '" + shown + "'");
    }
  }
  for (int k = 0; k < kTempCount; ++k) {
    if (w.WEnable[kFirstTempItem + k] != 1) continue;
    const std::string shown = w.lblStatusT[k].Caption;
    const double c = CaptionValue(shown);
    if (w.lblStatusT[k].BackColor == forms::kColorRed || c < 15 || c > 70) {
      found.push_back("temperature " + std::string(w.lblTempItem[k].Caption) + " '" + shown + "'");
    }
  }
  if (w.WEnable[kChassisItem] == 1 && w.optCaseOpened.Value) found.emplace_back("chassis reads opened");
  return found;
}

TEST(Catalog, EveryBoardIsQuietAtIdleWithDefaultSettings) {
  for (const std::string& model : SupportedBoards()) {
    SCOPED_TRACE(model);
    auto p = StartedOn(model);
    if (p->Ended()) continue;
    EXPECT_TRUE(p->Boxes().empty()) << p->Boxes().front().text;
    std::vector<std::string> found;
    Ticks(*p, 20, [&] {
      for (const std::string& f : IdleFindings(*p)) {
        if (std::find(found.begin(), found.end(), f) == found.end()) found.push_back(f);
      }
    });
    EXPECT_EQ(p->Prog().MonitoringTicks(), 20u);
    for (const std::string& f : found) ADD_FAILURE() << model << ": " << f;
  }
}

TEST(Catalog, CpuFanDeadFromPowerOnAlarmsOnEveryBoardWithTheRow) {
  for (const std::string& model : SupportedBoards()) {
    SCOPED_TRACE(model);
    testsupport::SimProgramOptions options;
    options.tracePorts = false;
    testsupport::SimProgram p(model, options);
    p.Machine().Physics().SetFanFault(0, sim::FanFault::kFailed);
    ASSERT_EQ(p.Start(), std::nullopt);
    frmdoctor& w = p.Prog().frmdoctor();
    if (w.ItemPresent[kFirstFanItem] != 1) continue;
    int alarmedTicks = 0;
    Ticks(p, 3, [&] {
      if (DialogShowing(p, kFirstFanItem) && w.lblFanSpeed[0].BackColor == forms::kColorRed) ++alarmedTicks;
    });
    EXPECT_EQ(alarmedTicks, 3) << "frmFan1 and a red row on every tick";
  }
}

// The caption the window shows at the height of temperature row k (rows may move without their
// captions).
std::string CaptionBeside(frmdoctor& w, int k) {
  int nearest = k;
  int distance = -1;
  for (int j = 0; j < kTempCount; ++j) {
    if (!w.lblTempItem[j].Visible) continue;
    const int d = std::abs(w.lblTempItem[j].Top - w.lblStatusT[k].Top);
    if (distance < 0 || d < distance) {
      nearest = j;
      distance = d;
    }
  }
  return w.lblTempItem[nearest].Caption;
}

TEST(Catalog, TheCpuSensorHeatsTheRowCaptionedCpuOnEveryBoard) {
  for (const std::string& model : SupportedBoards()) {
    SCOPED_TRACE(model);
    auto p = StartedOn(model);
    if (p->Ended()) continue;
    frmdoctor& w = p->Prog().frmdoctor();
    const std::optional<int> cpu = p->Machine().FindTemp("CPU");
    ASSERT_TRUE(cpu.has_value());
    p->Machine().Physics().HoldTemperature(*cpu, 95.0);
    Ticks(*p, 2, [] {});
    std::vector<std::string> hot;
    for (int k = 0; k < kTempCount; ++k) {
      if (w.WEnable[kFirstTempItem + k] != 1) continue;
      const double shown = CaptionValue(w.lblStatusT[k].Caption.Get());
      if (shown > 93.0 && shown < 97.0) hot.push_back(CaptionBeside(w, k));
    }
    ASSERT_EQ(hot.size(), 1u) << "one row shows the CPU at 95 degrees";
    EXPECT_NE(hot[0].find("CPU"), std::string::npos) << hot[0];
  }
}

}  // namespace
}  // namespace veltrix::monitor
