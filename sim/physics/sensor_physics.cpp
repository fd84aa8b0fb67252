#include "sim/physics/sensor_physics.h"

#include <algorithm>
#include <cmath>

namespace veltrix::sim {
namespace {

// Exponential approach: exact for any step length, so large steps never overshoot.
double Approach(double value, double target, double dtS, double tauS) {
  if (tauS <= 0.0) return target;
  return target + (value - target) * std::exp(-dtS / tauS);
}

bool ValidInput(int i, int n) {
  return i >= 0 && i < n;
}

}  // namespace

SensorPhysics::SensorPhysics(const BoardProfile& profile, std::uint64_t seed) : rng_(seed) {
  for (int i = 0; i < kVoltageInputs; ++i) {
    const RailWiring& w = profile.rails[i];
    // An unconnected input is modelled as a pin tied to ground through nothing: gain 1, 0 V.
    wiring_[i] = w.Wired() ? w : RailWiring{};
    rails_[i] = w.Wired() ? w.nominalVolts : 0.0;
  }
  for (int i = 0; i < kFanInputs; ++i) {
    const FanWiring& f = profile.fans[i];
    fans_[i].fullRpm = f.Wired() ? f.fullRpm : 0.0;
    fans_[i].output = f.output;
    fans_[i].rpm = fans_[i].fullRpm;  // fans run at full speed from power-on
  }
  for (int i = 0; i < kTempInputs; ++i) {
    temps_[i].wiring = profile.temps[i];
    temps_[i].c = TempTarget(temps_[i]);
  }
  Sample();
}

double SensorPhysics::SpeedFraction(double drive) {
  drive = std::clamp(drive, 0.0, 1.0);
  if (drive < kStallDuty) return 0.0;
  if (drive >= 1.0) return 1.0;
  // Saturating: 1 - e^(-drive / tau), with tau chosen so that kHalfSpeedDuty gives one half.
  const double tau = kHalfSpeedDuty / std::log(2.0);
  return 1.0 - std::exp(-drive / tau);
}

double SensorPhysics::FanTarget(const Fan& fan, const std::array<double, kFanInputs>& driveOutputs) const {
  if (fan.fault != FanFault::kNone) return 0.0;
  if (fan.held) return *fan.held;
  double drive = 1.0;
  if (fan.output >= 0 && fan.output < kFanInputs) drive = driveOutputs[fan.output];
  return fan.fullRpm * SpeedFraction(drive);
}

double SensorPhysics::TempTarget(const Temp& t) const {
  const TempWiring& w = t.wiring;
  if (!w.Wired()) return 25.0;
  double airflow = 1.0;
  if (ValidInput(w.coolingFan, kFanInputs)) {
    const Fan& f = fans_[w.coolingFan];
    airflow = f.fullRpm > 0.0 ? std::clamp(f.rpm / f.fullRpm, 0.0, 1.0) : 0.0;
  }
  return w.ambientC + w.loadRiseC * loadPercent_ / 100.0 + w.stillAirRiseC * (1.0 - airflow);
}

void SensorPhysics::Advance(double dtMs, const std::array<double, kFanInputs>& driveOutputs) {
  if (!(dtMs > 0.0)) return;
  double left = dtMs;
  while (left > 0.0) {
    double step = std::min(left, kMaxStepMs);
    Step(step / 1000.0, driveOutputs);
    left -= step;
  }
  nowMs_ += dtMs;
  Sample();
}

void SensorPhysics::Step(double dtS, const std::array<double, kFanInputs>& driveOutputs) {
  for (Fan& fan : fans_) {
    double target = FanTarget(fan, driveOutputs);
    double tau = fan.fault != FanFault::kNone ? kStallS : (target > fan.rpm ? kSpinUpS : kSpinDownS);
    fan.rpm = fan.held && fan.fault == FanFault::kNone ? *fan.held : Approach(fan.rpm, target, dtS, tau);
    if (target == 0.0 && fan.rpm < 1.0) fan.rpm = 0.0;
  }
  for (Temp& t : temps_) {
    t.c = t.held ? *t.held : Approach(t.c, TempTarget(t), dtS, t.wiring.timeConstantS);
  }
}

void SensorPhysics::Sample() {
  for (int i = 0; i < kVoltageInputs; ++i) {
    double pin = wiring_[i].PinVolts(rails_[i]);
    if (wiring_[i].Wired()) pin += kRailNoiseVolts * rng_.Symmetric();
    inputs_.pinVolts[i] = std::max(0.0, pin);
  }
  inputs_.vbatVolts = inputs_.pinVolts[8];
  inputs_.vsbVolts = rails_[7];
  for (int i = 0; i < kFanInputs; ++i) {
    const Fan& f = fans_[i];
    double rpm = f.fault == FanFault::kFailed ? 0.0 : f.rpm;
    if (rpm > 0.0 && !f.held) rpm *= 1.0 + kFanJitter * rng_.Symmetric();
    // Below a few dozen RPM a tachometer gives no usable pulses.
    inputs_.fanRpm[i] = rpm < 30.0 ? 0.0 : rpm;
  }
  for (int i = 0; i < kTempInputs; ++i) {
    const TempWiring& w = temps_[i].wiring;
    inputs_.tempC[i] = w.Wired() ? w.Reading(temps_[i].c) : temps_[i].c;
  }
}

void SensorPhysics::SetRailVolts(int input, double volts) {
  if (!ValidInput(input, kVoltageInputs)) return;
  rails_[input] = volts;
  Sample();
}

void SensorPhysics::RestoreRail(int input) {
  if (!ValidInput(input, kVoltageInputs)) return;
  rails_[input] = wiring_[input].Wired() ? wiring_[input].nominalVolts : 0.0;
  Sample();
}

void SensorPhysics::SetPinVolts(int input, double pinVolts) {
  if (!ValidInput(input, kVoltageInputs)) return;
  rails_[input] = wiring_[input].RailVolts(pinVolts);
  Sample();
}

void SensorPhysics::SetLoadPercent(double percent) {
  loadPercent_ = std::clamp(percent, 0.0, 100.0);
}

void SensorPhysics::SetFanFault(int tach, FanFault fault) {
  if (!ValidInput(tach, kFanInputs)) return;
  fans_[tach].fault = fault;
  if (fault == FanFault::kFailed) fans_[tach].rpm = 0.0;
  Sample();
}

void SensorPhysics::HoldFanRpm(int tach, std::optional<double> rpm) {
  if (!ValidInput(tach, kFanInputs)) return;
  fans_[tach].held = rpm;
  if (rpm) fans_[tach].rpm = std::max(0.0, *rpm);
  Sample();
}

void SensorPhysics::SetFanFullRpm(int tach, double rpm) {
  if (!ValidInput(tach, kFanInputs)) return;
  fans_[tach].fullRpm = std::max(0.0, rpm);
}

void SensorPhysics::SetFanSpeedNow(int tach, double rpm) {
  if (!ValidInput(tach, kFanInputs)) return;
  fans_[tach].rpm = std::max(0.0, rpm);
  Sample();
}

double SensorPhysics::RealFromReading(int input, double readingC) const {
  if (!ValidInput(input, kTempInputs) || !temps_[input].wiring.Wired()) return readingC;
  return temps_[input].wiring.RealFromReading(readingC);
}

void SensorPhysics::HoldTemperature(int input, std::optional<double> celsius) {
  if (!ValidInput(input, kTempInputs)) return;
  temps_[input].held = celsius;
  if (celsius) temps_[input].c = *celsius;
  Sample();
}

}  // namespace veltrix::sim
