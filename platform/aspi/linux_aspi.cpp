#include "platform/aspi/linux_aspi.h"

#include <algorithm>
#include <cstring>

namespace veltrix::platform {
namespace {

constexpr int kTargetsPerAdapter = 8;
constexpr std::uint8_t kOwnScsiId = 7;

void CopyPadded(std::uint8_t (&field)[16], const std::string& text) {
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), sizeof field));
}

}  // namespace

LinuxAspi::LinuxAspi(SgSystem& system, std::function<void(const std::string&)> log)
    : system_(system), log_(std::move(log)) {}

LinuxAspi::~LinuxAspi() {
  CloseAll();
}

void LinuxAspi::CloseAll() {
  for (Device& d : devices_) system_.Close(d.fd);
  devices_.clear();
  hosts_.clear();
}

void LinuxAspi::Refresh() {
  CloseAll();
  refreshed_ = true;
  for (const std::string& name : system_.ListDevices()) {
    const int fd = system_.Open(name);
    if (fd < 0) continue;  // no right to it, or not a generic node: not ours to use
    Device device{name, fd, {}};
    if (system_.GetScsiId(fd, device.id) != 0) {
      system_.Close(fd);
      continue;
    }
    devices_.push_back(std::move(device));
    hosts_.push_back(devices_.back().id.hostNo);
  }
  std::sort(hosts_.begin(), hosts_.end());
  hosts_.erase(std::unique(hosts_.begin(), hosts_.end()), hosts_.end());
}

bool LinuxAspi::Present() {
  Refresh();
  return !devices_.empty();
}

std::uint32_t LinuxAspi::GetASPI32SupportInfoEx() {
  if (!refreshed_) Refresh();
  if (devices_.empty()) return std::uint32_t{SS_NO_ADAPTERS} << 8;
  return (std::uint32_t{SS_COMP} << 8) | static_cast<std::uint32_t>(hosts_.size() & 0xFF);
}

LinuxAspi::Device* LinuxAspi::Find(int adapter, int target, int lun) {
  if (adapter < 0 || adapter >= static_cast<int>(hosts_.size())) return nullptr;
  const int host = hosts_[static_cast<std::size_t>(adapter)];
  for (Device& d : devices_) {
    if (d.id.hostNo == host && d.id.channel == 0 && d.id.scsiId == target && d.id.lun == lun) {
      if (setAside_.contains({host, 0, target, lun})) return nullptr;
      return &d;
    }
  }
  return nullptr;
}

std::uint8_t LinuxAspi::Inquiry(SRB_HAInquiry& srb) const {
  if (srb.SRB_HaId >= hosts_.size()) return SS_INVALID_HA;
  srb.HA_Count = static_cast<std::uint8_t>(hosts_.size());
  srb.HA_SCSI_ID = kOwnScsiId;
  CopyPadded(srb.HA_ManagerId, "VELTRIX SG");
  CopyPadded(srb.HA_Identifier, "scsi" + std::to_string(hosts_[srb.SRB_HaId]));
  std::memset(srb.HA_Unique, 0, sizeof srb.HA_Unique);
  srb.HA_Unique[3] = kTargetsPerAdapter;
  return SS_COMP;
}

std::uint8_t LinuxAspi::DeviceType(SRB_GDEVBlock& srb) {
  if (srb.SRB_HaId >= hosts_.size()) return SS_INVALID_HA;
  const Device* d = Find(srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun);
  if (d == nullptr) return SS_NO_DEVICE;
  srb.SRB_DeviceType = static_cast<std::uint8_t>(d->id.scsiType & 0x1F);
  return SS_COMP;
}

std::uint8_t LinuxAspi::Execute(SRB_ExecSCSICmd& srb) {
  if (srb.SRB_HaId >= hosts_.size()) return SS_INVALID_HA;
  if (srb.SRB_CDBLen == 0 || srb.SRB_CDBLen > sizeof srb.CDBByte) return SS_INVALID_SRB;
  if (srb.SRB_BufLen != 0 || srb.SRB_BufPointer != 0) return SS_INVALID_SRB;
  Device* d = Find(srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun);
  if (d == nullptr) {
    srb.SRB_HaStat = HASTAT_SEL_TO;
    srb.SRB_TargStat = STATUS_GOOD;
    return SS_ERR;
  }
  std::uint8_t sense[sizeof srb.SenseArea] = {};
  sg_io_hdr_t request = SgRequestFor(srb, sense, sizeof sense, kCommandTimeoutMs);
  const int error = system_.SgIo(d->fd, request);
  const std::uint8_t status = ApplySgResult(request, error, sense, srb);
  if (error == 0 && SgTimedOut(request)) {
    setAside_.insert({d->id.hostNo, d->id.channel, d->id.scsiId, d->id.lun});
    if (log_) {
      log_("/dev/" + d->name + " did not complete a command within " + std::to_string(kCommandTimeoutMs) +
           " ms; it is left alone from now on");
    }
  }
  return status;
}

std::uint32_t LinuxAspi::SendASPI32CommandEx(void* srb) {
  if (srb == nullptr) return SS_INVALID_SRB;
  if (!refreshed_) Refresh();
  auto* header = static_cast<SRB_Header*>(srb);
  std::uint8_t status;
  switch (header->SRB_Cmd) {
    case SC_HA_INQUIRY:
      status = Inquiry(*static_cast<SRB_HAInquiry*>(srb));
      break;
    case SC_GET_DEV_TYPE:
      status = DeviceType(*static_cast<SRB_GDEVBlock*>(srb));
      break;
    case SC_EXEC_SCSI_CMD:
      status = Execute(*static_cast<SRB_ExecSCSICmd*>(srb));
      break;
    case SC_ABORT_SRB:
      status = SS_ABORT_FAIL;  // every command has completed by the time its call returns
      break;
    default:
      status = SS_INVALID_CMD;
      break;
  }
  header->SRB_Status = status;
  return status;
}

}  // namespace veltrix::platform
