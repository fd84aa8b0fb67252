#include "platform/aspi/sg_device.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace veltrix::platform {
namespace {

// The SCSI generic driver's fixed character-device major number.
constexpr unsigned kScsiGenericMajor = 21;

// Host and driver bytes of an SG_IO answer (the kernel's DID_* and DRIVER_* codes).
constexpr std::uint16_t kDidOk = 0x00;
constexpr std::uint16_t kDidNoConnect = 0x01;
constexpr std::uint16_t kDidTimeOut = 0x03;
constexpr std::uint16_t kDidBadTarget = 0x04;
constexpr std::uint16_t kDidParity = 0x06;
constexpr std::uint16_t kDidReset = 0x08;
constexpr std::uint16_t kDriverTimeout = 0x06;

std::uint8_t AdapterStatus(const sg_io_hdr_t& h) {
  if (SgTimedOut(h)) return HASTAT_COMMAND_TIMEOUT;
  switch (h.host_status) {
    case kDidOk:
      return HASTAT_OK;
    case kDidNoConnect:
    case kDidBadTarget:
      return HASTAT_SEL_TO;
    case kDidParity:
      return HASTAT_PARITY_ERROR;
    case kDidReset:
      return HASTAT_BUS_RESET;
    default:
      return HASTAT_PHASE_ERR;
  }
}

unsigned SgNumber(const std::string& name) {
  return static_cast<unsigned>(std::strtoul(name.c_str() + 2, nullptr, 10));
}

}  // namespace

bool IsSgName(const std::string& name) {
  if (name.size() < 3 || name.size() > 8 || name.compare(0, 2, "sg") != 0) return false;
  return std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> LinuxSgSystem::ListDevices() {
  std::vector<std::string> names;
  DIR* dir = ::opendir(devDir_.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (IsSgName(name)) names.push_back(std::move(name));
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return SgNumber(a) < SgNumber(b); });
  return names;
}

int LinuxSgSystem::Open(const std::string& name) {
  if (!IsSgName(name)) return -EINVAL;
  const std::string path = devDir_ + "/" + name;
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || major(st.st_rdev) != kScsiGenericMajor) {
    ::close(fd);
    return -ENODEV;
  }
  return fd;
}

int LinuxSgSystem::GetScsiId(int fd, SgDeviceId& id) {
  sg_scsi_id raw{};
  if (::ioctl(fd, SG_GET_SCSI_ID, &raw) != 0) return -errno;
  id = {raw.host_no, raw.channel, raw.scsi_id, raw.lun, raw.scsi_type};
  return 0;
}

int LinuxSgSystem::SgIo(int fd, sg_io_hdr_t& header) {
  int result;
  do {
    result = ::ioctl(fd, SG_IO, &header);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : -errno;
}

void LinuxSgSystem::Close(int fd) {
  ::close(fd);
}

sg_io_hdr_t SgRequestFor(SRB_ExecSCSICmd& srb, std::uint8_t* sense, unsigned senseSize, unsigned timeoutMs) {
  sg_io_hdr_t h{};
  h.interface_id = 'S';
  h.dxfer_direction = SG_DXFER_NONE;
  h.cmd_len = srb.SRB_CDBLen;
  h.cmdp = srb.CDBByte;
  h.mx_sb_len = static_cast<unsigned char>(std::min<unsigned>({srb.SRB_SenseLen, senseSize, 255u}));
  h.sbp = sense;
  h.dxfer_len = 0;
  h.dxferp = nullptr;
  h.timeout = timeoutMs;
  h.flags = 0;
  return h;
}

bool SgTimedOut(const sg_io_hdr_t& h) {
  return h.host_status == kDidTimeOut || (h.driver_status & 0x0F) == kDriverTimeout;
}

std::uint8_t ApplySgResult(const sg_io_hdr_t& h, int error, const std::uint8_t* sense, SRB_ExecSCSICmd& srb) {
  std::uint8_t status;
  if (error != 0) {
    // The kernel refused the request: nobody at that address, or no right to send it.
    srb.SRB_HaStat = (error == -ENODEV || error == -ENXIO) ? HASTAT_SEL_TO : HASTAT_OK;
    srb.SRB_TargStat = STATUS_GOOD;
    status = SS_ERR;
  } else {
    srb.SRB_HaStat = AdapterStatus(h);
    srb.SRB_TargStat = h.status;
    const unsigned written = std::min<unsigned>({h.sb_len_wr, h.mx_sb_len, sizeof srb.SenseArea});
    if (written > 0) std::memcpy(srb.SenseArea, sense, written);
    status = (h.info & SG_INFO_OK_MASK) == SG_INFO_OK ? SS_COMP : SS_ERR;
  }
  srb.SRB_Status = status;
  return status;
}

}  // namespace veltrix::platform
