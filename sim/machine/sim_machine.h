#pragma once
// A complete simulated board: the port bus with the Super I/O chip, the chipset's chassis flag
// and the PC speaker, driven by the sensor physics in simulated time, plus the machine's ASPI
// layer with its drives (by default one host adapter with a CD-ROM drive at target 0). The
// program sees only Port() and Aspi(); tests and scenarios use the control surface.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/portio/port_io.h"
#include "sim/aspi/sim_aspi.h"
#include "sim/board/board_profile.h"
#include "sim/bus/port_bus.h"
#include "sim/chip/chip.h"
#include "sim/chipset/chassis_intrusion.h"
#include "sim/chipset/pc_speaker.h"
#include "sim/dump/register_dump.h"
#include "sim/physics/sensor_physics.h"
#include "sim/scenario/scenario.h"

namespace veltrix::sim {

enum class PowerEvent : std::uint8_t { kSuspend, kResume };

class SimMachine {
 public:
  static constexpr double kConversionStepMs = 250.0;  // how often the chip converts its inputs

  SimMachine(const BoardProfile& profile, std::uint64_t seed);

  const BoardProfile& Profile() const { return profile_; }
  platform::PortIo& Port() { return bus_; }
  SimPortBus& Bus() { return bus_; }
  SimChip& Chip() { return *chip_; }
  PcSpeaker& Speaker() { return *speaker_; }
  ChassisIntrusionDevice* Chassis() { return chassis_.get(); }  // nullptr without a chipset flag
  SensorPhysics& Physics() { return physics_; }
  SimAspi& Aspi() { return aspi_; }
  double NowMs() const { return nowMs_; }

  // Moves simulated time forward: physics, chip conversions and due scenario events.
  void Advance(double ms);

  // --- control surface (names as in the board profile, or inN / fanN / tempN) ---
  std::optional<int> FindRail(std::string_view name) const;  // chip input 0..8
  std::optional<int> FindFan(std::string_view name) const;   // tach input 0..2 ("fan1" = 0)
  std::optional<int> FindTemp(std::string_view name) const;  // temp input 0..2 ("temp1" = 0)

  void SetRail(int input, double volts);
  void RestoreRail(int input);
  void SetFanFault(int tach, FanFault fault);
  void HoldFanRpm(int tach, std::optional<double> rpm);
  void SetLoad(double percent);
  void HoldTemperature(int input, std::optional<double> celsius);
  void SetCaseOpen(bool open);
  bool CaseOpen() const { return caseOpen_; }
  // The register reads `value` from now on, whatever the chip converts (a sensor gone bad).
  void InjectGarbage(int bank, std::uint8_t reg, std::uint8_t value);
  void ClearGarbage(int bank, std::uint8_t reg);

  // Accepts a scenario after checking every name against this board; on an error
  // ("FILE:LINE: reason") nothing is taken over. Events already due run at once.
  std::string LoadScenario(const Scenario& scenario);
  std::size_t PendingScenarioEvents() const { return events_.size() - nextEvent_; }
  // Simulated time of the next scenario event, or a negative value when none is pending.
  double NextEventMs() const { return nextEvent_ < events_.size() ? events_[nextEvent_].atMs : -1.0; }

  // Sets the chip's registers from a dump and the physical state that explains them.
  // On an error ("FILE:LINE: reason") nothing is changed.
  std::string LoadDump(const RegisterDump& dump);
  std::string LoadDumpFile(const std::string& path);

  // Suspend/resume from scenarios, for the front end to deliver to the program.
  void SetPowerEventHandler(std::function<void(PowerEvent)> handler) { powerHandler_ = std::move(handler); }
  std::vector<PowerEvent> TakePowerEvents();

 private:
  void StepTo(double targetMs);
  void FeedChip();
  void Apply(const ScenarioEvent& ev);
  void ApplyAspi(const ScenarioEvent& ev);
  // The first drive event of `events` that names an adapter or drive missing at its time, as
  // "reason" (empty when all are fine).
  std::string CheckDriveEvents(const std::vector<ScenarioEvent>& events, const ScenarioEvent** bad) const;
  std::array<double, kFanInputs> DriveOutputs() const;

  BoardProfile profile_;
  SimPortBus bus_;
  std::shared_ptr<SimChip> chip_;
  std::shared_ptr<ChassisIntrusionDevice> chassis_;
  std::shared_ptr<PcSpeaker> speaker_;
  SensorPhysics physics_;
  double nowMs_ = 0.0;
  bool caseOpen_ = false;
  std::map<std::pair<int, int>, std::uint8_t> garbage_;
  std::vector<ScenarioEvent> events_;
  std::size_t nextEvent_ = 0;
  std::function<void(PowerEvent)> powerHandler_;
  std::vector<PowerEvent> powerEvents_;
  SimAspi aspi_;
};

}  // namespace veltrix::sim
