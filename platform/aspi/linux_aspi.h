#pragma once
// The ASPI layer on Linux, built on the kernel's SCSI generic driver.
//
// Host adapters are the SCSI hosts that have a generic node (/dev/sgN) this process can open
// read-write, numbered 0, 1, ... in the order of their host numbers; a device's target id is
// its SCSI id on channel 0 (ids 0..7; devices on other channels are not reachable through
// ASPI). GET DEVICE TYPE answers the node's peripheral type. An execute-SCSI-command SRB goes
// out as one SG_IO request with the same CDB and a time limit; status, adapter and target
// status and the sense data come back into the SRB. The request is synchronous, so a command
// is never left pending. SRBs with a data phase are refused (SS_INVALID_SRB): the record's
// 32-bit buffer address cannot name memory here.
//
// No node, no right to open one, or no sg module: the presence check fails and nothing is
// sent. A drive whose command ran out of time is left alone for the rest of the run (one line
// says so), so a hung drive costs the user interface one time-out, not one every second.
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/aspi/aspi.h"
#include "platform/aspi/sg_device.h"

namespace veltrix::platform {

class LinuxAspi : public Aspi {
 public:
  // The time limit of one SET CD SPEED (or any command) on the bus.
  static constexpr unsigned kCommandTimeoutMs = 2000;

  // `log` hears the one line about a drive that is set aside.
  LinuxAspi(SgSystem& system, std::function<void(const std::string&)> log);
  ~LinuxAspi() override;
  LinuxAspi(const LinuxAspi&) = delete;
  LinuxAspi& operator=(const LinuxAspi&) = delete;

  // Looks at the generic nodes afresh (drives come and go); true when one can be used.
  bool Present() override;
  std::uint32_t GetASPI32SupportInfoEx() override;
  std::uint32_t SendASPI32CommandEx(void* srb) override;

  int AdapterCount() const { return static_cast<int>(hosts_.size()); }

 private:
  struct Device {
    std::string name;
    int fd = -1;
    SgDeviceId id;
  };
  using Address = std::tuple<int, int, int, int>;  // host, channel, id, lun

  void Refresh();
  void CloseAll();
  Device* Find(int adapter, int target, int lun);
  std::uint8_t Inquiry(SRB_HAInquiry& srb) const;
  std::uint8_t DeviceType(SRB_GDEVBlock& srb);
  std::uint8_t Execute(SRB_ExecSCSICmd& srb);

  SgSystem& system_;
  std::function<void(const std::string&)> log_;
  bool refreshed_ = false;
  std::vector<Device> devices_;
  std::vector<int> hosts_;       // SCSI host numbers, ascending: adapter a = hosts_[a]
  std::set<Address> setAside_;  // drives that ran out of time
};

}  // namespace veltrix::platform
