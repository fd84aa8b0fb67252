#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/aspi/aspi.h"

namespace veltrix::platform {
namespace {

TEST(AspiRecordsTest, ExecRecordPutsEveryFieldAtItsByteOffset) {
  SRB_ExecSCSICmd srb{};
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = 1;
  srb.SRB_Flags = SRB_DIR_IN;
  srb.SRB_Target = 3;
  srb.SRB_BufLen = 0x11223344;
  srb.SRB_SenseLen = SENSE_LEN;
  srb.SRB_CDBLen = 10;
  srb.SRB_PostProc = 0xA1B2C3D4;
  srb.CDBByte[0] = SCSI_SET_CD_SPEED;
  srb.SenseArea[15] = 0x5A;

  unsigned char raw[80];
  std::memcpy(raw, &srb, sizeof raw);
  EXPECT_EQ(raw[0], 2);
  EXPECT_EQ(raw[2], 1);
  EXPECT_EQ(raw[3], 0x08);
  EXPECT_EQ(raw[8], 3);
  // Multi-byte fields are little-endian.
  EXPECT_EQ((std::array{raw[12], raw[13], raw[14], raw[15]}),
            (std::array<unsigned char, 4>{0x44, 0x33, 0x22, 0x11}));
  EXPECT_EQ(raw[20], 14);
  EXPECT_EQ(raw[21], 10);
  EXPECT_EQ(raw[24], 0xD4);
  EXPECT_EQ(raw[27], 0xA1);
  EXPECT_EQ(raw[48], 0xBB);
  EXPECT_EQ(raw[79], 0x5A);
}

TEST(AspiRecordsTest, NullAspiIsAbsentAndAnswersEveryCallWithNoAspi) {
  NullAspi aspi;
  EXPECT_FALSE(aspi.Present());
  EXPECT_EQ(aspi.GetASPI32SupportInfoEx() >> 8, SS_NO_ASPI);
  EXPECT_EQ(aspi.GetASPI32SupportInfoEx() & 0xFF, 0u);
  SRB_HAInquiry inquiry{};
  EXPECT_EQ(aspi.SendASPI32CommandEx(&inquiry), SS_NO_ASPI);
  EXPECT_EQ(inquiry.SRB_Status, SS_NO_ASPI);
  EXPECT_EQ(aspi.SendASPI32CommandEx(nullptr), SS_NO_ASPI);
}

}  // namespace
}  // namespace veltrix::platform
