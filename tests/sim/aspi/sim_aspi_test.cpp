#include "sim/aspi/sim_aspi.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace veltrix::sim {
namespace {

using namespace veltrix::platform;

// The program's scan: every adapter, targets 0..7, a SET CD SPEED to each CD-ROM drive.
int ScanAndSetSpeed(Aspi& aspi, std::uint8_t v) {
  if (!aspi.Present()) return 0;
  std::uint32_t info = aspi.GetASPI32SupportInfoEx();
  if ((info >> 8) != SS_COMP) return 0;
  int sent = 0;
  for (std::uint8_t a = 0; a < (info & 0x0F); ++a) {
    SRB_HAInquiry inquiry{};
    inquiry.SRB_Cmd = SC_HA_INQUIRY;
    inquiry.SRB_HaId = a;
    aspi.SendASPI32CommandEx(&inquiry);
    if (inquiry.SRB_Status != SS_COMP) continue;
    for (std::uint8_t t = 0; t < 8; ++t) {
      SRB_GDEVBlock dev{};
      dev.SRB_Cmd = SC_GET_DEV_TYPE;
      dev.SRB_HaId = a;
      dev.SRB_Target = t;
      aspi.SendASPI32CommandEx(&dev);
      if (dev.SRB_Status != SS_COMP || dev.SRB_DeviceType != DTYPE_CDROM) continue;
      SRB_ExecSCSICmd exec{};
      exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
      exec.SRB_HaId = a;
      exec.SRB_Flags = SRB_DIR_IN;
      exec.SRB_Target = t;
      exec.SRB_SenseLen = SENSE_LEN;
      exec.SRB_CDBLen = 10;
      std::uint8_t cdb[6] = {SCSI_SET_CD_SPEED, 0, v, v, v, v};
      std::memcpy(exec.CDBByte, cdb, sizeof cdb);
      aspi.SendASPI32CommandEx(&exec);
      if (exec.SRB_Status == SS_COMP) ++sent;
    }
  }
  return sent;
}

TEST(SimAspiTest, SupportInfoCarriesStatusAndAdapterCount) {
  SimAspi aspi;
  EXPECT_EQ(aspi.GetASPI32SupportInfoEx(), std::uint32_t{SS_NO_ADAPTERS} << 8);
  aspi.AddHostAdapter();
  aspi.AddHostAdapter();
  EXPECT_EQ(aspi.GetASPI32SupportInfoEx(), 0x0102u);
  aspi.SetPresent(false);
  EXPECT_FALSE(aspi.Present());
  EXPECT_EQ(aspi.GetASPI32SupportInfoEx() >> 8, SS_NO_ASPI);
}

TEST(SimAspiTest, OneDriveOnTheSecondAdapterGetsExactlyOneSpeedPerScan) {
  SimAspi aspi;
  int first = aspi.AddHostAdapter("PRIMARY");
  int second = aspi.AddHostAdapter("SECONDARY");
  ASSERT_TRUE(aspi.AddDevice(first, 0, DTYPE_DASD));
  ASSERT_TRUE(aspi.AddCdromDrive(second, 0));
  EXPECT_FALSE(aspi.AddCdromDrive(second, 8));
  EXPECT_FALSE(aspi.AddCdromDrive(5, 0));

  EXPECT_EQ(ScanAndSetSpeed(aspi, 52), 1);
  ASSERT_EQ(aspi.SetCdSpeedLog().size(), 1u);
  const auto& cmd = aspi.SetCdSpeedLog()[0];
  EXPECT_EQ((std::array{cmd.hostAdapter, cmd.target, cmd.lun}), (std::array{1, 0, 0}));
  EXPECT_EQ(cmd.readKBps, 13364);  // 52 * 257: bytes 0x34 0x34
  EXPECT_EQ(cmd.writeKBps, 13364);
  EXPECT_EQ(aspi.DriveReadSpeed(1, 0), 13364);
  EXPECT_EQ(aspi.DriveReadSpeed(0, 0), std::nullopt);
  EXPECT_EQ(aspi.CommandCount(SC_GET_DEV_TYPE), 16);

  // The exit releases the limit with 255: 0xFFFF is the drive's maximum.
  ScanAndSetSpeed(aspi, 255);
  EXPECT_EQ(aspi.DriveReadSpeed(1, 0), 0xFFFF);
}

TEST(SimAspiTest, InquiryAndDeviceTypeAnswers) {
  SimAspi aspi;
  aspi.AddHostAdapter("IDE0");
  aspi.AddCdromDrive(0, 1);

  SRB_HAInquiry inquiry{};
  inquiry.SRB_Cmd = SC_HA_INQUIRY;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&inquiry), SS_COMP);
  EXPECT_EQ(inquiry.HA_Count, 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry.HA_Identifier), 4), "IDE0");
  inquiry.SRB_HaId = 1;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&inquiry), SS_INVALID_HA);
  EXPECT_EQ(inquiry.SRB_Status, SS_INVALID_HA);

  SRB_GDEVBlock dev{};
  dev.SRB_Cmd = SC_GET_DEV_TYPE;
  dev.SRB_Target = 1;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&dev), SS_COMP);
  EXPECT_EQ(dev.SRB_DeviceType, DTYPE_CDROM);
  dev.SRB_Lun = 1;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&dev), SS_NO_DEVICE);
  dev.SRB_Lun = 0;
  dev.SRB_Target = 2;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&dev), SS_NO_DEVICE);

  unsigned char unknown[16] = {0x7F};
  EXPECT_EQ(aspi.SendASPI32CommandEx(unknown), SS_INVALID_CMD);
}

TEST(SimAspiTest, DevicesThatAreNotCdromRejectSetCdSpeed) {
  SimAspi aspi;
  aspi.AddHostAdapter();
  aspi.AddDevice(0, 0, DTYPE_DASD);
  SRB_ExecSCSICmd exec{};
  exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
  exec.SRB_SenseLen = SENSE_LEN;
  exec.SRB_CDBLen = 10;
  exec.CDBByte[0] = SCSI_SET_CD_SPEED;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&exec), SS_ERR);
  EXPECT_EQ(exec.SRB_TargStat, STATUS_CHKCOND);
  EXPECT_EQ(exec.SenseArea[2], 0x05);  // ILLEGAL REQUEST
  EXPECT_TRUE(aspi.SetCdSpeedLog().empty());

  exec.SRB_Target = 4;  // nobody there
  EXPECT_EQ(aspi.SendASPI32CommandEx(&exec), SS_ERR);
  EXPECT_EQ(exec.SRB_HaStat, HASTAT_SEL_TO);

  exec.SRB_Target = 0;
  exec.SRB_CDBLen = 17;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&exec), SS_INVALID_SRB);
}

TEST(SimAspiTest, DeferredCommandsStayPendingUntilCompleted) {
  SimAspi aspi;
  aspi.AddHostAdapter();
  aspi.AddCdromDrive(0, 0);
  aspi.SetDeferredCompletion(true);
  SRB_ExecSCSICmd exec{};
  exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
  exec.SRB_CDBLen = 10;
  std::uint8_t cdb[6] = {SCSI_SET_CD_SPEED, 0, 20, 20, 20, 20};
  std::memcpy(exec.CDBByte, cdb, sizeof cdb);
  EXPECT_EQ(aspi.SendASPI32CommandEx(&exec), SS_PENDING);
  EXPECT_EQ(exec.SRB_Status, SS_PENDING);
  EXPECT_EQ(aspi.PendingCount(), 1);
  EXPECT_EQ(aspi.CompletePending(), 1);
  EXPECT_EQ(exec.SRB_Status, SS_COMP);
  EXPECT_EQ(aspi.DriveReadSpeed(0, 0), 20 * 257);
}

SRB_ExecSCSICmd SetSpeedSrb(std::uint8_t adapter, std::uint8_t target, std::uint8_t v) {
  SRB_ExecSCSICmd exec{};
  exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
  exec.SRB_HaId = adapter;
  exec.SRB_Target = target;
  exec.SRB_Flags = SRB_DIR_IN;
  exec.SRB_SenseLen = SENSE_LEN;
  exec.SRB_CDBLen = 10;
  std::uint8_t cdb[6] = {SCSI_SET_CD_SPEED, 0, v, v, v, v};
  std::memcpy(exec.CDBByte, cdb, sizeof cdb);
  return exec;
}

TEST(SimAspiTest, SlowDriveCompletesAtItsTimeAndHangingDriveOnlyByAbort) {
  SimAspi aspi;
  aspi.AddHostAdapter();
  aspi.AddCdromDrive(0, 0);
  aspi.AddCdromDrive(0, 1);
  ASSERT_TRUE(aspi.SetBehaviour(0, 0, DriveBehaviour::kSlow, 300));
  ASSERT_TRUE(aspi.SetBehaviour(0, 1, DriveBehaviour::kHang));
  EXPECT_FALSE(aspi.SetBehaviour(0, 2, DriveBehaviour::kHang)) << "nobody at 0:2";

  auto slow = SetSpeedSrb(0, 0, 20);
  auto hung = SetSpeedSrb(0, 1, 20);
  EXPECT_EQ(aspi.SendASPI32CommandEx(&slow), SS_PENDING);
  EXPECT_EQ(aspi.SendASPI32CommandEx(&hung), SS_PENDING);
  aspi.AdvanceTo(299);
  EXPECT_EQ(slow.SRB_Status, SS_PENDING);
  EXPECT_EQ(aspi.DriveReadSpeed(0, 0), std::nullopt) << "the drive takes the speed on completion";
  aspi.AdvanceTo(300);
  EXPECT_EQ(slow.SRB_Status, SS_COMP);
  EXPECT_EQ(aspi.DriveReadSpeed(0, 0), 20 * 257);
  aspi.AdvanceTo(1e9);
  EXPECT_EQ(aspi.CompletePending(), 0);
  EXPECT_EQ(hung.SRB_Status, SS_PENDING);

  SRB_Abort abort{};
  abort.SRB_Cmd = SC_ABORT_SRB;
  abort.SRB_ToAbort = &hung;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&abort), SS_COMP);
  EXPECT_EQ(hung.SRB_Status, SS_ABORTED);
  EXPECT_EQ(aspi.PendingCount(), 0);
  EXPECT_EQ(aspi.SendASPI32CommandEx(&abort), SS_ABORT_FAIL) << "nothing left to abort";
  EXPECT_EQ(aspi.DriveReadSpeed(0, 1), std::nullopt);

  // Taking a drive away ends its pending command; the record is never touched afterwards.
  auto again = SetSpeedSrb(0, 1, 30);
  aspi.SendASPI32CommandEx(&again);
  EXPECT_TRUE(aspi.RemoveDevice(0, 1));
  EXPECT_EQ(again.SRB_Status, SS_ABORTED);
  EXPECT_EQ(aspi.PendingCount(), 0);
}

TEST(SimAspiTest, CheckConditionDriveAnswersWithSenseData) {
  SimAspi aspi;
  aspi.AddHostAdapter();
  aspi.AddCdromDrive(0, 0);
  aspi.SetBehaviour(0, 0, DriveBehaviour::kCheckCondition);
  auto exec = SetSpeedSrb(0, 0, 52);
  EXPECT_EQ(aspi.SendASPI32CommandEx(&exec), SS_ERR);
  EXPECT_EQ(exec.SRB_TargStat, STATUS_CHKCOND);
  EXPECT_EQ(exec.SenseArea[0], 0x70);
  EXPECT_EQ(exec.SenseArea[2], 0x05);
  EXPECT_EQ(exec.SenseArea[12], 0x24);  // invalid field in CDB
  EXPECT_TRUE(aspi.SetCdSpeedLog().empty());
}

TEST(SimAspiTest, EveryCommandIsRecordedAsItArrived) {
  SimAspi aspi;
  aspi.AddHostAdapter();
  aspi.AddCdromDrive(0, 0);
  aspi.AdvanceTo(1500);
  auto exec = SetSpeedSrb(0, 0, 52);
  aspi.SendASPI32CommandEx(&exec);
  SRB_GDEVBlock dev{};
  dev.SRB_Cmd = SC_GET_DEV_TYPE;
  aspi.SendASPI32CommandEx(&dev);
  ASSERT_EQ(aspi.Commands().size(), 2u);
  const AspiCommandRecord& first = aspi.Commands()[0];
  EXPECT_EQ(first.atMs, 1500.0);
  ASSERT_EQ(first.bytes.size(), 80u);
  EXPECT_EQ(first.bytes[1], SS_PENDING) << "recorded before the layer answered";
  EXPECT_EQ(first.bytes[48], 0xBB);
  EXPECT_EQ(first.bytes[52], 0x34);
  EXPECT_EQ(aspi.Commands()[1].bytes.size(), 12u);
  EXPECT_EQ(aspi.Commands()[1].Code(), SC_GET_DEV_TYPE);

  // The log keeps the most recent commands only, so a long run does not grow.
  for (std::size_t i = 0; i < SimAspi::kLogLimit + 10; ++i) aspi.SendASPI32CommandEx(&dev);
  EXPECT_EQ(aspi.Commands().size(), SimAspi::kLogLimit);
  EXPECT_EQ(aspi.CommandCount(SC_GET_DEV_TYPE), static_cast<int>(SimAspi::kLogLimit) + 11);
}

}  // namespace
}  // namespace veltrix::sim
