#include "platform/portio/last_resort.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/portio/port_io.h"

namespace veltrix::platform {
namespace {

class FakePorts : public PortIo {
 public:
  std::uint16_t LoadPordexVxD() override { return 0; }
  std::uint16_t InitialBus(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return 0; }
  std::uint8_t InPortB(std::uint16_t port) override { return values[port]; }
  void OutPortB(std::uint16_t port, std::uint8_t value) override {
    values[port] = value;
    ++writes;
  }
  std::uint16_t EnablePri() override { return 1; }
  void DisablePri() override {}
  std::map<std::uint16_t, std::uint8_t> values;
  int writes = 0;
};

TEST(LastResortWrites, PlaysTheListInForceOnceWithReadModifyWrites) {
  FakePorts ports;
  ports.values[0x61] = 0xFF;
  LastResortWrites list;
  EXPECT_EQ(list.Play(), 0u) << "no port yet";
  LastResortWrites later;
  later.SetPort(&ports);
  const RestoreOp first[] = {{0x295, 0x5A, 0}, {0x296, 0x10, 0}};
  const RestoreOp second[] = {{0x295, 0x5A, 0}, {0x296, 0xFF, 0}, {0x61, 0x00, 0xEC}};
  ASSERT_TRUE(later.Set(first));
  ASSERT_TRUE(later.Set(second));  // the newer list replaces the older one
  EXPECT_EQ(later.Size(), 3u);
  EXPECT_EQ(later.Play(), 3u);
  EXPECT_EQ(ports.values[0x296], 0xFF);
  EXPECT_EQ(ports.values[0x61], 0xEC);
  EXPECT_EQ(later.Play(), 0u);
  EXPECT_EQ(ports.writes, 3);

  std::vector<RestoreOp> tooMany(LastResortWrites::kCapacity + 1);
  EXPECT_FALSE(later.Set(tooMany));
  EXPECT_EQ(later.Size(), 3u) << "a list that does not fit changes nothing";
}

}  // namespace
}  // namespace veltrix::platform
