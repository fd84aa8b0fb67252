#pragma once
// The ASPI layer for CD-ROM drives: a presence check of the ASPI DLL, the support-info call
// and the command call that takes SCSI request blocks (SRBs). The SRBs below are the
// byte-exact little-endian records of ASPI for Win32.
#include <bit>
#include <cstddef>
#include <cstdint>

namespace veltrix::platform {

static_assert(std::endian::native == std::endian::little, "SRB records are little-endian");

// SRB command codes.
inline constexpr std::uint8_t SC_HA_INQUIRY = 0x00;
inline constexpr std::uint8_t SC_GET_DEV_TYPE = 0x01;
inline constexpr std::uint8_t SC_EXEC_SCSI_CMD = 0x02;
inline constexpr std::uint8_t SC_ABORT_SRB = 0x03;

// SRB status bytes (SRB_Status, and bits 8..15 of the support-info word).
inline constexpr std::uint8_t SS_PENDING = 0x00;
inline constexpr std::uint8_t SS_COMP = 0x01;
inline constexpr std::uint8_t SS_ABORTED = 0x02;
inline constexpr std::uint8_t SS_ABORT_FAIL = 0x03;
inline constexpr std::uint8_t SS_ERR = 0x04;
inline constexpr std::uint8_t SS_INVALID_CMD = 0x80;
inline constexpr std::uint8_t SS_INVALID_HA = 0x81;
inline constexpr std::uint8_t SS_NO_DEVICE = 0x82;
inline constexpr std::uint8_t SS_INVALID_SRB = 0xE0;
inline constexpr std::uint8_t SS_NO_ASPI = 0xE7;
inline constexpr std::uint8_t SS_NO_ADAPTERS = 0xE8;

// Host-adapter and target status of an executed command.
inline constexpr std::uint8_t HASTAT_OK = 0x00;
inline constexpr std::uint8_t HASTAT_COMMAND_TIMEOUT = 0x0B;  // the command ran out of time
inline constexpr std::uint8_t HASTAT_BUS_RESET = 0x0E;
inline constexpr std::uint8_t HASTAT_PARITY_ERROR = 0x0F;
inline constexpr std::uint8_t HASTAT_SEL_TO = 0x11;     // selection time-out: nobody at that id
inline constexpr std::uint8_t HASTAT_PHASE_ERR = 0x14;  // any other adapter failure
inline constexpr std::uint8_t STATUS_GOOD = 0x00;
inline constexpr std::uint8_t STATUS_CHKCOND = 0x02;

inline constexpr std::uint8_t SRB_DIR_IN = 0x08;
inline constexpr std::uint8_t SRB_DIR_OUT = 0x10;
inline constexpr std::uint8_t SENSE_LEN = 14;

// SCSI peripheral device types (SRB_DeviceType).
inline constexpr std::uint8_t DTYPE_DASD = 0x00;  // disk
inline constexpr std::uint8_t DTYPE_SEQD = 0x01;  // tape
inline constexpr std::uint8_t DTYPE_CDROM = 0x05;

// MMC SET CD SPEED: CDB bytes 2-3 read speed, 4-5 write speed, kB/s, most significant first.
inline constexpr std::uint8_t SCSI_SET_CD_SPEED = 0xBB;
inline constexpr std::uint8_t SCSI_TEST_UNIT_READY = 0x00;

#pragma pack(push, 1)

struct SRB_Header {
  std::uint8_t SRB_Cmd;
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
};

struct SRB_HAInquiry {
  std::uint8_t SRB_Cmd;  // SC_HA_INQUIRY
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
  std::uint8_t HA_Count;  // number of host adapters
  std::uint8_t HA_SCSI_ID;
  std::uint8_t HA_ManagerId[16];
  std::uint8_t HA_Identifier[16];
  std::uint8_t HA_Unique[16];  // byte 3: targets per adapter
  std::uint16_t HA_Rsvd1;
};

struct SRB_GDEVBlock {
  std::uint8_t SRB_Cmd;  // SC_GET_DEV_TYPE
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
  std::uint8_t SRB_Target;
  std::uint8_t SRB_Lun;
  std::uint8_t SRB_DeviceType;
  std::uint8_t SRB_Rsvd1;
};

struct SRB_ExecSCSICmd {
  std::uint8_t SRB_Cmd;  // SC_EXEC_SCSI_CMD
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
  std::uint8_t SRB_Target;
  std::uint8_t SRB_Lun;
  std::uint16_t SRB_Rsvd1;
  std::uint32_t SRB_BufLen;
  std::uint32_t SRB_BufPointer;  // a 32-bit address in the ASPI for Win32 record
  std::uint8_t SRB_SenseLen;
  std::uint8_t SRB_CDBLen;
  std::uint8_t SRB_HaStat;
  std::uint8_t SRB_TargStat;
  std::uint32_t SRB_PostProc;
  std::uint8_t SRB_Rsvd2[20];
  std::uint8_t CDBByte[16];
  std::uint8_t SenseArea[SENSE_LEN + 2];
};

// Asks the layer to give up a command that is still pending (SRB_Status SS_PENDING). Once this
// returns, the layer never touches the aborted SRB again, so its memory may go. Unlike the
// three records above this is not a Win32 layout: the pointer has the native width.
struct SRB_Abort {
  std::uint8_t SRB_Cmd;  // SC_ABORT_SRB
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
  void* SRB_ToAbort;
};

#pragma pack(pop)

static_assert(sizeof(SRB_Header) == 8);
static_assert(sizeof(SRB_HAInquiry) == 60);
static_assert(offsetof(SRB_HAInquiry, HA_Count) == 8 && offsetof(SRB_HAInquiry, HA_ManagerId) == 10 &&
              offsetof(SRB_HAInquiry, HA_Identifier) == 26 && offsetof(SRB_HAInquiry, HA_Unique) == 42 &&
              offsetof(SRB_HAInquiry, HA_Rsvd1) == 58);
static_assert(sizeof(SRB_GDEVBlock) == 12);
static_assert(offsetof(SRB_GDEVBlock, SRB_Target) == 8 && offsetof(SRB_GDEVBlock, SRB_Lun) == 9 &&
              offsetof(SRB_GDEVBlock, SRB_DeviceType) == 10 && offsetof(SRB_GDEVBlock, SRB_Rsvd1) == 11);
static_assert(sizeof(SRB_ExecSCSICmd) == 80);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_Status) == 1 && offsetof(SRB_ExecSCSICmd, SRB_HaId) == 2 &&
              offsetof(SRB_ExecSCSICmd, SRB_Flags) == 3 && offsetof(SRB_ExecSCSICmd, SRB_Hdr_Rsvd) == 4);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_Target) == 8 && offsetof(SRB_ExecSCSICmd, SRB_Lun) == 9 &&
              offsetof(SRB_ExecSCSICmd, SRB_Rsvd1) == 10 && offsetof(SRB_ExecSCSICmd, SRB_BufLen) == 12 &&
              offsetof(SRB_ExecSCSICmd, SRB_BufPointer) == 16 &&
              offsetof(SRB_ExecSCSICmd, SRB_SenseLen) == 20 && offsetof(SRB_ExecSCSICmd, SRB_CDBLen) == 21 &&
              offsetof(SRB_ExecSCSICmd, SRB_HaStat) == 22 && offsetof(SRB_ExecSCSICmd, SRB_TargStat) == 23 &&
              offsetof(SRB_ExecSCSICmd, SRB_PostProc) == 24 && offsetof(SRB_ExecSCSICmd, SRB_Rsvd2) == 28 &&
              offsetof(SRB_ExecSCSICmd, CDBByte) == 48 && offsetof(SRB_ExecSCSICmd, SenseArea) == 64);

class Aspi {
 public:
  virtual ~Aspi() = default;
  // True when the ASPI DLL can be loaded and exports its two entry points.
  virtual bool Present() = 0;
  // Bits 8..15: status (SS_COMP when adapters exist); bits 0..7: number of host adapters.
  virtual std::uint32_t GetASPI32SupportInfoEx() = 0;
  // Takes an SRB whose first byte is its command code. Returns the SRB status, which is
  // also written to SRB_Status; SS_PENDING means the command completes later and the
  // caller watches SRB_Status (the SRB must stay alive until it changes, or until an
  // SC_ABORT_SRB for it has returned).
  virtual std::uint32_t SendASPI32CommandEx(void* srb) = 0;
};

// No ASPI layer: the presence check fails and every call answers SS_NO_ASPI.
class NullAspi : public Aspi {
 public:
  bool Present() override { return false; }
  std::uint32_t GetASPI32SupportInfoEx() override { return std::uint32_t{SS_NO_ASPI} << 8; }
  std::uint32_t SendASPI32CommandEx(void* srb) override {
    if (srb != nullptr) static_cast<SRB_Header*>(srb)->SRB_Status = SS_NO_ASPI;
    return SS_NO_ASPI;
  }
};

}  // namespace veltrix::platform
