#pragma once
// Simulated ASPI layer: host adapters with devices at target ids 0..7 (LUN 0), answering
// the three SRB commands as an ASPI manager does. CD-ROM drives take SET CD SPEED and
// record every one they receive.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/aspi/aspi.h"

namespace veltrix::sim {

inline constexpr int kAspiTargetsPerAdapter = 8;

struct SetCdSpeedCommand {
  int hostAdapter = 0;
  int target = 0;
  int lun = 0;
  std::uint16_t readKBps = 0;   // CDB bytes 2-3; 0xFFFF = the drive's maximum
  std::uint16_t writeKBps = 0;  // CDB bytes 4-5
};

class SimAspi : public platform::Aspi {
 public:
  // Present, with no host adapters.
  SimAspi() = default;

  // Whether the ASPI DLL "exists" (the presence check).
  void SetPresent(bool present) { present_ = present; }
  // Adds a host adapter and returns its number.
  int AddHostAdapter(std::string identifier = "SIM ATAPI");
  // Puts a device of the given SCSI peripheral type at (adapter, target); false when the
  // adapter does not exist or the target id is out of range.
  bool AddDevice(int hostAdapter, int target, std::uint8_t deviceType);
  bool AddCdromDrive(int hostAdapter, int target) {
    return AddDevice(hostAdapter, target, platform::DTYPE_CDROM);
  }
  // When on, executed commands return SS_PENDING and finish at CompletePending(); the
  // caller's SRB must stay alive until then, as with a real ASPI manager.
  void SetDeferredCompletion(bool deferred) { deferred_ = deferred; }
  // Finishes every pending command; returns how many.
  int CompletePending();
  int PendingCount() const { return static_cast<int>(pending_.size()); }

  bool Present() override { return present_; }
  std::uint32_t GetASPI32SupportInfoEx() override;
  std::uint32_t SendASPI32CommandEx(void* srb) override;

  // Every SET CD SPEED a CD-ROM drive accepted, in order.
  const std::vector<SetCdSpeedCommand>& SetCdSpeedLog() const { return speedLog_; }
  void ClearSetCdSpeedLog() { speedLog_.clear(); }
  // The read speed last set on a drive (kB/s); nullopt before any SET CD SPEED.
  std::optional<std::uint16_t> DriveReadSpeed(int hostAdapter, int target) const;
  // Calls by command code (SC_HA_INQUIRY, SC_GET_DEV_TYPE, SC_EXEC_SCSI_CMD).
  int CommandCount(std::uint8_t commandCode) const;

 private:
  struct Device {
    std::uint8_t type = 0;
    std::optional<std::uint16_t> readKBps;
    std::optional<std::uint16_t> writeKBps;
  };
  struct Adapter {
    std::string identifier;
    std::map<int, Device> devices;  // by target id
  };
  struct Pending {
    platform::SRB_ExecSCSICmd* srb;
    std::uint8_t status;
  };

  std::uint8_t HaInquiry(platform::SRB_HAInquiry& srb);
  std::uint8_t GetDeviceType(platform::SRB_GDEVBlock& srb);
  std::uint8_t ExecScsi(platform::SRB_ExecSCSICmd& srb);
  Device* FindDevice(int hostAdapter, int target, int lun);

  bool present_ = true;
  bool deferred_ = false;
  std::vector<Adapter> adapters_;
  std::vector<SetCdSpeedCommand> speedLog_;
  std::vector<Pending> pending_;
  std::map<std::uint8_t, int> commandCounts_;
};

}  // namespace veltrix::sim
