#include "sim/aspi/sim_aspi.h"

#include <algorithm>
#include <cstring>

namespace veltrix::sim {

using namespace veltrix::platform;

namespace {

// Fixed-format sense data (response code 0x70): sense key and additional sense code.
constexpr std::uint8_t kSenseIllegalRequest = 0x05;
constexpr std::uint8_t kAscInvalidOpcode = 0x20;
constexpr std::uint8_t kAscInvalidFieldInCdb = 0x24;

void CopyPadded(std::uint8_t (&field)[16], std::string_view text) {
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), sizeof field));
}

std::vector<std::uint8_t> Sense(std::uint8_t key, std::uint8_t asc) {
  std::vector<std::uint8_t> sense(18, 0);
  sense[0] = 0x70;
  sense[2] = key;
  sense[7] = 10;  // additional sense length
  sense[12] = asc;
  return sense;
}

// How many bytes of an SRB the layer reads, by command code.
std::size_t RecordSize(std::uint8_t code) {
  switch (code) {
    case SC_HA_INQUIRY:
      return sizeof(SRB_HAInquiry);
    case SC_GET_DEV_TYPE:
      return sizeof(SRB_GDEVBlock);
    case SC_EXEC_SCSI_CMD:
      return sizeof(SRB_ExecSCSICmd);
    case SC_ABORT_SRB:
      return sizeof(SRB_Abort);
    default:
      return sizeof(SRB_Header);
  }
}

template <typename T>
void Bounded(std::deque<T>& log, T entry) {
  log.push_back(std::move(entry));
  if (log.size() > SimAspi::kLogLimit) log.pop_front();
}

}  // namespace

int SimAspi::AddHostAdapter(std::string identifier) {
  if (adapters_.size() >= kAspiMaxAdapters) return -1;
  adapters_.push_back({std::move(identifier), {}});
  return static_cast<int>(adapters_.size()) - 1;
}

void SimAspi::RemoveAllAdapters() {
  for (std::size_t a = 0; a < adapters_.size(); ++a) AbortWhere(static_cast<int>(a), -1);
  adapters_.clear();
}

bool SimAspi::AddDevice(int hostAdapter, int target, std::uint8_t deviceType) {
  if (hostAdapter < 0 || hostAdapter >= static_cast<int>(adapters_.size())) return false;
  if (target < 0 || target >= kAspiTargetsPerAdapter) return false;
  AbortWhere(hostAdapter, target);
  adapters_[static_cast<std::size_t>(hostAdapter)].devices[target] = Device{.type = deviceType};
  return true;
}

bool SimAspi::HasDevice(int hostAdapter, int target) const {
  if (hostAdapter < 0 || hostAdapter >= static_cast<int>(adapters_.size())) return false;
  return adapters_[static_cast<std::size_t>(hostAdapter)].devices.contains(target);
}

bool SimAspi::RemoveDevice(int hostAdapter, int target) {
  if (!HasDevice(hostAdapter, target)) return false;
  AbortWhere(hostAdapter, target);
  adapters_[static_cast<std::size_t>(hostAdapter)].devices.erase(target);
  return true;
}

bool SimAspi::SetBehaviour(int hostAdapter, int target, DriveBehaviour behaviour, double delayMs) {
  Device* device = FindDevice(hostAdapter, target, 0);
  if (device == nullptr) return false;
  device->behaviour = behaviour;
  device->delayMs = std::max(0.0, delayMs);
  return true;
}

std::uint32_t SimAspi::GetASPI32SupportInfoEx() {
  if (!present_) return std::uint32_t{SS_NO_ASPI} << 8;
  if (adapters_.empty()) return std::uint32_t{SS_NO_ADAPTERS} << 8;
  return (std::uint32_t{SS_COMP} << 8) | static_cast<std::uint32_t>(adapters_.size() & 0xFF);
}

void SimAspi::Record(const void* srb) {
  const auto* bytes = static_cast<const std::uint8_t*>(srb);
  AspiCommandRecord record;
  record.atMs = nowMs_;
  record.bytes.assign(bytes, bytes + RecordSize(bytes[0]));
  Bounded(commands_, std::move(record));
}

std::uint32_t SimAspi::SendASPI32CommandEx(void* srb) {
  if (srb == nullptr) return SS_INVALID_SRB;
  Record(srb);
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
      case SC_EXEC_SCSI_CMD:
        // Exec writes SRB_Status itself (it may stay pending).
        return Exec(*static_cast<SRB_ExecSCSICmd*>(srb));
      case SC_ABORT_SRB:
        status = Abort(*static_cast<SRB_Abort*>(srb));
        break;
      default:
        status = SS_INVALID_CMD;
        break;
    }
  }
  header->SRB_Status = status;
  return status;
}

void SimAspi::Finish(SRB_ExecSCSICmd& srb, const Outcome& outcome) {
  srb.SRB_HaStat = outcome.haStat;
  srb.SRB_TargStat = outcome.targStat;
  if (!outcome.sense.empty()) {
    const std::size_t n =
        std::min<std::size_t>({srb.SRB_SenseLen, sizeof srb.SenseArea, outcome.sense.size()});
    std::memcpy(srb.SenseArea, outcome.sense.data(), n);
  }
  if (outcome.speed) {
    if (Device* device = FindDevice(outcome.speed->hostAdapter, outcome.speed->target, outcome.speed->lun)) {
      device->readKBps = outcome.speed->readKBps;
      device->writeKBps = outcome.speed->writeKBps;
      Bounded(speedLog_, *outcome.speed);
    }
  }
  srb.SRB_Status = outcome.status;  // last: the caller takes a changed status as "done"
}

std::uint8_t SimAspi::Exec(SRB_ExecSCSICmd& srb) {
  auto answer = [&srb](std::uint8_t status) {
    srb.SRB_Status = status;
    return status;
  };
  if (srb.SRB_HaId >= adapters_.size()) return answer(SS_INVALID_HA);
  if (srb.SRB_CDBLen == 0 || srb.SRB_CDBLen > sizeof srb.CDBByte) return answer(SS_INVALID_SRB);
  Device* device = FindDevice(srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun);
  if (device == nullptr) {
    srb.SRB_HaStat = HASTAT_SEL_TO;
    srb.SRB_TargStat = STATUS_GOOD;
    return answer(SS_ERR);
  }
  Outcome outcome = ExecScsi(srb, *device);
  if (device->behaviour == DriveBehaviour::kCheckCondition) {
    outcome = Outcome{.status = SS_ERR,
                      .targStat = STATUS_CHKCOND,
                      .sense = Sense(kSenseIllegalRequest, kAscInvalidFieldInCdb)};
  }
  const bool hangs = device->behaviour == DriveBehaviour::kHang;
  const bool slow = device->behaviour == DriveBehaviour::kSlow;
  if (!deferred_ && !hangs && !slow) {
    Finish(srb, outcome);
    return outcome.status;
  }
  Pending p{.srb = &srb, .outcome = std::move(outcome), .hangs = hangs};
  if (slow) p.dueMs = nowMs_ + device->delayMs;
  pending_.push_back(std::move(p));
  srb.SRB_Status = SS_PENDING;
  if (slow && device->delayMs <= 0.0) AdvanceTo(nowMs_);
  return SS_PENDING;
}

SimAspi::Outcome SimAspi::ExecScsi(const SRB_ExecSCSICmd& srb, const Device& device) {
  const std::uint8_t* cdb = srb.CDBByte;
  switch (cdb[0]) {
    case SCSI_TEST_UNIT_READY:
      return {};
    case SCSI_SET_CD_SPEED:
      // The command needs its two speed fields; a CD-ROM drive is the only kind that knows it.
      if (device.type == DTYPE_CDROM && srb.SRB_CDBLen >= 6) {
        SetCdSpeedCommand command{srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun,
                                  static_cast<std::uint16_t>((cdb[2] << 8) | cdb[3]),
                                  static_cast<std::uint16_t>((cdb[4] << 8) | cdb[5])};
        return Outcome{.speed = command};
      }
      break;
    default:
      break;
  }
  return Outcome{
      .status = SS_ERR, .targStat = STATUS_CHKCOND, .sense = Sense(kSenseIllegalRequest, kAscInvalidOpcode)};
}

std::uint8_t SimAspi::Abort(SRB_Abort& srb) {
  auto it = std::find_if(pending_.begin(), pending_.end(),
                         [&](const Pending& p) { return static_cast<void*>(p.srb) == srb.SRB_ToAbort; });
  if (it == pending_.end()) return SS_ABORT_FAIL;
  it->srb->SRB_Status = SS_ABORTED;
  pending_.erase(it);
  return SS_COMP;
}

void SimAspi::AbortWhere(int hostAdapter, int target) {
  std::erase_if(pending_, [&](const Pending& p) {
    const bool match = p.srb->SRB_HaId == hostAdapter && (target < 0 || p.srb->SRB_Target == target);
    if (match) p.srb->SRB_Status = SS_ABORTED;
    return match;
  });
}

int SimAspi::CompletePending() {
  int n = 0;
  std::vector<Pending> keep;
  for (Pending& p : pending_) {
    if (p.hangs) {
      keep.push_back(p);
      continue;
    }
    Finish(*p.srb, p.outcome);
    ++n;
  }
  pending_ = std::move(keep);
  return n;
}

void SimAspi::AdvanceTo(double nowMs) {
  nowMs_ = std::max(nowMs_, nowMs);
  // Completion may let the caller go on; take the finished ones out before finishing them.
  std::vector<Pending> due;
  std::vector<Pending> waiting;
  for (Pending& p : pending_) (p.dueMs && *p.dueMs <= nowMs_ ? due : waiting).push_back(std::move(p));
  pending_ = std::move(waiting);
  for (Pending& p : due) Finish(*p.srb, p.outcome);
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
