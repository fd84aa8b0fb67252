// Configuration-space protocol of the five chips, as the monitoring program and detection
// tools drive it through the port-I/O library.
#include <gtest/gtest.h>

#include "sim/chip/superio_config.h"
#include "tests/sim/chip/chip_rig.h"

namespace veltrix::sim {
namespace {

using testing::ChipRig;

struct ChipCase {
  ChipModel model;
  std::uint16_t id;  // Winbond: 0x20 only; ITE: 0x20 << 8 | 0x21
  std::uint8_t monitorLdn;
};

const ChipCase kChips[] = {
    {ChipModel::W83627HF, 0x52, 0x0B},  {ChipModel::W83697HF, 0x60, 0x0B},  {ChipModel::W83637HF, 0x70, 0x0B},
    {ChipModel::IT8705F, 0x8705, 0x04}, {ChipModel::IT8712F, 0x8712, 0x04},
};

bool IsIte(ChipModel m) {
  return ChipVendorOf(m) == SuperIoVendor::Ite;
}

std::vector<std::uint8_t> KeyFor(ChipModel m, std::uint16_t port) {
  if (!IsIte(m)) return {0x87, 0x87};
  return {0x87, 0x01, 0x55, static_cast<std::uint8_t>(port == 0x4E ? 0xAA : 0x55)};
}

void Exit(ChipRig& rig, ChipModel m, std::uint16_t port) {
  if (IsIte(m)) {
    rig.ConfigWrite(port, 0x02, 0x02);
  } else {
    rig.Out(port, 0xAA);
  }
}

class ConfigSpaceTest : public ::testing::TestWithParam<std::tuple<ChipCase, std::uint16_t>> {};

TEST_P(ConfigSpaceTest, AnswersOnlyAfterItsKeyAtItsPortAndStopsAfterExit) {
  const auto [c, port] = GetParam();
  ChipRig rig(c.model, port);
  const std::uint16_t other = port == 0x2E ? 0x4E : 0x2E;
  SCOPED_TRACE(ChipModelName(c.model));

  EXPECT_EQ(rig.ConfigRead(port, 0x20), 0xFF) << "locked chip must not answer\n" << rig.io.Dump();
  rig.Key(other, KeyFor(c.model, other));
  EXPECT_EQ(rig.ConfigRead(other, 0x20), 0xFF) << "nothing decodes the other port";
  EXPECT_EQ(rig.ConfigRead(port, 0x20), 0xFF) << "a key at the other port must not unlock";

  rig.Key(port, KeyFor(c.model, port));
  std::uint16_t id = rig.ConfigRead(port, 0x20);
  if (IsIte(c.model)) id = static_cast<std::uint16_t>(id << 8 | rig.ConfigRead(port, 0x21));
  EXPECT_EQ(id, c.id) << rig.io.Dump(20);

  // Logical device select, activation and the monitor's base address.
  rig.ConfigWrite(port, 0x07, c.monitorLdn);
  EXPECT_EQ(rig.ConfigRead(port, 0x07), c.monitorLdn);
  EXPECT_EQ(rig.ConfigRead(port, 0x30), 0x01);
  EXPECT_EQ(rig.ConfigRead(port, 0x60) << 8 | rig.ConfigRead(port, 0x61), 0x0290);
  rig.ConfigWrite(port, 0x20, 0x00);  // the id is read-only
  EXPECT_EQ(rig.ConfigRead(port, 0x20), c.id >> (IsIte(c.model) ? 8 : 0));

  Exit(rig, c.model, port);
  EXPECT_EQ(rig.ConfigRead(port, 0x20), 0xFF) << rig.io.Dump(6);
  EXPECT_FALSE(rig.chip->Config().Unlocked());
}

TEST_P(ConfigSpaceTest, DeactivatingTheMonitorDeviceUnmapsItsPorts) {
  const auto [c, port] = GetParam();
  ChipRig rig(c.model, port);
  const std::uint8_t vendorReg = IsIte(c.model) ? 0x58 : 0x4F;
  const std::uint8_t vendor = rig.Read(vendorReg);
  EXPECT_NE(vendor, 0xFF);

  rig.Key(port, KeyFor(c.model, port));
  rig.ConfigWrite(port, 0x07, c.monitorLdn);
  rig.ConfigWrite(port, 0x30, 0x00);
  Exit(rig, c.model, port);
  EXPECT_EQ(rig.Read(vendorReg), 0xFF);

  rig.Key(port, KeyFor(c.model, port));
  rig.ConfigWrite(port, 0x07, c.monitorLdn);
  rig.ConfigWrite(port, 0x30, 0x01);
  Exit(rig, c.model, port);
  EXPECT_EQ(rig.Read(vendorReg), vendor);
}

INSTANTIATE_TEST_SUITE_P(AllChips, ConfigSpaceTest,
                         ::testing::Combine(::testing::ValuesIn(kChips), ::testing::Values(0x2E, 0x4E)),
                         [](const auto& param) {
                           return std::string(ChipModelName(std::get<0>(param.param).model)) + "_at_" +
                                  (std::get<1>(param.param) == 0x2E ? "2E" : "4E");
                         });

TEST(ConfigSpace, WrongOrInterruptedKeysAreIgnored) {
  ChipRig winbond(ChipModel::W83627HF);
  winbond.Key(0x2E, {0x87, 0x55, 0x87});  // interrupted
  EXPECT_EQ(winbond.ConfigRead(0x2E, 0x20), 0xFF);
  winbond.Key(0x2E, {0x87, 0x01, 0x55, 0x55});  // the other vendor's key
  EXPECT_EQ(winbond.ConfigRead(0x2E, 0x20), 0xFF);
  winbond.Key(0x2E, {0x55, 0x87, 0x87});  // a stray byte before a good key does not matter
  EXPECT_EQ(winbond.ConfigRead(0x2E, 0x20), 0x52);

  ChipRig ite(ChipModel::IT8712F);
  ite.Key(0x2E, {0x87, 0x87});
  EXPECT_EQ(ite.ConfigRead(0x2E, 0x20), 0xFF);
  ite.Key(0x2E, {0x87, 0x01, 0x55, 0xAA});  // the 0x4E variant at 0x2E
  EXPECT_EQ(ite.ConfigRead(0x2E, 0x20), 0xFF);

  // An ITE chip strapped to 0x4E wants 0xAA last; the 0x2E key does not open it.
  ChipRig ite4e(ChipModel::IT8705F, 0x4E);
  ite4e.Key(0x4E, {0x87, 0x01, 0x55, 0x55});
  EXPECT_EQ(ite4e.ConfigRead(0x4E, 0x20), 0xFF);
}

TEST(ConfigSpace, ExitSequencesAreVendorSpecific) {
  // 0xAA at the index port leaves Winbond configuration mode but only selects a register on ITE.
  ChipRig ite(ChipModel::IT8705F);
  ite.Key(0x2E, {0x87, 0x01, 0x55, 0x55});
  ite.Out(0x2E, 0xAA);
  EXPECT_EQ(ite.ConfigRead(0x2E, 0x20), 0x87);
  // The generic "AA, then 02/02" leave sequence of detection tools works on both.
  ite.Out(0x2E, 0xAA);
  ite.ConfigWrite(0x2E, 0x02, 0x02);
  EXPECT_EQ(ite.ConfigRead(0x2E, 0x20), 0xFF);

  ChipRig winbond(ChipModel::W83697HF);
  winbond.Key(0x2E, {0x87, 0x87});
  winbond.ConfigWrite(0x2E, 0x02, 0x02);  // not an exit on Winbond
  EXPECT_EQ(winbond.ConfigRead(0x2E, 0x20), 0x60);
  winbond.Out(0x2E, 0xAA);
  EXPECT_EQ(winbond.ConfigRead(0x2E, 0x20), 0xFF);
}

TEST(ConfigSpace, ProbeSequenceFindsTheChipsThatPassItsRevisionTest) {
  // The program's Winbond probe accepts ids 0x52/0x60 with bit 4 of the revision set.
  for (auto model : {ChipModel::W83627HF, ChipModel::W83697HF}) {
    ChipRig rig(model);
    rig.Key(0x2E, {0x87, 0x87});
    const std::uint8_t id = rig.ConfigRead(0x2E, 0x20);
    const std::uint8_t rev = rig.ConfigRead(0x2E, 0x21);
    rig.Out(0x2E, 0xAA);
    EXPECT_TRUE((id == 0x52 || id == 0x60) && (rev & 0x10)) << ChipModelName(model) << "\n" << rig.io.Dump();
  }
  // A board may carry a stepping with bit 4 clear (0x41 is seen on real W83627HF chips).
  ChipRig rig(ChipModel::W83627HF);
  rig.chip->Config().SetRegister(0, 0x21, 0x41);
  rig.Key(0x2E, {0x87, 0x87});
  EXPECT_EQ(rig.ConfigRead(0x2E, 0x21) & 0x10, 0);
  // ITE: id bytes sum to the program's chip numbers (0x87 + 0x05, 0x87 + 0x12).
  ChipRig ite(ChipModel::IT8712F);
  ite.Key(0x2E, {0x87, 0x01, 0x55, 0x55});
  EXPECT_EQ(ite.ConfigRead(0x2E, 0x20) + ite.ConfigRead(0x2E, 0x21), 0x99);
}

}  // namespace
}  // namespace veltrix::sim
