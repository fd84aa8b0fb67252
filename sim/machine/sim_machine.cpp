#include "sim/machine/sim_machine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

#include "platform/text/text.h"
#include "sim/chip/ite.h"
#include "sim/chip/winbond.h"
#include "sim/dump/dump_apply.h"
#include "sim/machine/monitor_only_port.h"

namespace veltrix::sim {
namespace {

// "in3" -> 3, "fan2" -> 2 (the number as written).
std::optional<int> Numbered(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || !text::EqualsIgnoreCase(name.substr(0, prefix.size()), prefix))
    return std::nullopt;
  std::string_view digits = name.substr(prefix.size());
  int n = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || ptr != digits.data() + digits.size()) return std::nullopt;
  return n;
}

// Where the chipset really has its power-management block when the library cannot find it.
constexpr std::uint16_t kHiddenPmBase = 0x0400;

}  // namespace

SimMachine::SimMachine(const BoardProfile& profile, std::uint64_t seed)
    : profile_(profile), physics_(profile, seed) {
  const std::uint16_t cfg =
      profile.configPort == superio::kConfigPort4E ? superio::kConfigPort4E : superio::kConfigPort2E;
  chip_ = std::shared_ptr<SimChip>(MakeChip(profile.chip, cfg));
  if (auto* w = dynamic_cast<WinbondChip*>(chip_.get())) w->SetVsbRatio(physics_.Wiring(7).gain);
  if (dynamic_cast<IteChip*>(chip_.get()) != nullptr) {
    // The BIOS leaves the PWM duty registers at full speed, so the fans keep running when a
    // program switches the outputs from on/off to PWM mode.
    for (int fan = 0; fan < 3; ++fan) {
      chip_->SetRegister(0, static_cast<std::uint8_t>(ite::kPwmControlBase + fan), ite::kPwmDutyMask);
    }
  }
  if (profile.configPort == superio::kConfigPort2E || profile.configPort == superio::kConfigPort4E) {
    bus_.Attach(chip_);
  } else {
    bus_.Attach(std::make_shared<MonitorOnlyPort>(chip_));
  }

  const auto pmBase = static_cast<std::uint16_t>(profile.pmBase >= 0 ? profile.pmBase : kHiddenPmBase);
  switch (profile.chipset) {
    case ChipsetScheme::kIntel:
      chassis_ = std::make_shared<IntelTcoIntrusion>(pmBase);
      break;
    case ChipsetScheme::kVia:
      chassis_ = std::make_shared<ViaIntrusion>(pmBase);
      break;
    case ChipsetScheme::kNvidia:
      chassis_ = std::make_shared<NvidiaIntrusion>();
      break;
    case ChipsetScheme::kNone:
      break;
  }
  if (chassis_) bus_.Attach(chassis_);
  speaker_ = std::make_shared<PcSpeaker>();
  bus_.Attach(speaker_);
  aspi_.AddHostAdapter("ATAPI");
  aspi_.AddCdromDrive(0, 0);
  FeedChip();
}

std::array<double, kFanInputs> SimMachine::DriveOutputs() const {
  std::array<double, kFanInputs> drive{};
  for (int i = 0; i < kFanInputs; ++i) drive[i] = chip_->FanOutput(i) / 255.0;
  return drive;
}

void SimMachine::FeedChip() {
  chip_->SetInputs(physics_.Inputs());
  for (const auto& [key, value] : garbage_)
    chip_->SetRegister(key.first, static_cast<std::uint8_t>(key.second), value);
}

void SimMachine::StepTo(double targetMs) {
  while (nowMs_ < targetMs) {
    double step = std::min(kConversionStepMs, targetMs - nowMs_);
    physics_.Advance(step, DriveOutputs());
    nowMs_ += step;
    FeedChip();
    aspi_.AdvanceTo(nowMs_);
  }
}

void SimMachine::Advance(double ms) {
  if (!(ms > 0.0)) return;
  const double target = nowMs_ + ms;
  while (nextEvent_ < events_.size() && events_[nextEvent_].atMs <= target) {
    StepTo(std::max(nowMs_, events_[nextEvent_].atMs));
    Apply(events_[nextEvent_++]);
  }
  StepTo(target);
}

std::optional<int> SimMachine::FindRail(std::string_view name) const {
  for (int i = 0; i < kVoltageInputs; ++i)
    if (profile_.rails[i].Wired() && text::EqualsIgnoreCase(profile_.rails[i].name, name)) return i;
  if (auto n = Numbered(name, "in"); n && *n >= 0 && *n < kVoltageInputs) return *n;
  return std::nullopt;
}

std::optional<int> SimMachine::FindFan(std::string_view name) const {
  for (int i = 0; i < kFanInputs; ++i)
    if (profile_.fans[i].Wired() && text::EqualsIgnoreCase(profile_.fans[i].name, name)) return i;
  if (auto n = Numbered(name, "fan"); n && *n >= 1 && *n <= kFanInputs) return *n - 1;
  return std::nullopt;
}

std::optional<int> SimMachine::FindTemp(std::string_view name) const {
  for (int i = 0; i < kTempInputs; ++i)
    if (profile_.temps[i].Wired() && text::EqualsIgnoreCase(profile_.temps[i].name, name)) return i;
  if (auto n = Numbered(name, "temp"); n && *n >= 1 && *n <= kTempInputs) return *n - 1;
  return std::nullopt;
}

void SimMachine::SetRail(int input, double volts) {
  physics_.SetRailVolts(input, volts);
  FeedChip();
}
void SimMachine::RestoreRail(int input) {
  physics_.RestoreRail(input);
  FeedChip();
}
void SimMachine::SetFanFault(int tach, FanFault fault) {
  physics_.SetFanFault(tach, fault);
  FeedChip();
}
void SimMachine::HoldFanRpm(int tach, std::optional<double> rpm) {
  physics_.HoldFanRpm(tach, rpm);
  FeedChip();
}
void SimMachine::SetLoad(double percent) {
  physics_.SetLoadPercent(percent);
}
void SimMachine::HoldTemperature(int input, std::optional<double> celsius) {
  physics_.HoldTemperature(input, celsius);
  FeedChip();
}

void SimMachine::SetCaseOpen(bool open) {
  caseOpen_ = open;
  physics_.SetCaseOpen(open && profile_.caseOpenWired);
  if (chassis_) chassis_->SetIntrusion(open);
  FeedChip();
}

void SimMachine::InjectGarbage(int bank, std::uint8_t reg, std::uint8_t value) {
  garbage_[{bank & winbond::kBankMask, reg & superio::kMonitorAddressMask}] = value;
  FeedChip();
}

void SimMachine::ClearGarbage(int bank, std::uint8_t reg) {
  garbage_.erase({bank & winbond::kBankMask, reg & superio::kMonitorAddressMask});
  FeedChip();
}

std::string SimMachine::LoadScenario(const Scenario& scenario) {
  auto where = [&](const ScenarioEvent& ev) {
    return scenario.fileName + ":" + std::to_string(ev.line) + ": ";
  };
  for (const ScenarioEvent& ev : scenario.events) {
    switch (ev.action) {
      case ScenarioAction::kFanStop:
      case ScenarioAction::kFanFail:
      case ScenarioAction::kFanRun:
      case ScenarioAction::kFanRpm:
        if (!FindFan(ev.target))
          return where(ev) + "board " + std::string(profile_.model) + " has no fan '" + ev.target + "'";
        break;
      case ScenarioAction::kRailSet:
      case ScenarioAction::kRailNominal:
        if (!FindRail(ev.target))
          return where(ev) + "board " + std::string(profile_.model) + " has no rail '" + ev.target + "'";
        break;
      case ScenarioAction::kTempSet:
      case ScenarioAction::kTempAuto:
        if (!FindTemp(ev.target))
          return where(ev) + "board " + std::string(profile_.model) + " has no temperature '" + ev.target +
                 "'";
        break;
      default:
        break;
    }
  }
  const ScenarioEvent* bad = nullptr;
  if (std::string reason = CheckDriveEvents(scenario.events, &bad); !reason.empty())
    return where(*bad) + reason;
  // Events keep their absolute times; those already in the past run now, in order.
  std::vector<ScenarioEvent> merged(events_.begin() + static_cast<std::ptrdiff_t>(nextEvent_), events_.end());
  merged.insert(merged.end(), scenario.events.begin(), scenario.events.end());
  std::stable_sort(merged.begin(), merged.end(),
                   [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.atMs < b.atMs; });
  events_ = std::move(merged);
  nextEvent_ = 0;
  while (nextEvent_ < events_.size() && events_[nextEvent_].atMs <= nowMs_) Apply(events_[nextEvent_++]);
  return {};
}

void SimMachine::Apply(const ScenarioEvent& ev) {
  switch (ev.action) {
    case ScenarioAction::kFanStop:
      SetFanFault(*FindFan(ev.target), FanFault::kStalled);
      break;
    case ScenarioAction::kFanFail:
      SetFanFault(*FindFan(ev.target), FanFault::kFailed);
      break;
    case ScenarioAction::kFanRun: {
      int f = *FindFan(ev.target);
      physics_.SetFanFault(f, FanFault::kNone);
      HoldFanRpm(f, std::nullopt);
      break;
    }
    case ScenarioAction::kFanRpm:
      HoldFanRpm(*FindFan(ev.target), ev.value);
      break;
    case ScenarioAction::kRailSet:
      SetRail(*FindRail(ev.target), ev.value);
      break;
    case ScenarioAction::kRailNominal:
      RestoreRail(*FindRail(ev.target));
      break;
    case ScenarioAction::kCaseOpen:
      SetCaseOpen(true);
      break;
    case ScenarioAction::kCaseClose:
      SetCaseOpen(false);
      break;
    case ScenarioAction::kLoad:
      SetLoad(ev.value);
      break;
    case ScenarioAction::kTempSet:
      HoldTemperature(*FindTemp(ev.target), ev.value);
      break;
    case ScenarioAction::kTempAuto:
      HoldTemperature(*FindTemp(ev.target), std::nullopt);
      break;
    case ScenarioAction::kGarbage:
      InjectGarbage(ev.bank, ev.reg, ev.byte);
      break;
    case ScenarioAction::kGarbageClear:
      ClearGarbage(ev.bank, ev.reg);
      break;
    case ScenarioAction::kAspiNone:
    case ScenarioAction::kAspiAdapters:
    case ScenarioAction::kDriveAdd:
    case ScenarioAction::kDriveSlow:
    case ScenarioAction::kDriveHang:
    case ScenarioAction::kDriveCheck:
    case ScenarioAction::kDriveOk:
    case ScenarioAction::kDriveRemove:
      ApplyAspi(ev);
      break;
    case ScenarioAction::kSuspend:
    case ScenarioAction::kResume: {
      PowerEvent p = ev.action == ScenarioAction::kSuspend ? PowerEvent::kSuspend : PowerEvent::kResume;
      if (powerHandler_) {
        powerHandler_(p);
      } else {
        powerEvents_.push_back(p);
      }
      break;
    }
  }
}

std::string SimMachine::CheckDriveEvents(const std::vector<ScenarioEvent>& events,
                                         const ScenarioEvent** bad) const {
  // Replays the drive events on a picture of the layer as it stands (events are in time order).
  int adapters = aspi_.AdapterCount();
  std::set<std::pair<int, int>> drives;
  for (int a = 0; a < adapters; ++a)
    for (int t = 0; t < kAspiTargetsPerAdapter; ++t)
      if (aspi_.HasDevice(a, t)) drives.insert({a, t});
  for (const ScenarioEvent& ev : events) {
    const std::pair<int, int> at{ev.aspiAdapter, ev.aspiTarget};
    const std::string name = std::to_string(ev.aspiAdapter) + ":" + std::to_string(ev.aspiTarget);
    *bad = &ev;
    switch (ev.action) {
      case ScenarioAction::kAspiAdapters:
        adapters = static_cast<int>(ev.value);
        drives.clear();
        break;
      case ScenarioAction::kDriveAdd:
        if (ev.aspiAdapter >= adapters)
          return "no host adapter " + std::to_string(ev.aspiAdapter) + " (the simulated ASPI layer has " +
                 std::to_string(adapters) + "; use 'aspi adapters N' first)";
        drives.insert(at);
        break;
      case ScenarioAction::kDriveSlow:
      case ScenarioAction::kDriveHang:
      case ScenarioAction::kDriveCheck:
      case ScenarioAction::kDriveOk:
      case ScenarioAction::kDriveRemove:
        if (!drives.contains(at)) return "no drive at " + name;
        if (ev.action == ScenarioAction::kDriveRemove) drives.erase(at);
        break;
      default:
        break;
    }
  }
  *bad = nullptr;
  return {};
}

void SimMachine::ApplyAspi(const ScenarioEvent& ev) {
  const int a = ev.aspiAdapter;
  const int t = ev.aspiTarget;
  switch (ev.action) {
    case ScenarioAction::kAspiNone:
      aspi_.SetPresent(false);
      break;
    case ScenarioAction::kAspiAdapters:
      aspi_.RemoveAllAdapters();
      for (int i = 0; i < static_cast<int>(ev.value); ++i)
        aspi_.AddHostAdapter("ADAPTER " + std::to_string(i));
      aspi_.SetPresent(true);
      break;
    case ScenarioAction::kDriveAdd:
      aspi_.AddDevice(a, t, static_cast<std::uint8_t>(ev.value));
      break;
    case ScenarioAction::kDriveSlow:
      aspi_.SetBehaviour(a, t, DriveBehaviour::kSlow, ev.value);
      break;
    case ScenarioAction::kDriveHang:
      aspi_.SetBehaviour(a, t, DriveBehaviour::kHang);
      break;
    case ScenarioAction::kDriveCheck:
      aspi_.SetBehaviour(a, t, DriveBehaviour::kCheckCondition);
      break;
    case ScenarioAction::kDriveOk:
      aspi_.SetBehaviour(a, t, DriveBehaviour::kPrompt);
      break;
    case ScenarioAction::kDriveRemove:
      aspi_.RemoveDevice(a, t);
      break;
    default:
      break;
  }
}

std::vector<PowerEvent> SimMachine::TakePowerEvents() {
  std::vector<PowerEvent> out;
  out.swap(powerEvents_);
  return out;
}

std::string SimMachine::LoadDump(const RegisterDump& dump) {
  if (std::string err = CheckDumpFits(dump, profile_.chip); !err.empty()) return err;
  for (const StuckReading& s : ApplyDump(dump, profile_, *chip_, physics_))
    garbage_[{s.bank, s.reg}] = s.value;
  FeedChip();
  return {};
}

std::string SimMachine::LoadDumpFile(const std::string& path) {
  DumpParseResult parsed = LoadRegisterDumpFile(path);
  if (!parsed.dump) return parsed.error;
  return LoadDump(*parsed.dump);
}

}  // namespace veltrix::sim
