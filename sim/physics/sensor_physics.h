#pragma once
// What happens on the board between the power supply and the chip's pins, as a function of
// simulated time: rails with a little noise, fans that follow their drive output (along a
// fan's speed curve) with a lag,
// temperatures that rise with load and fall with airflow. Deterministic from the seed.
#include <array>
#include <cstdint>
#include <optional>

#include "sim/board/board_profile.h"
#include "sim/chip/analog_inputs.h"
#include "sim/physics/prng.h"

namespace veltrix::sim {

enum class FanFault : std::uint8_t {
  kNone,
  kStalled,  // rotor blocked: the fan stops although it is driven
  kFailed,   // fan dead (or unplugged): no tachometer pulses at all
};

class SensorPhysics {
 public:
  static constexpr double kRailNoiseVolts = 0.003;  // peak noise at the pin, well under one count
  static constexpr double kFanJitter = 0.004;       // relative tachometer jitter
  static constexpr double kSpinUpS = 1.2;
  static constexpr double kSpinDownS = 2.5;
  static constexpr double kStallS = 0.3;
  static constexpr double kMaxStepMs = 100.0;
  // Speed against drive: the boards drive 3-wire fans with a slow PWM, and such a fan reaches
  // half its full speed at about 6 % duty and nearly all of it from a third on (the program's
  // output table is made for that curve: its outputs give evenly spaced speeds). Below 2 %
  // duty the rotor stalls.
  static constexpr double kHalfSpeedDuty = 0.06;
  static constexpr double kStallDuty = 0.02;
  // The fraction of full speed a fan settles at for a drive of 0..1.
  static double SpeedFraction(double drive);

  SensorPhysics(const BoardProfile& profile, std::uint64_t seed);

  // Steps the world by dtMs of simulated time. driveOutputs are the chip's fan outputs as a
  // fraction of full drive (0..1), by output number.
  void Advance(double dtMs, const std::array<double, kFanInputs>& driveOutputs);
  double NowMs() const { return nowMs_; }

  // The pins as the chip sees them now (noise is drawn when Advance runs, not here).
  AnalogInputs Inputs() const { return inputs_; }

  // --- control surface ---
  void SetRailVolts(int input, double volts);    // the rail itself (before the divider)
  void RestoreRail(int input);                   // back to nominal
  void SetPinVolts(int input, double pinVolts);  // explains a measured pin voltage by its rail
  double RailVolts(int input) const { return rails_[input]; }
  const RailWiring& Wiring(int input) const { return wiring_[input]; }

  void SetLoadPercent(double percent);
  double LoadPercent() const { return loadPercent_; }

  void SetFanFault(int tach, FanFault fault);
  FanFault Fault(int tach) const { return fans_[tach].fault; }
  // Holds a fan at a fixed speed whatever its output (a fan on an uncontrolled header, or a
  // speed explained by a register dump). std::nullopt releases it to follow its output again.
  void HoldFanRpm(int tach, std::optional<double> rpm);
  // Changes the speed the fan reaches at full drive (a dump explained by a running fan).
  void SetFanFullRpm(int tach, double rpm);
  // Sets the current speed (the lag then carries on from there).
  void SetFanSpeedNow(int tach, double rpm);
  double FanRpm(int tach) const { return fans_[tach].rpm; }
  double FanFullRpm(int tach) const { return fans_[tach].fullRpm; }

  // Temperatures are the real ones at the sensor; the chip's input sees the sensor's reading
  // of them (TempWiring::Reading).
  void HoldTemperature(int input, std::optional<double> celsius);
  double TemperatureC(int input) const { return temps_[input].c; }
  // The real temperature that makes input `input` read `readingC` (a register dump explained).
  double RealFromReading(int input, double readingC) const;

  void SetCaseOpen(bool open) { inputs_.caseOpen = open; }

 private:
  struct Fan {
    double fullRpm = 0.0;
    int output = -1;
    double rpm = 0.0;
    FanFault fault = FanFault::kNone;
    std::optional<double> held;
  };
  struct Temp {
    TempWiring wiring;
    double c = 25.0;
    std::optional<double> held;
  };

  void Step(double dtS, const std::array<double, kFanInputs>& driveOutputs);
  double FanTarget(const Fan& fan, const std::array<double, kFanInputs>& driveOutputs) const;
  double TempTarget(const Temp& t) const;
  void Sample();

  std::array<RailWiring, kVoltageInputs> wiring_{};
  std::array<double, kVoltageInputs> rails_{};
  std::array<Fan, kFanInputs> fans_{};
  std::array<Temp, kTempInputs> temps_{};
  double loadPercent_ = 0.0;
  double nowMs_ = 0.0;
  SplitMix64 rng_;
  AnalogInputs inputs_{};
};

}  // namespace veltrix::sim
