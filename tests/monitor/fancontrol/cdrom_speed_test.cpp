// CD-ROM rotation speed: the ASPI scan as the drives see it (byte for byte), the page's
// controls and their store, the bounded wait and the guard against a second scan.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/program.h"
#include "monitor/startup/exit_program.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/aspi/aspi.h"
#include "sim/scenario/scenario.h"
#include "tests/monitor/settings/settings_helpers.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using namespace platform;
using monitor::testing::Dword;
using monitor::testing::Plant;
using testsupport::SimProgram;

constexpr const char* kBoard = "ZQ76";  // a board with fan control: the CD-ROM controls are shown

std::vector<std::uint8_t> Bytes(const sim::AspiCommandRecord& r) {
  return r.bytes;
}

// The commands of one code, in order.
std::vector<sim::AspiCommandRecord> Sent(const sim::SimAspi& aspi, std::uint8_t code) {
  std::vector<sim::AspiCommandRecord> out;
  for (const auto& c : aspi.Commands())
    if (c.Code() == code) out.push_back(c);
  return out;
}

class CdromSpeed : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(p.Start());
    f().Show();
    f().SSTabMain.UserSelectTab(3);
    aspi().ClearCommands();
    aspi().ClearSetCdSpeedLog();
  }
  frmdoctor& f() { return p.Prog().frmdoctor(); }
  sim::SimAspi& aspi() { return p.Machine().Aspi(); }
  // Two adapters: a disk at 0:0, a tape at 1:3, the only CD-ROM drive at 1:0.
  void TwoAdapters() {
    aspi().RemoveAllAdapters();
    aspi().AddHostAdapter("PRIMARY");
    aspi().AddHostAdapter("SECONDARY");
    aspi().AddDevice(0, 0, DTYPE_DASD);
    aspi().AddDevice(1, 3, DTYPE_SEQD);
    aspi().AddCdromDrive(1, 0);
  }
  SimProgram p{kBoard};
};

TEST_F(CdromSpeed, RecordsGoOutZeroFilledAndByteExact) {
  TwoAdapters();
  SetCdromSpeed(p.Prog(), 52);

  const auto inquiries = Sent(aspi(), SC_HA_INQUIRY);
  ASSERT_EQ(inquiries.size(), 2u);
  std::vector<std::uint8_t> inquiry(60, 0);
  inquiry[2] = 1;  // SRB_HaId
  EXPECT_EQ(Bytes(inquiries[1]), inquiry);

  const auto types = Sent(aspi(), SC_GET_DEV_TYPE);
  ASSERT_EQ(types.size(), 16u) << "targets 0..7 on both adapters";
  std::vector<std::uint8_t> type(12, 0);
  type[0] = SC_GET_DEV_TYPE;
  type[2] = 1;
  type[8] = 3;  // SRB_Target; LUN 0
  EXPECT_EQ(Bytes(types[11]), type);

  const auto execs = Sent(aspi(), SC_EXEC_SCSI_CMD);
  ASSERT_EQ(execs.size(), 1u) << "one SET CD SPEED, to the CD-ROM drive only";
  std::vector<std::uint8_t> exec(80, 0);
  exec[0] = SC_EXEC_SCSI_CMD;
  exec[2] = 1;     // adapter
  exec[3] = 0x08;  // SRB_DIR_IN
  exec[8] = 0;     // target
  exec[20] = 14;   // sense length
  exec[21] = 10;   // CDB length
  exec[48] = 0xBB;
  for (int i = 50; i <= 53; ++i) exec[static_cast<std::size_t>(i)] = 0x34;
  EXPECT_EQ(Bytes(execs[0]), exec);

  ASSERT_EQ(aspi().SetCdSpeedLog().size(), 1u);
  const sim::SetCdSpeedCommand& got = aspi().SetCdSpeedLog()[0];
  EXPECT_EQ((std::array{got.hostAdapter, got.target, got.lun}), (std::array{1, 0, 0}));
  EXPECT_EQ(got.readKBps, 13364);
  EXPECT_EQ(got.writeKBps, 13364);
  ASSERT_EQ(p.Prog().Cdrom().drives.size(), 1u);
  EXPECT_EQ(p.Prog().Cdrom().drives[0].speed, 52);
  EXPECT_EQ(p.Prog().Cdrom().drives[0].result, CdSpeedResult::kDone);
}

TEST_F(CdromSpeed, SliderEndsGiveTheirSpeedBytes) {
  f().chkControlCDROMSpeed.Value = 1;
  ASSERT_TRUE(f().SldRotationSpeed.Enabled);
  f().SldRotationSpeed.Value = 26;
  f().SldRotationSpeed.Value = 0;
  const auto execs = Sent(aspi(), SC_EXEC_SCSI_CMD);
  ASSERT_EQ(execs.size(), 2u);
  EXPECT_EQ(std::vector<std::uint8_t>(execs[0].bytes.begin() + 48, execs[0].bytes.begin() + 56),
            (std::vector<std::uint8_t>{0xBB, 0, 0x34, 0x34, 0x34, 0x34, 0, 0}));
  EXPECT_EQ(std::vector<std::uint8_t>(execs[1].bytes.begin() + 48, execs[1].bytes.begin() + 56),
            (std::vector<std::uint8_t>{0xBB, 0, 0, 0, 0, 0, 0, 0}));

  // Unchecked, the slider is disabled: a position set from code sends nothing.
  f().chkControlCDROMSpeed.Value = 0;
  EXPECT_FALSE(f().SldRotationSpeed.Enabled);
  f().SldRotationSpeed.Value = 13;
  EXPECT_EQ(Sent(aspi(), SC_EXEC_SCSI_CMD).size(), 2u);
}

TEST_F(CdromSpeed, FanTickStepSendsOnlyWhileChecked) {
  f().CdromSpeedTick();
  EXPECT_TRUE(aspi().Commands().empty()) << "unchecked: not even the presence check goes further";
  f().chkControlCDROMSpeed.Value = 1;
  f().SldRotationSpeed.Value = 7;
  aspi().ClearSetCdSpeedLog();
  f().CdromSpeedTick();
  ASSERT_EQ(aspi().SetCdSpeedLog().size(), 1u);
  EXPECT_EQ(aspi().SetCdSpeedLog()[0].readKBps, 14 * 257);
}

TEST_F(CdromSpeed, NothingIsSentWithoutLayerAdaptersOrInquiry) {
  aspi().SetPresent(false);
  SetCdromSpeed(p.Prog(), 20);
  EXPECT_EQ(aspi().CommandCount(SC_HA_INQUIRY), 0);
  aspi().SetPresent(true);
  aspi().RemoveAllAdapters();
  SetCdromSpeed(p.Prog(), 20);
  EXPECT_EQ(aspi().CommandCount(SC_HA_INQUIRY), 0);
  EXPECT_TRUE(p.Prog().Cdrom().drives.empty());
  EXPECT_TRUE(p.Boxes().empty()) << "nothing is reported";

  p.Prog().Svc().aspi = nullptr;  // no ASPI layer was found at all
  SetCdromSpeed(p.Prog(), 20);
  ExitProgram(p.Prog());
}

TEST_F(CdromSpeed, StoreFirstStartEnableValueAndSpeed) {
  // Start-up made the key from the controls as created.
  const auto enabled = p.Registry().ReadValue(kCdromControlKey, "EnableControl");
  const auto speed = p.Registry().ReadValue(kCdromControlKey, "Speed");
  ASSERT_TRUE(enabled && speed);
  EXPECT_EQ(enabled->data, Dword(0));
  EXPECT_EQ(speed->type, REG_DWORD);
  EXPECT_EQ(speed->data, Dword(20));

  struct Case {
    std::uint32_t enable;
    std::uint32_t speed;
    int checked;
    int position;
  };
  for (const Case& c : {Case{2, 52, 0, 26}, Case{1, 52, 1, 26}, Case{0, 8, 0, 4}, Case{1, 1000, 1, 26}}) {
    SimProgram q{kBoard};
    Plant(q.Registry(), kCdromControlKey, "EnableControl", REG_DWORD, Dword(c.enable));
    Plant(q.Registry(), kCdromControlKey, "Speed", REG_DWORD, Dword(c.speed));
    ASSERT_FALSE(q.Start());
    auto& w = q.Prog().frmdoctor();
    EXPECT_EQ(w.chkControlCDROMSpeed.Value, c.checked) << c.enable;
    EXPECT_EQ(w.SldRotationSpeed.Enabled, c.checked == 1);
    EXPECT_EQ(w.SldRotationSpeed.Value, c.position);
    // Only an enabled control applies the stored speed at once.
    EXPECT_EQ(q.Machine().Aspi().SetCdSpeedLog().size(), c.checked == 1 ? 1u : 0u) << c.enable;
  }

  // A damaged value leaves the control as created; "Save" writes both values back whole.
  SimProgram d{kBoard};
  Plant(d.Registry(), kCdromControlKey, "Speed", REG_SZ, {'5', '2'});
  ASSERT_FALSE(d.Start());
  EXPECT_EQ(d.Prog().frmdoctor().SldRotationSpeed.Value, 10);
  d.Prog().frmdoctor().chkControlCDROMSpeed.Value = 1;
  d.Prog().frmdoctor().SldRotationSpeed.Value = 3;
  d.Prog().frmdoctor().SaveCDROMControlToReg();
  EXPECT_EQ(d.Registry().ReadValue(kCdromControlKey, "EnableControl")->data, Dword(1));
  EXPECT_EQ(d.Registry().ReadValue(kCdromControlKey, "Speed")->data, Dword(6));
}

TEST_F(CdromSpeed, WaitIsBoundedAndTheScanGoesOn) {
  aspi().AddCdromDrive(0, 1);
  aspi().AddCdromDrive(0, 2);
  aspi().SetBehaviour(0, 1, sim::DriveBehaviour::kHang);
  aspi().SetBehaviour(0, 2, sim::DriveBehaviour::kSlow, 400);
  const std::uint64_t ticks = p.Prog().MonitoringTicks();
  const std::int64_t before = p.Scheduler().NowMs();

  SetCdromSpeed(p.Prog(), 30);

  const std::int64_t spent = p.Scheduler().NowMs() - before;
  EXPECT_GE(spent, kCompletionLimitMs + 400);
  EXPECT_LT(spent, kCompletionLimitMs + 400 + 100);
  EXPECT_EQ(aspi().PendingCount(), 0) << "the hanging command was aborted";
  EXPECT_GT(p.Prog().MonitoringTicks(), ticks) << "the monitoring tick ran during the waits";
  const auto& drives = p.Prog().Cdrom().drives;
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].result, CdSpeedResult::kDone);
  EXPECT_EQ(drives[1].result, CdSpeedResult::kTimedOut);
  EXPECT_EQ(drives[2].result, CdSpeedResult::kDone);
  EXPECT_EQ(aspi().DriveReadSpeed(0, 2), 30 * 257);
  EXPECT_EQ(aspi().DriveReadSpeed(0, 1), std::nullopt);
  EXPECT_FALSE(p.Prog().Cdrom().scanning);

  aspi().SetBehaviour(0, 1, sim::DriveBehaviour::kCheckCondition);
  EXPECT_EQ(SendSetCdSpeed(p.Prog(), 0, 1, 30), CdSpeedResult::kFailed);
  EXPECT_EQ(drives[1].senseKey, 0x05);
}

TEST_F(CdromSpeed, NoSecondScanWhileOneWaits) {
  aspi().SetBehaviour(0, 0, sim::DriveBehaviour::kSlow, 1500);
  f().chkControlCDROMSpeed.Value = 1;
  // During the wait the fan step ticks every 400 ms and the user moves the slider once.
  forms::Timer tick(f(), "TestFanTick");
  int ticks = 0;
  tick.OnTimer = [&] {
    if (++ticks == 2) f().SldRotationSpeed.UserSetValue(5);
    f().CdromSpeedTick();
  };
  tick.Interval = 400;
  tick.Enabled = true;
  f().SldRotationSpeed.UserSetValue(20);  // 40 goes out; its command takes 1.5 s
  tick.Enabled = false;

  EXPECT_GE(ticks, 3);
  EXPECT_EQ(p.Prog().Cdrom().scans, 2u) << "the slider's scan, then one for the newest speed";
  EXPECT_GE(p.Prog().Cdrom().refused, 3u);
  const auto execs = Sent(aspi(), SC_EXEC_SCSI_CMD);
  ASSERT_EQ(execs.size(), 2u);
  EXPECT_EQ(execs[0].bytes[50], 40);
  EXPECT_EQ(execs[1].bytes[50], 10);
  EXPECT_GE(execs[1].atMs - execs[0].atMs, 1500.0) << "the second only after the first completed";
  EXPECT_EQ(aspi().DriveReadSpeed(0, 0), 10 * 257);
}

TEST_F(CdromSpeed, EndingTheProgramDuringAWaitLeavesNothingPending) {
  aspi().SetBehaviour(0, 0, sim::DriveBehaviour::kHang);
  forms::Timer exitSoon(f(), "TestExit");
  exitSoon.OnTimer = [&] { ExitAndEndProcess(p.Prog()); };
  exitSoon.Interval = 300;
  exitSoon.Enabled = true;
  EXPECT_EQ(p.Run([&] { SetCdromSpeed(p.Prog(), 20); }), 0);
  EXPECT_EQ(aspi().PendingCount(), 0) << "the record on the unwound stack was aborted";
  EXPECT_FALSE(p.Prog().Cdrom().scanning);
}

TEST_F(CdromSpeed, ExitReleasesTheDrives) {
  ExitProgram(p.Prog());
  ASSERT_EQ(aspi().SetCdSpeedLog().size(), 1u);
  EXPECT_EQ(aspi().SetCdSpeedLog()[0].readKBps, 0xFFFF);
  EXPECT_EQ(aspi().SetCdSpeedLog()[0].writeKBps, 0xFFFF);
}

TEST_F(CdromSpeed, ControlsSitInTheirBandOfTheFanControlPage) {
  for (forms::Control* c : std::initializer_list<forms::Control*>{&f().chkControlCDROMSpeed, &f().lblLowSpeed,
                                                                  &f().SldRotationSpeed, &f().lblHighSpeed}) {
    EXPECT_GE(c->Top, 3850) << c->FullName();
    EXPECT_LE(c->Top + c->Height, 5000) << c->FullName();
    EXPECT_LE(c->Left + c->Width, 8130) << c->FullName();
  }
  EXPECT_EQ(f().SldRotationSpeed.Min, 0);
  EXPECT_EQ(f().SldRotationSpeed.Max, 26);
}

// examples/cdrom-drives.scn with examples/cdrom-speed.reg, as its comment promises.
TEST(CdromExample, StartUpSendsTheStoredSpeedToTheOneCdromDrive) {
  SimProgram p{kBoard};
  Plant(p.Registry(), kCdromControlKey, "EnableControl", REG_DWORD, Dword(1));
  Plant(p.Registry(), kCdromControlKey, "Speed", REG_DWORD, Dword(0x34));
  const auto parsed = sim::LoadScenarioFile(std::string(VELTRIX_SOURCE_DIR) + "/examples/cdrom-drives.scn");
  ASSERT_TRUE(parsed.scenario) << parsed.error;
  ASSERT_EQ(p.Machine().LoadScenario(*parsed.scenario), "");
  ASSERT_FALSE(p.Start());
  EXPECT_GE(p.Scheduler().NowMs(), 800) << "start-up waited for the slow drive";
  auto& aspi = p.Machine().Aspi();
  ASSERT_EQ(aspi.SetCdSpeedLog().size(), 1u);
  EXPECT_EQ((std::array{aspi.SetCdSpeedLog()[0].hostAdapter, aspi.SetCdSpeedLog()[0].target}), (std::array{1, 0}));
  EXPECT_EQ(aspi.SetCdSpeedLog()[0].readKBps, 13364);
  EXPECT_EQ(aspi.CommandCount(SC_EXEC_SCSI_CMD), 1) << "the disk and the tape are left alone";
}

}  // namespace
}  // namespace veltrix::monitor
