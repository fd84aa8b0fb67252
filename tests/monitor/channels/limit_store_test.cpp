// The Limit key: first-run defaults with every value, reading back, damaged values.
#include <gtest/gtest.h>

#include <cstring>

#include "monitor/channels/number_format.h"
#include "tests/monitor/channels/channel_support.h"

namespace veltrix::monitor {
namespace {

using channeltest::Main;

constexpr const char* kLimitKey = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Limit";

struct Value {
  std::uint32_t type = 0;
  std::string bytes;
};

std::optional<Value> Read(platform::Registry& reg, const std::string& name) {
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kLimitKey, &key) != platform::ERROR_SUCCESS)
    return std::nullopt;
  Value v;
  std::uint8_t data[64] = {};
  std::uint32_t size = sizeof data;
  const long rc = reg.RegQueryValueExA(key, name, &v.type, data, &size);
  reg.RegCloseKey(key);
  if (rc != platform::ERROR_SUCCESS) return std::nullopt;
  v.bytes.assign(reinterpret_cast<char*>(data), size);
  return v;
}

void Write(platform::Registry& reg, const std::string& name, std::uint32_t type, const std::string& bytes) {
  platform::HKey key = 0;
  ASSERT_EQ(reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kLimitKey, &key), platform::ERROR_SUCCESS);
  reg.RegSetValueExA(key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                     static_cast<std::uint32_t>(bytes.size()));
  reg.RegCloseKey(key);
}
void WriteDword(platform::Registry& reg, const std::string& name, std::uint32_t value) {
  std::string bytes(4, '\0');
  std::memcpy(bytes.data(), &value, 4);
  Write(reg, name, platform::REG_DWORD, bytes);
}

std::uint32_t Dword(const Value& v) {
  std::uint32_t d = 0;
  std::memcpy(&d, v.bytes.data(), 4);
  return d;
}

// Every value name of the key.
std::vector<std::string> AllNames() {
  std::vector<std::string> names;
  for (int i = 0; i < 9; ++i) {
    for (const char* f : {"LoBound", "HiBound", "LoLimit", "HiLimit", "Factor"})
      names.push_back(f + std::to_string(i));
  }
  for (int j = 0; j < 3; ++j) {
    for (const char* f : {"Fan_Divisor", "Fan_Limit", "Temp_LoLimit", "Temp_HiLimit"}) {
      names.push_back(f + std::to_string(j));
    }
  }
  for (int k = 0; k < 16; ++k) {
    for (const char* f : {"WEnable", "WErr1", "WErr3", "WBeep"}) names.push_back(f + std::to_string(k));
  }
  names.emplace_back("FirstBoot");
  return names;
}

// The key as a first start on the same board leaves it.
void CopyDefaults(const char* model, platform::Registry& to) {
  testsupport::SimProgram first(model);
  ASSERT_EQ(first.Start(), std::nullopt);
  for (const std::string& name : AllNames()) {
    const auto v = Read(first.Registry(), name);
    ASSERT_TRUE(v) << name;
    Write(to, name, v->type, v->bytes);
  }
}

TEST(LimitStore, AFreshSystemGetsEveryDefaultValueWithItsType) {
  testsupport::SimProgram p("ZT50E");
  ASSERT_EQ(p.Start(), std::nullopt);
  auto& reg = p.Registry();
  for (int i = 0; i < 9; ++i) {
    for (const char* f : {"LoBound", "HiBound", "LoLimit", "HiLimit", "Factor"}) {
      const auto v = Read(reg, f + std::to_string(i));
      ASSERT_TRUE(v) << f << i;
      EXPECT_EQ(v->type, platform::REG_SZ);
      EXPECT_EQ(v->bytes.find('\0'), std::string::npos) << "stored without a terminating NUL";
    }
  }
  for (int j = 0; j < 3; ++j) {
    for (const char* f : {"Fan_Divisor", "Fan_Limit"}) {
      const auto v = Read(reg, f + std::to_string(j));
      ASSERT_TRUE(v) << f << j;
      EXPECT_EQ(v->type, platform::REG_DWORD);
    }
    for (const char* f : {"Temp_LoLimit", "Temp_HiLimit"}) {
      const auto v = Read(reg, f + std::to_string(j));
      ASSERT_TRUE(v) << f << j;
      EXPECT_EQ(v->type, platform::REG_SZ);
    }
  }
  for (int k = 0; k < 16; ++k) {
    for (const char* f : {"WEnable", "WErr1", "WErr3", "WBeep"}) {
      const auto v = Read(reg, f + std::to_string(k));
      ASSERT_TRUE(v) << f << k;
      EXPECT_EQ(v->type, platform::REG_DWORD);
    }
  }
  EXPECT_EQ(Read(reg, "HiBound0")->bytes, "4.1");
  EXPECT_EQ(Read(reg, "Factor3")->bytes, FloatToRegistryText(0.016F / 0.595F, '.'));
  EXPECT_EQ(Dword(*Read(reg, "Fan_Limit0")), 149u);
  EXPECT_EQ(Dword(*Read(reg, "Fan_Divisor2")), 4u);
  EXPECT_EQ(Read(reg, "Temp_LoLimit1")->bytes, "59.5");
  EXPECT_EQ(Dword(*Read(reg, "WEnable1")), 0u) << "Winbond boards have no item 1";
  EXPECT_EQ(Dword(*Read(reg, "WErr10")), 1u);
  EXPECT_EQ(Dword(*Read(reg, "FirstBoot")), 1u);
  EXPECT_EQ(p.G().FirstBoot, 0) << "start-up clears the flag in memory";
  EXPECT_TRUE(p.Boxes().empty());
}

TEST(LimitStore, StoredValuesAreReadBackAndAbsentItemsStayDisabled) {
  testsupport::SimProgram p("ZT50E");
  CopyDefaults("ZT50E", p.Registry());
  Write(p.Registry(), "HiLimit0", platform::REG_SZ, "1.9");
  WriteDword(p.Registry(), "Fan_Limit1", 100);
  WriteDword(p.Registry(), "WEnable1", 1);
  WriteDword(p.Registry(), "WEnable4", 0);
  WriteDword(p.Registry(), "FirstBoot", 0);
  ASSERT_EQ(p.Start(), std::nullopt);
  auto& w = Main(p);
  EXPECT_FLOAT_EQ(w.VoltageChannel[0].HiLimit, 1.9F);
  EXPECT_EQ(w.FanChannel[1].Fan_Limit, 100);
  EXPECT_EQ(w.WEnable[1], 0) << "absent item forced off";
  EXPECT_EQ(w.WEnable[4], 0);
  EXPECT_FALSE(w.SldVoltage[4].Visible);
  EXPECT_EQ(w.updHiLimit[0].Value, RoundHalfEven(1.9F / 0.016F));
  // The decimal separator of the system is used both ways.
  EXPECT_EQ(FloatToRegistryText(4.1F, ','), "4,1");
  EXPECT_EQ(RegistryTextToFloat("4,1", ','), 4.1F);
}

TEST(LimitStore, LimitsWrittenUnderTheOtherDecimalSeparatorStillRead) {
  // Stored under a comma locale, read under a point locale (the fixture's system).
  testsupport::SimProgram p("ZT50E");
  CopyDefaults("ZT50E", p.Registry());
  Write(p.Registry(), "HiLimit0", platform::REG_SZ, "1,9");
  Write(p.Registry(), "Temp_HiLimit0", platform::REG_SZ, "47,0");
  WriteDword(p.Registry(), "FirstBoot", 0);
  ASSERT_EQ(p.Start(), std::nullopt);
  EXPECT_FLOAT_EQ(Main(p).VoltageChannel[0].HiLimit, 1.9F);
  EXPECT_FLOAT_EQ(Main(p).TempChannel[0].Temp_HiLimit, 47.0F);
  EXPECT_TRUE(p.Boxes().empty()) << p.Boxes()[0].text;
  EXPECT_EQ(RegistryTextToFloat("1.9", ','), 1.9F);
  EXPECT_FALSE(RegistryTextToFloat("1,000.5", '.')) << "grouping is never written, so it is not a number";
}

TEST(LimitStore, MissingVoltageValueIsReportedByName) {
  testsupport::SimProgram p("ZT50E");
  WriteDword(p.Registry(), "FirstBoot", 0);  // the key exists, the voltage values do not
  ASSERT_EQ(p.Start(), std::nullopt);
  ASSERT_FALSE(p.Boxes().empty());
  EXPECT_EQ(p.Boxes()[0].text, "Read LoBound0 failed !");
  EXPECT_EQ(p.Answers().CountWithText("Read HiLimit3 failed !"), 1);
}

TEST(LimitStore, DamagedValuesFallBackToDefaultsWithoutDividingByZero) {
  testsupport::SimProgram p("ZT50E");
  CopyDefaults("ZT50E", p.Registry());
  Write(p.Registry(), "Factor0", platform::REG_SZ, "0");
  Write(p.Registry(), "HiBound2", platform::REG_SZ, "nan");
  Write(p.Registry(), "LoLimit3", platform::REG_SZ, "1e30");
  Write(p.Registry(), "HiLimit4", platform::REG_SZ, "twelve");
  Write(p.Registry(), "Temp_HiLimit0", platform::REG_SZ, "inf");
  WriteDword(p.Registry(), "Fan_Divisor0", 0);
  WriteDword(p.Registry(), "Fan_Limit1", 0);
  ASSERT_EQ(p.Start(), std::nullopt);
  p.AdvanceMs(3000);
  auto& w = Main(p);
  EXPECT_FLOAT_EQ(w.VoltageChannel[0].Factor, 0.016F);
  EXPECT_FLOAT_EQ(w.VoltageChannel[2].HiBound, 4.0F);
  EXPECT_FLOAT_EQ(w.VoltageChannel[3].LoLimit, 4.5F);
  EXPECT_FLOAT_EQ(w.VoltageChannel[4].HiLimit, 13.0F);
  EXPECT_FLOAT_EQ(w.TempChannel[0].Temp_HiLimit, 60.0F);
  EXPECT_EQ(w.FanChannel[0].Fan_Divisor, 4);
  EXPECT_EQ(w.FanChannel[1].Fan_Limit, 149);
  ASSERT_EQ(p.Answers().Shown().size(), 1u);
  const std::string& text = p.Boxes()[0].text;
  for (const char* name :
       {"Factor0", "HiBound2", "LoLimit3", "HiLimit4", "Temp_HiLimit0", "Fan_Divisor0", "Fan_Limit1"}) {
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
  EXPECT_NE(w.lblStatusV[0].Caption.Get(), "0.00");
  EXPECT_NE(w.lblFanLoLimit[0].Caption.Get(), "0");
}

}  // namespace
}  // namespace veltrix::monitor
