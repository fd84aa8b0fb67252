#pragma once
// Timed events for demos and tests: a small line-based script ("at 10s fan CPU stop").
// The parser checks the syntax only; which fans, rails and temperatures exist is the board's
// business and is checked when a machine accepts the scenario (SimMachine::LoadScenario).
// The format is described in docs/scenarios.md.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix::sim {

enum class ScenarioAction : std::uint8_t {
  kFanStop,       // fan NAME stop: the rotor stalls although the fan is driven
  kFanFail,       // fan NAME fail: the fan is dead, no tachometer pulses
  kFanRun,        // fan NAME run: healthy again, following its drive output
  kFanRpm,        // fan NAME rpm N: runs at N RPM whatever its drive output
  kRailSet,       // rail NAME VOLTS
  kRailNominal,   // rail NAME nominal
  kCaseOpen,      // case open
  kCaseClose,     // case close
  kLoad,          // load PERCENT
  kTempSet,       // temp NAME CELSIUS: held at that temperature
  kTempAuto,      // temp NAME auto: back to the thermal model
  kGarbage,       // garbage reg 0xRR 0xVV [bank N]: the register reads VV from now on
  kGarbageClear,  // garbage off reg 0xRR [bank N]
  kSuspend,       // power events the front end delivers to the program
  kResume,
  kAspiNone,      // aspi none: no ASPI layer at all
  kAspiAdapters,  // aspi adapters N: the layer has N empty host adapters
  kDriveAdd,      // drive A:T cdrom|disk|tape|type N (value = SCSI device type)
  kDriveSlow,     // drive A:T slow DURATION (value = milliseconds)
  kDriveHang,     // drive A:T hang: its commands never complete
  kDriveCheck,    // drive A:T check: it answers CHECK CONDITION
  kDriveOk,       // drive A:T ok: it answers at once again
  kDriveRemove,   // drive A:T remove
};

struct ScenarioEvent {
  double atMs = 0.0;
  int line = 0;  // source line, for messages
  ScenarioAction action = ScenarioAction::kLoad;
  std::string target;  // fan, rail or temperature name as written
  double value = 0.0;  // volts, percent, RPM or degrees
  std::uint8_t reg = 0;
  std::uint8_t byte = 0;
  int bank = 0;
  int aspiAdapter = 0;  // drive events: host adapter and target id
  int aspiTarget = 0;
};

struct Scenario {
  std::string fileName;
  std::vector<ScenarioEvent> events;  // ordered by time; equal times keep file order
};

struct ScenarioParseResult {
  std::optional<Scenario> scenario;
  std::string error;  // "FILE:LINE: reason" when scenario is empty
};

// The largest scenario file read (a script of a few hundred events is a few KiB).
inline constexpr std::size_t kMaxScenarioFileBytes = 1024 * 1024;

ScenarioParseResult ParseScenario(std::string_view text, std::string_view fileName);
// Reads the file first: only a regular file of at most kMaxScenarioFileBytes (checked before and
// while reading, so a FIFO or /dev/zero is refused at once); otherwise an error
// "FILE: cannot read (why)".
ScenarioParseResult LoadScenarioFile(const std::string& path);

std::string_view ScenarioActionName(ScenarioAction action);

}  // namespace veltrix::sim
