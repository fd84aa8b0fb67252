#pragma once
// CD-ROM rotation speed through ASPI (ModuleASPI): the presence check, the host-adapter count,
// the scan of every adapter's targets 0..7 and one SET CD SPEED per CD-ROM drive found.
//
// SET CD SPEED (opcode 0xBB) carries the read speed in CDB bytes 2-3 and the write speed in
// bytes 4-5, most significant byte first; both are v v, so a drive is asked for v × 257 kB/s
// (v = 255 gives 0xFFFF, the drive's own maximum: the exit releases the limit with it).
//
// A command still pending is waited for with the user interface kept alive, but no longer
// than kCompletionLimitMs: it is then aborted and counted as failed, and the scan goes on.
// While a scan is under way (its wait lets timer ticks and clicks run) no second scan starts:
// the newest speed asked for meanwhile is sent once the scan has ended.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace veltrix::monitor {

class Program;

inline constexpr std::string_view kCdromControlKey =
    "SYSTEM\\CurrentControlSet\\Services\\Halvane\\CDROMControl";
// The slider's ends; the drives get 2 × position.
inline constexpr int kCdromSliderMax = 26;
inline constexpr int kCdromSliderStart = 10;
// The speed byte the exit sends: the drives' own maximum.
inline constexpr std::uint8_t kCdromSpeedReleased = 255;
// How long one SET CD SPEED may stay pending, and how often the wait looks again.
inline constexpr int kCompletionLimitMs = 2000;
inline constexpr int kCompletionPollMs = 10;

enum class CdSpeedResult : std::uint8_t {
  kDone,      // the drive completed the command
  kFailed,    // the layer or the drive reported an error (CHECK CONDITION, no device, ...)
  kTimedOut,  // still pending after kCompletionLimitMs: aborted
};
std::string_view CdSpeedResultName(CdSpeedResult result);

// The last SET CD SPEED sent to one drive.
struct CdromDriveSpeed {
  int adapter = 0;
  int target = 0;
  std::uint8_t speed = 0;  // v
  CdSpeedResult result = CdSpeedResult::kDone;
  std::uint8_t senseKey = 0;  // from the sense data of a CHECK CONDITION, else 0
};

// ModuleASPI's state for the whole run.
struct CdromSpeedState {
  bool scanning = false;                 // a scan is under way (re-entry guard)
  std::optional<std::uint8_t> deferred;  // the newest speed asked for during a scan
  std::uint64_t scans = 0;               // scans started
  std::uint64_t refused = 0;             // requests that arrived during a scan
  std::vector<CdromDriveSpeed> drives;   // the last speed sent per drive, by (adapter, target)
};

// True when the ASPI layer is there (its library loads and exports both entry points).
bool IsAspiAvailable(Program& program);
// The number of host adapters (0..15) when the layer reports SS_COMP, else 0.
std::uint16_t GetHostAdapterCount(Program& program);
// Applies v to every CD-ROM drive on every host adapter.
void SetCdromSpeed(Program& program, std::uint8_t v);
// Sends one SET CD SPEED to (adapter, target, LUN 0) and waits for its completion (bounded).
CdSpeedResult SendSetCdSpeed(Program& program, std::uint16_t adapter, std::uint16_t target, std::uint8_t v);

}  // namespace veltrix::monitor
