#pragma once
// Simulated ASPI layer: host adapters with devices at target ids 0..7 (LUN 0), answering
// the SRB commands as an ASPI manager does. CD-ROM drives take SET CD SPEED. Every command
// the layer receives is recorded byte for byte, with the simulated time it came in.
//
// A drive can be slow (each command completes a while later, in simulated time), hang (its
// commands never complete until they are aborted) or answer CHECK CONDITION. Time moves
// with AdvanceTo (the simulated machine calls it as its clock moves).
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/aspi/aspi.h"

namespace veltrix::sim {

inline constexpr int kAspiTargetsPerAdapter = 8;
inline constexpr int kAspiMaxAdapters = 15;  // what the support-info word's low nibble can carry

struct SetCdSpeedCommand {
  int hostAdapter = 0;
  int target = 0;
  int lun = 0;
  std::uint16_t readKBps = 0;   // CDB bytes 2-3; 0xFFFF = the drive's maximum
  std::uint16_t writeKBps = 0;  // CDB bytes 4-5
};

// One command as it reached the layer: the SRB's bytes before the layer answered.
struct AspiCommandRecord {
  double atMs = 0.0;
  std::vector<std::uint8_t> bytes;
  std::uint8_t Code() const { return bytes.empty() ? 0xFF : bytes[0]; }
};

enum class DriveBehaviour : std::uint8_t {
  kPrompt,          // completes at once
  kSlow,            // completes after a delay
  kHang,            // never completes
  kCheckCondition,  // completes at once with CHECK CONDITION (ILLEGAL REQUEST)
};

class SimAspi : public platform::Aspi {
 public:
  // The logs keep this many entries; older ones are dropped (counts are kept in full).
  static constexpr std::size_t kLogLimit = 4096;

  // Present, with no host adapters.
  SimAspi() = default;

  // Whether the ASPI DLL "exists" (the presence check).
  void SetPresent(bool present) { present_ = present; }
  // Adds a host adapter and returns its number; -1 when kAspiMaxAdapters exist already.
  int AddHostAdapter(std::string identifier = "SIM ATAPI");
  // Drops every adapter and device (pending commands are completed as aborted first).
  void RemoveAllAdapters();
  int AdapterCount() const { return static_cast<int>(adapters_.size()); }
  // Puts a device of the given SCSI peripheral type at (adapter, target); false when the
  // adapter does not exist or the target id is out of range.
  bool AddDevice(int hostAdapter, int target, std::uint8_t deviceType);
  bool AddCdromDrive(int hostAdapter, int target) {
    return AddDevice(hostAdapter, target, platform::DTYPE_CDROM);
  }
  bool HasDevice(int hostAdapter, int target) const;
  // Takes the device away; its pending commands end as SS_ABORTED. False when none is there.
  bool RemoveDevice(int hostAdapter, int target);
  // How the device answers from now on (delayMs for kSlow). False when no device is there.
  bool SetBehaviour(int hostAdapter, int target, DriveBehaviour behaviour, double delayMs = 0.0);

  // When on, executed commands return SS_PENDING and finish at CompletePending(); the
  // caller's SRB must stay alive until then, as with a real ASPI manager.
  void SetDeferredCompletion(bool deferred) { deferred_ = deferred; }
  // Finishes every pending command that can finish (not those of hanging drives); returns
  // how many.
  int CompletePending();
  int PendingCount() const { return static_cast<int>(pending_.size()); }
  // Simulated time: slow drives complete their commands once it reaches their due time.
  void AdvanceTo(double nowMs);
  double NowMs() const { return nowMs_; }

  bool Present() override { return present_; }
  std::uint32_t GetASPI32SupportInfoEx() override;
  std::uint32_t SendASPI32CommandEx(void* srb) override;

  // Every command received (the most recent kLogLimit), in order.
  const std::deque<AspiCommandRecord>& Commands() const { return commands_; }
  // Every SET CD SPEED a CD-ROM drive completed (the most recent kLogLimit), in order.
  const std::deque<SetCdSpeedCommand>& SetCdSpeedLog() const { return speedLog_; }
  void ClearSetCdSpeedLog() { speedLog_.clear(); }
  void ClearCommands() { commands_.clear(); }
  // The read speed last set on a drive (kB/s); nullopt before any SET CD SPEED.
  std::optional<std::uint16_t> DriveReadSpeed(int hostAdapter, int target) const;
  // Calls by command code (SC_HA_INQUIRY, SC_GET_DEV_TYPE, SC_EXEC_SCSI_CMD, SC_ABORT_SRB).
  int CommandCount(std::uint8_t commandCode) const;

 private:
  struct Device {
    std::uint8_t type = 0;
    DriveBehaviour behaviour = DriveBehaviour::kPrompt;
    double delayMs = 0.0;
    std::optional<std::uint16_t> readKBps;
    std::optional<std::uint16_t> writeKBps;
  };
  struct Adapter {
    std::string identifier;
    std::map<int, Device> devices;  // by target id
  };
  // What a command does once it completes.
  struct Outcome {
    std::uint8_t status = platform::SS_COMP;
    std::uint8_t haStat = platform::HASTAT_OK;
    std::uint8_t targStat = platform::STATUS_GOOD;
    std::vector<std::uint8_t> sense;         // fixed-format sense data for CHECK CONDITION
    std::optional<SetCdSpeedCommand> speed;  // a SET CD SPEED the drive takes on completion
  };
  struct Pending {
    platform::SRB_ExecSCSICmd* srb;
    Outcome outcome;
    std::optional<double> dueMs;  // nullopt: waits for CompletePending (deferred) or never (hang)
    bool hangs = false;
  };

  void Record(const void* srb);
  std::uint8_t HaInquiry(platform::SRB_HAInquiry& srb);
  std::uint8_t GetDeviceType(platform::SRB_GDEVBlock& srb);
  std::uint8_t Exec(platform::SRB_ExecSCSICmd& srb);
  static Outcome ExecScsi(const platform::SRB_ExecSCSICmd& srb, const Device& device);
  std::uint8_t Abort(platform::SRB_Abort& srb);
  void Finish(platform::SRB_ExecSCSICmd& srb, const Outcome& outcome);
  void AbortWhere(int hostAdapter, int target);
  Device* FindDevice(int hostAdapter, int target, int lun);

  bool present_ = true;
  bool deferred_ = false;
  double nowMs_ = 0.0;
  std::vector<Adapter> adapters_;
  std::deque<AspiCommandRecord> commands_;
  std::deque<SetCdSpeedCommand> speedLog_;
  std::vector<Pending> pending_;
  std::map<std::uint8_t, int> commandCounts_;
};

}  // namespace veltrix::sim
