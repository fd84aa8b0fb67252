// ModuleASPI: CD-ROM rotation speed through the ASPI layer.
#include "monitor/fancontrol/cdrom_speed.h"

#include <algorithm>
#include <cstring>

#include "monitor/channels/number_format.h"
#include "monitor/program.h"
#include "platform/aspi/aspi.h"

namespace veltrix::monitor {
namespace {

using namespace veltrix::platform;

constexpr std::uint8_t kCdbLength = 10;
constexpr int kTargetsPerAdapter = 8;

// The ASPI manager finishes a pending command behind the caller's back: every look at the
// status byte is a fresh read.
std::uint8_t StatusOf(const std::uint8_t& field) {
  return *static_cast<const volatile std::uint8_t*>(&field);
}

// Marks the scan as under way for as long as it runs, however it ends (an exit chosen from a
// handler that ran during a wait unwinds through it).
class ScanGuard {
 public:
  explicit ScanGuard(CdromSpeedState& state) : state_(state) {
    state_.scanning = true;
    ++state_.scans;
  }
  ~ScanGuard() { state_.scanning = false; }
  ScanGuard(const ScanGuard&) = delete;
  ScanGuard& operator=(const ScanGuard&) = delete;

 private:
  CdromSpeedState& state_;
};

// An SRB that the layer may still hold: unless it has completed, it is aborted before its
// memory goes, so the layer never writes into a record that is gone.
class OutstandingCommand {
 public:
  OutstandingCommand(Aspi& aspi, SRB_ExecSCSICmd& srb) : aspi_(aspi), srb_(srb) {}
  ~OutstandingCommand() {
    if (StatusOf(srb_.SRB_Status) == SS_PENDING) Abort();
  }
  OutstandingCommand(const OutstandingCommand&) = delete;
  OutstandingCommand& operator=(const OutstandingCommand&) = delete;

  void Abort() {
    SRB_Abort abort{};
    abort.SRB_Cmd = SC_ABORT_SRB;
    abort.SRB_HaId = srb_.SRB_HaId;
    abort.SRB_ToAbort = &srb_;
    aspi_.SendASPI32CommandEx(&abort);
  }

 private:
  Aspi& aspi_;
  SRB_ExecSCSICmd& srb_;
};

void Remember(Program& program, const CdromDriveSpeed& sent) {
  auto& drives = program.Cdrom().drives;
  auto it = std::find_if(drives.begin(), drives.end(), [&](const CdromDriveSpeed& d) {
    return d.adapter == sent.adapter && d.target == sent.target;
  });
  if (it != drives.end()) {
    *it = sent;
    return;
  }
  drives.push_back(sent);
  std::sort(drives.begin(), drives.end(), [](const CdromDriveSpeed& a, const CdromDriveSpeed& b) {
    return a.adapter != b.adapter ? a.adapter < b.adapter : a.target < b.target;
  });
}

// One scan: every adapter, targets 0..7 at LUN 0, one SET CD SPEED per CD-ROM drive.
void ScanAndSet(Program& program, Aspi& aspi, std::uint16_t adapters, std::uint8_t v) {
  for (std::uint16_t a = 0; a < adapters; ++a) {
    SRB_HAInquiry inquiry{};
    inquiry.SRB_Cmd = SC_HA_INQUIRY;
    inquiry.SRB_HaId = static_cast<std::uint8_t>(a);
    aspi.SendASPI32CommandEx(&inquiry);
    if (inquiry.SRB_Status != SS_COMP) continue;
    for (std::uint16_t t = 0; t < kTargetsPerAdapter; ++t) {
      SRB_GDEVBlock device{};
      device.SRB_Cmd = SC_GET_DEV_TYPE;
      device.SRB_HaId = static_cast<std::uint8_t>(a);
      device.SRB_Target = static_cast<std::uint8_t>(t);
      device.SRB_Lun = 0;
      aspi.SendASPI32CommandEx(&device);
      if (device.SRB_Status == SS_COMP && device.SRB_DeviceType == DTYPE_CDROM)
        SendSetCdSpeed(program, a, t, v);
    }
  }
}

}  // namespace

std::string_view CdSpeedResultName(CdSpeedResult result) {
  switch (result) {
    case CdSpeedResult::kDone:
      return "ok";
    case CdSpeedResult::kFailed:
      return "failed";
    case CdSpeedResult::kTimedOut:
      return "timed out";
  }
  return "?";
}

bool IsAspiAvailable(Program& program) {
  Aspi* aspi = program.Svc().aspi;
  return aspi != nullptr && aspi->Present();
}

std::uint16_t GetHostAdapterCount(Program& program) {
  Aspi* aspi = program.Svc().aspi;
  if (aspi == nullptr) return 0;
  const std::uint32_t info = aspi->GetASPI32SupportInfoEx();
  // Bits 8..15 are the status, taken as the whole result divided by 256 and rounded.
  if (RoundHalfEven(static_cast<double>(info) / 256.0) != SS_COMP) return 0;
  return static_cast<std::uint16_t>(info & 0x0F);
}

void SetCdromSpeed(Program& program, std::uint8_t v) {
  CdromSpeedState& state = program.Cdrom();
  if (state.scanning) {
    // Called from a tick or a click that ran while this scan waits for a drive: no second
    // scan; the newest speed goes out when this one has ended.
    state.deferred = v;
    ++state.refused;
    return;
  }
  std::uint8_t speed = v;
  for (;;) {
    if (!IsAspiAvailable(program)) return;
    const std::uint16_t adapters = GetHostAdapterCount(program);
    if (adapters == 0) return;
    {
      ScanGuard guard(state);
      ScanAndSet(program, *program.Svc().aspi, adapters, speed);
    }
    const std::uint8_t asked = state.deferred.value_or(speed);
    state.deferred.reset();
    if (asked == speed) return;
    speed = asked;
  }
}

CdSpeedResult SendSetCdSpeed(Program& program, std::uint16_t adapter, std::uint16_t target, std::uint8_t v) {
  Aspi& aspi = *program.Svc().aspi;
  SRB_ExecSCSICmd srb{};
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = static_cast<std::uint8_t>(adapter);
  srb.SRB_Flags = SRB_DIR_IN;
  srb.SRB_Target = static_cast<std::uint8_t>(target);
  srb.SRB_Lun = 0;
  srb.SRB_BufLen = 0;
  srb.SRB_BufPointer = 0;
  srb.SRB_SenseLen = SENSE_LEN;
  srb.SRB_CDBLen = kCdbLength;
  srb.CDBByte[0] = SCSI_SET_CD_SPEED;
  srb.CDBByte[2] = v;  // read speed, most significant byte first
  srb.CDBByte[3] = v;
  srb.CDBByte[4] = v;  // write speed
  srb.CDBByte[5] = v;

  CdSpeedResult result = CdSpeedResult::kDone;
  {
    OutstandingCommand outstanding(aspi, srb);
    aspi.SendASPI32CommandEx(&srb);
    forms::Scheduler& clock = program.App().Sched();
    const std::int64_t deadline = clock.NowMs() + kCompletionLimitMs;
    while (StatusOf(srb.SRB_Status) == SS_PENDING) {
      program.App().DoEvents();
      if (StatusOf(srb.SRB_Status) != SS_PENDING) break;
      if (clock.NowMs() >= deadline) {
        outstanding.Abort();
        result = CdSpeedResult::kTimedOut;
        break;
      }
      clock.Sleep(kCompletionPollMs);
    }
  }
  if (result == CdSpeedResult::kDone && StatusOf(srb.SRB_Status) != SS_COMP) result = CdSpeedResult::kFailed;

  CdromDriveSpeed sent{.adapter = adapter, .target = target, .speed = v, .result = result};
  if (srb.SRB_TargStat == STATUS_CHKCOND) sent.senseKey = srb.SenseArea[2] & 0x0F;
  Remember(program, sent);
  return result;
}

}  // namespace veltrix::monitor
