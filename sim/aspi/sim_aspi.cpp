#include "sim/aspi/sim_aspi.h"

#include <algorithm>
#include <cstring>

namespace veltrix::sim {

using namespace veltrix::platform;

namespace {

// Fixed-format sense data (response code 0x70) for a target's CHECK CONDITION.
constexpr std::uint8_t kSenseIllegalRequest = 0x05;
constexpr std::uint8_t kAscInvalidOpcode = 0x20;

void CopyPadded(std::uint8_t (&field)[16], std::string_view text) {
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), sizeof field));
}

void SetCheckCondition(SRB_ExecSCSICmd& srb, std::uint8_t key, std::uint8_t asc) {
  srb.SRB_HaStat = HASTAT_OK;
  srb.SRB_TargStat = STATUS_CHKCOND;
  std::uint8_t sense[18] = {};
  sense[0] = 0x70;
  sense[2] = key;
  sense[7] = 10;  // additional sense length
  sense[12] = asc;
  std::size_t n = std::min<std::size_t>({srb.SRB_SenseLen, sizeof srb.SenseArea, sizeof sense});
  std::memcpy(srb.SenseArea, sense, n);
}

}  // namespace

int SimAspi::AddHostAdapter(std::string identifier) {
  adapters_.push_back({std::move(identifier), {}});
  return static_cast<int>(adapters_.size()) - 1;
}

bool SimAspi::AddDevice(int hostAdapter, int target, std::uint8_t deviceType) {
  if (hostAdapter < 0 || hostAdapter >= static_cast<int>(adapters_.size())) return false;
  if (target < 0 || target >= kAspiTargetsPerAdapter) return false;
  adapters_[static_cast<std::size_t>(hostAdapter)].devices[target] = Device{deviceType, {}, {}};
  return true;
}

std::uint32_t SimAspi::GetASPI32SupportInfoEx() {
  if (!present_) return std::uint32_t{SS_NO_ASPI} << 8;
  if (adapters_.empty()) return std::uint32_t{SS_NO_ADAPTERS} << 8;
  return (std::uint32_t{SS_COMP} << 8) | static_cast<std::uint32_t>(adapters_.size() & 0xFF);
}

std::uint32_t SimAspi::SendASPI32CommandEx(void* srb) {
  if (srb == nullptr) return SS_INVALID_SRB;
  auto* header = static_cast<SRB_Header*>(srb);
  ++commandCounts_[header->SRB_Cmd];
  std::uint8_t status;
  if (!present_) {
    status = SS_NO_ASPI;
  } else {
    switch (header->SRB_Cmd) {
      case SC_HA_INQUIRY:
        status = HaInquiry(*static_cast<SRB_HAInquiry*>(srb));
        break;
      case SC_GET_DEV_TYPE:
        status = GetDeviceType(*static_cast<SRB_GDEVBlock*>(srb));
        break;
      case SC_EXEC_SCSI_CMD: {
        auto* exec = static_cast<SRB_ExecSCSICmd*>(srb);
        status = ExecScsi(*exec);
        if (deferred_) {
          pending_.push_back({exec, status});
          status = SS_PENDING;
        }
        break;
      }
      default:
        status = SS_INVALID_CMD;
        break;
    }
  }
  header->SRB_Status = status;
  return status;
}

int SimAspi::CompletePending() {
  int n = static_cast<int>(pending_.size());
  for (auto& p : pending_) p.srb->SRB_Status = p.status;
  pending_.clear();
  return n;
}

std::uint8_t SimAspi::HaInquiry(SRB_HAInquiry& srb) {
  if (srb.SRB_HaId >= adapters_.size()) return SS_INVALID_HA;
  const Adapter& adapter = adapters_[srb.SRB_HaId];
  srb.HA_Count = static_cast<std::uint8_t>(adapters_.size());
  srb.HA_SCSI_ID = 7;  // the adapter's own id, above the devices
  CopyPadded(srb.HA_ManagerId, "VELTRIX SIM ASPI");
  CopyPadded(srb.HA_Identifier, adapter.identifier);
  std::memset(srb.HA_Unique, 0, sizeof srb.HA_Unique);
  srb.HA_Unique[3] = kAspiTargetsPerAdapter;
  return SS_COMP;
}

SimAspi::Device* SimAspi::FindDevice(int hostAdapter, int target, int lun) {
  if (hostAdapter < 0 || hostAdapter >= static_cast<int>(adapters_.size()) || lun != 0) return nullptr;
  auto& devices = adapters_[static_cast<std::size_t>(hostAdapter)].devices;
  auto it = devices.find(target);
  return it == devices.end() ? nullptr : &it->second;
}

std::uint8_t SimAspi::GetDeviceType(SRB_GDEVBlock& srb) {
  if (srb.SRB_HaId >= adapters_.size()) return SS_INVALID_HA;
  Device* device = FindDevice(srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun);
  if (device == nullptr) return SS_NO_DEVICE;
  srb.SRB_DeviceType = device->type;
  return SS_COMP;
}

std::uint8_t SimAspi::ExecScsi(SRB_ExecSCSICmd& srb) {
  if (srb.SRB_HaId >= adapters_.size()) return SS_INVALID_HA;
  if (srb.SRB_CDBLen == 0 || srb.SRB_CDBLen > sizeof srb.CDBByte) return SS_INVALID_SRB;
  Device* device = FindDevice(srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun);
  if (device == nullptr) {
    srb.SRB_HaStat = HASTAT_SEL_TO;
    srb.SRB_TargStat = STATUS_GOOD;
    return SS_ERR;
  }
  const std::uint8_t* cdb = srb.CDBByte;
  srb.SRB_HaStat = HASTAT_OK;
  srb.SRB_TargStat = STATUS_GOOD;
  switch (cdb[0]) {
    case SCSI_TEST_UNIT_READY:
      return SS_COMP;
    case SCSI_SET_CD_SPEED:
      // The command needs its two speed fields; a CD-ROM drive is the only kind that knows it.
      if (device->type == DTYPE_CDROM && srb.SRB_CDBLen >= 6) {
        auto read = static_cast<std::uint16_t>((cdb[2] << 8) | cdb[3]);
        auto write = static_cast<std::uint16_t>((cdb[4] << 8) | cdb[5]);
        device->readKBps = read;
        device->writeKBps = write;
        speedLog_.push_back({srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun, read, write});
        return SS_COMP;
      }
      break;
    default:
      break;
  }
  SetCheckCondition(srb, kSenseIllegalRequest, kAscInvalidOpcode);
  return SS_ERR;
}

std::optional<std::uint16_t> SimAspi::DriveReadSpeed(int hostAdapter, int target) const {
  if (hostAdapter < 0 || hostAdapter >= static_cast<int>(adapters_.size())) return std::nullopt;
  const auto& devices = adapters_[static_cast<std::size_t>(hostAdapter)].devices;
  auto it = devices.find(target);
  return it == devices.end() ? std::nullopt : it->second.readKBps;
}

int SimAspi::CommandCount(std::uint8_t commandCode) const {
  auto it = commandCounts_.find(commandCode);
  return it == commandCounts_.end() ? 0 : it->second;
}

}  // namespace veltrix::sim
