#pragma once
// The kernel's SCSI generic driver (/dev/sgN) as the Linux ASPI layer uses it: the calls it
// makes (behind an interface, so tests stand in for the kernel) and the translation of an
// execute-SCSI-command SRB into an SG_IO request and of the answer back into the SRB.
#include <scsi/sg.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/aspi/aspi.h"

namespace veltrix::platform {

// What SG_GET_SCSI_ID tells about one device node.
struct SgDeviceId {
  int hostNo = 0;
  int channel = 0;
  int scsiId = 0;
  int lun = 0;
  int scsiType = 0;  // 5 = CD-ROM
};

class SgSystem {
 public:
  virtual ~SgSystem() = default;
  // Names of the SCSI generic nodes ("sg0", "sg1", ...), in number order.
  virtual std::vector<std::string> ListDevices() = 0;
  // Opens the node read-write and non-blocking, never through a symlink, and only when it is
  // a character device of the SCSI generic driver. A descriptor, or -errno.
  virtual int Open(const std::string& name) = 0;
  // 0, or -errno.
  virtual int GetScsiId(int fd, SgDeviceId& id) = 0;
  // One SG_IO request; 0 when the kernel took it (its outcome is in the header), or -errno.
  virtual int SgIo(int fd, sg_io_hdr_t& header) = 0;
  virtual void Close(int fd) = 0;
};

// The real driver, with its nodes in `devDir`.
class LinuxSgSystem : public SgSystem {
 public:
  explicit LinuxSgSystem(std::string devDir = "/dev") : devDir_(std::move(devDir)) {}
  std::vector<std::string> ListDevices() override;
  int Open(const std::string& name) override;
  int GetScsiId(int fd, SgDeviceId& id) override;
  int SgIo(int fd, sg_io_hdr_t& header) override;
  void Close(int fd) override;

 private:
  std::string devDir_;
};

// Whether `name` is a SCSI generic node name: "sg" and a decimal number.
bool IsSgName(const std::string& name);

// The SG_IO request for an execute-SCSI-command SRB without a data phase: its CDB, the sense
// buffer (`sense`, at least the SRB's SenseArea in size) and the time limit. The header points
// into `srb` and `sense`, which must outlive the request.
sg_io_hdr_t SgRequestFor(SRB_ExecSCSICmd& srb, std::uint8_t* sense, unsigned senseSize, unsigned timeoutMs);

// The outcome of the request back into the SRB: SRB_Status, SRB_HaStat, SRB_TargStat and the
// sense data. `error` is the ioctl's result (0 or -errno). Returns SRB_Status.
std::uint8_t ApplySgResult(const sg_io_hdr_t& header, int error, const std::uint8_t* sense, SRB_ExecSCSICmd& srb);

// Whether the request ran out of time (the kernel aborted it).
bool SgTimedOut(const sg_io_hdr_t& header);

}  // namespace veltrix::platform
