// The Linux ASPI layer against a stand-in for the SCSI generic driver: which nodes become
// adapters and targets, the SG_IO request an SRB turns into, and the answer back in the SRB.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "platform/aspi/linux_aspi.h"
#include "platform/aspi/sg_device.h"

namespace veltrix::platform {
namespace {

// A pretend kernel: nodes with their SCSI address, the answers SG_IO gives, and every request.
class FakeSg : public SgSystem {
 public:
  struct Node {
    SgDeviceId id;
    int openError = 0;  // -errno from open
  };
  struct Request {
    int fd;
    std::vector<std::uint8_t> cdb;
    sg_io_hdr_t header;
  };

  std::map<std::string, Node> nodes;
  std::vector<Request> requests;
  std::function<int(sg_io_hdr_t&)> answer = [](sg_io_hdr_t&) { return 0; };
  int open = 0;

  std::vector<std::string> ListDevices() override {
    std::vector<std::string> names;
    for (const auto& [name, node] : nodes) names.push_back(name);
    return names;
  }
  int Open(const std::string& name) override {
    const Node& n = nodes.at(name);
    if (n.openError != 0) return n.openError;
    ++open;
    fds_[next_] = name;
    return next_++;
  }
  int GetScsiId(int fd, SgDeviceId& id) override {
    id = nodes.at(fds_.at(fd)).id;
    return 0;
  }
  int SgIo(int fd, sg_io_hdr_t& h) override {
    requests.push_back({fd, std::vector<std::uint8_t>(h.cmdp, h.cmdp + h.cmd_len), h});
    return answer(h);
  }
  void Close(int fd) override {
    fds_.erase(fd);
    --open;
  }
  std::string NameOf(int fd) const { return fds_.at(fd); }

 private:
  std::map<int, std::string> fds_;
  int next_ = 3;
};

SRB_ExecSCSICmd SetSpeed(std::uint8_t adapter, std::uint8_t target, std::uint8_t v) {
  SRB_ExecSCSICmd srb{};
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = adapter;
  srb.SRB_Flags = SRB_DIR_IN;
  srb.SRB_Target = target;
  srb.SRB_SenseLen = SENSE_LEN;
  srb.SRB_CDBLen = 10;
  const std::uint8_t cdb[6] = {SCSI_SET_CD_SPEED, 0, v, v, v, v};
  std::memcpy(srb.CDBByte, cdb, sizeof cdb);
  return srb;
}

std::uint8_t DeviceTypeAt(Aspi& aspi, std::uint8_t adapter, std::uint8_t target, std::uint8_t* type = nullptr) {
  SRB_GDEVBlock dev{};
  dev.SRB_Cmd = SC_GET_DEV_TYPE;
  dev.SRB_HaId = adapter;
  dev.SRB_Target = target;
  aspi.SendASPI32CommandEx(&dev);
  if (type != nullptr) *type = dev.SRB_DeviceType;
  return dev.SRB_Status;
}

TEST(SgTranslation, SetCdSpeedBecomesOneNoDataRequestWithItsCdbAndTimeLimit) {
  SRB_ExecSCSICmd srb = SetSpeed(1, 0, 52);
  std::uint8_t sense[16] = {};
  const sg_io_hdr_t h = SgRequestFor(srb, sense, sizeof sense, 2000);
  EXPECT_EQ(h.interface_id, 'S');
  EXPECT_EQ(h.dxfer_direction, SG_DXFER_NONE);
  EXPECT_EQ(h.dxfer_len, 0u);
  EXPECT_EQ(h.dxferp, nullptr);
  ASSERT_EQ(h.cmd_len, 10);
  EXPECT_EQ(std::vector<std::uint8_t>(h.cmdp, h.cmdp + h.cmd_len),
            (std::vector<std::uint8_t>{0xBB, 0, 0x34, 0x34, 0x34, 0x34, 0, 0, 0, 0}));
  EXPECT_EQ(h.mx_sb_len, 14);
  EXPECT_EQ(h.sbp, sense);
  EXPECT_EQ(h.timeout, 2000u);
}

TEST(SgTranslation, AnswersComeBackIntoTheSrb) {
  SRB_ExecSCSICmd srb = SetSpeed(0, 0, 20);
  std::uint8_t sense[16] = {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0, 0x99, 0x99};
  sg_io_hdr_t h = SgRequestFor(srb, sense, sizeof sense, 2000);

  // Good status.
  EXPECT_EQ(ApplySgResult(h, 0, sense, srb), SS_COMP);
  EXPECT_EQ(srb.SRB_Status, SS_COMP);
  EXPECT_EQ(srb.SRB_HaStat, HASTAT_OK);
  EXPECT_EQ(srb.SRB_TargStat, STATUS_GOOD);
  EXPECT_EQ(srb.SenseArea[0], 0) << "no sense data was written";

  // CHECK CONDITION with the sense the drive returned (never more than asked for).
  h.status = STATUS_CHKCOND;
  h.masked_status = STATUS_CHKCOND >> 1;
  h.driver_status = 0x08;  // sense valid
  h.info = SG_INFO_CHECK;
  h.sb_len_wr = 16;
  EXPECT_EQ(ApplySgResult(h, 0, sense, srb), SS_ERR);
  EXPECT_EQ(srb.SRB_TargStat, STATUS_CHKCOND);
  EXPECT_EQ(srb.SenseArea[2], 0x05);
  EXPECT_EQ(srb.SenseArea[12], 0x24);
  EXPECT_EQ(srb.SenseArea[14], 0) << "14 bytes asked for";

  // Out of time on the bus, a target that is gone, a request the kernel refused.
  h = SgRequestFor(srb, sense, sizeof sense, 2000);
  h.host_status = 0x03;
  h.info = SG_INFO_CHECK;
  EXPECT_EQ(ApplySgResult(h, 0, sense, srb), SS_ERR);
  EXPECT_EQ(srb.SRB_HaStat, HASTAT_COMMAND_TIMEOUT);
  EXPECT_TRUE(SgTimedOut(h));
  h.host_status = 0x01;
  EXPECT_EQ(ApplySgResult(h, 0, sense, srb), SS_ERR);
  EXPECT_EQ(srb.SRB_HaStat, HASTAT_SEL_TO);
  EXPECT_EQ(ApplySgResult(h, -EPERM, sense, srb), SS_ERR);
  EXPECT_EQ(ApplySgResult(h, -ENODEV, sense, srb), SS_ERR);
  EXPECT_EQ(srb.SRB_HaStat, HASTAT_SEL_TO);
}

TEST(LinuxAspi, NodesBecomeAdaptersAndTargets) {
  FakeSg sg;
  sg.nodes["sg0"] = {.id = {.hostNo = 0, .scsiId = 0, .scsiType = 0}};              // disk
  sg.nodes["sg1"] = {.id = {.hostNo = 4, .scsiId = 0, .scsiType = 5}};              // CD-ROM
  sg.nodes["sg2"] = {.id = {.hostNo = 4, .channel = 1, .scsiId = 1, .scsiType = 5}};  // other channel
  sg.nodes["sg3"] = {.id = {.hostNo = 6, .scsiType = 5}, .openError = -EACCES};       // not ours
  LinuxAspi aspi(sg, nullptr);
  ASSERT_TRUE(aspi.Present());
  EXPECT_EQ(aspi.GetASPI32SupportInfoEx(), 0x0102u) << "hosts 0 and 4";

  SRB_HAInquiry inquiry{};
  inquiry.SRB_Cmd = SC_HA_INQUIRY;
  inquiry.SRB_HaId = 1;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&inquiry), SS_COMP);
  EXPECT_EQ(inquiry.HA_Count, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry.HA_Identifier), 5), "scsi4");
  inquiry.SRB_HaId = 2;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&inquiry), SS_INVALID_HA);

  std::uint8_t type = 0xFF;
  EXPECT_EQ(DeviceTypeAt(aspi, 0, 0, &type), SS_COMP);
  EXPECT_EQ(type, DTYPE_DASD);
  EXPECT_EQ(DeviceTypeAt(aspi, 1, 0, &type), SS_COMP);
  EXPECT_EQ(type, DTYPE_CDROM);
  EXPECT_EQ(DeviceTypeAt(aspi, 1, 1), SS_NO_DEVICE) << "channel 1 is out of reach";

  SRB_ExecSCSICmd srb = SetSpeed(1, 0, 52);
  EXPECT_EQ(aspi.SendASPI32CommandEx(&srb), SS_COMP);
  ASSERT_EQ(sg.requests.size(), 1u);
  EXPECT_EQ(sg.NameOf(sg.requests[0].fd), "sg1");
  EXPECT_EQ(sg.requests[0].cdb, (std::vector<std::uint8_t>{0xBB, 0, 0x34, 0x34, 0x34, 0x34, 0, 0, 0, 0}));
  EXPECT_EQ(sg.requests[0].header.timeout, LinuxAspi::kCommandTimeoutMs);

  // A data phase cannot be carried; nothing goes out.
  srb.SRB_BufLen = 8;
  EXPECT_EQ(aspi.SendASPI32CommandEx(&srb), SS_INVALID_SRB);
  EXPECT_EQ(sg.requests.size(), 1u);
  // Every open node is closed again with the layer.
}

TEST(LinuxAspi, NothingUsableMeansNotPresent) {
  FakeSg none;
  LinuxAspi empty(none, nullptr);
  EXPECT_FALSE(empty.Present());
  EXPECT_EQ(empty.GetASPI32SupportInfoEx() & 0xFF, 0u);

  FakeSg denied;
  denied.nodes["sg0"] = {.id = {.scsiType = 5}, .openError = -EACCES};
  LinuxAspi noRight(denied, nullptr);
  EXPECT_FALSE(noRight.Present());
  SRB_ExecSCSICmd srb = SetSpeed(0, 0, 52);
  EXPECT_NE(noRight.SendASPI32CommandEx(&srb), SS_COMP);
  EXPECT_TRUE(denied.requests.empty());
}

TEST(LinuxAspi, DriveThatRunsOutOfTimeIsSetAsideOnce) {
  FakeSg sg;
  sg.nodes["sg0"] = {.id = {.hostNo = 1, .scsiId = 0, .scsiType = 5}};
  sg.answer = [](sg_io_hdr_t& h) {
    h.host_status = 0x03;  // the kernel gave up on it
    h.info = SG_INFO_CHECK;
    return 0;
  };
  std::vector<std::string> lines;
  {
    LinuxAspi aspi(sg, [&](const std::string& line) { lines.push_back(line); });
    ASSERT_TRUE(aspi.Present());
    SRB_ExecSCSICmd srb = SetSpeed(0, 0, 52);
    EXPECT_EQ(aspi.SendASPI32CommandEx(&srb), SS_ERR);
    EXPECT_EQ(srb.SRB_HaStat, HASTAT_COMMAND_TIMEOUT);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("/dev/sg0"), std::string::npos) << lines[0];
    // From now on the drive is not found, so no scan waits for it again.
    ASSERT_TRUE(aspi.Present());
    EXPECT_EQ(DeviceTypeAt(aspi, 0, 0), SS_NO_DEVICE);
    srb = SetSpeed(0, 0, 52);
    aspi.SendASPI32CommandEx(&srb);
    EXPECT_EQ(sg.requests.size(), 1u);
    EXPECT_EQ(lines.size(), 1u);
  }
  EXPECT_EQ(sg.open, 0) << "every node was closed";
}

// The real driver's node checks, on a folder of ordinary files and a symlink.
TEST(LinuxSgSystem, OpensOnlyGenericCharacterDevicesAndNeverThroughASymlink) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("veltrix-sg-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "sg0") << "not a device";
  std::ofstream(dir / "sg10") << "";
  std::ofstream(dir / "sgx") << "";
  fs::create_symlink("/dev/null", dir / "sg2");
  LinuxSgSystem sys(dir.string());
  EXPECT_EQ(sys.ListDevices(), (std::vector<std::string>{"sg0", "sg2", "sg10"}));
  EXPECT_EQ(sys.Open("sg0"), -ENODEV) << "a regular file";
  EXPECT_EQ(sys.Open("sg2"), -ELOOP) << "a symlink is never followed";
  EXPECT_EQ(sys.Open("../sg0"), -EINVAL);
  EXPECT_EQ(sys.Open("sg7"), -ENOENT);
  fs::remove_all(dir);

  EXPECT_TRUE(IsSgName("sg0"));
  EXPECT_TRUE(IsSgName("sg123"));
  EXPECT_FALSE(IsSgName("sg"));
  EXPECT_FALSE(IsSgName("sg1a"));
  EXPECT_FALSE(IsSgName("sda"));
}

}  // namespace
}  // namespace veltrix::platform
