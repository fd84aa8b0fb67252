// The FANControl key byte for byte: first-start defaults, "Save", loading, and stored values
// that cannot be used.
#include <gtest/gtest.h>

#include "monitor/fancontrol/fan_methods.h"
#include "tests/monitor/fancontrol/fan_test_support.h"

namespace veltrix::monitor::fantest {
namespace {

TEST(FanStore, FirstStartStoresTheDefaults) {
  auto p = Started(kIte);
  platform::MemoryRegistry& reg = p->Registry();
  EXPECT_EQ(Stored(reg, "EnableFanControl"), "4:00 00 00 00");
  EXPECT_EQ(Stored(reg, "FanControlMethod"), "4:e7 03 00 00");
  EXPECT_EQ(Stored(reg, "FixCPUFanSpeed"), "4:64 00 00 00");
  EXPECT_EQ(Stored(reg, "FixSystemFanSpeed"), "4:64 00 00 00");
  const char* thresholds[] = {"1:25", "1:30", "1:35", "1:40", "1:45", "1:50"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Stored(reg, "MultiCPUFanTemp" + std::to_string(i)), thresholds[i]) << i;
    EXPECT_EQ(Stored(reg, "MultiSystemFanTemp" + std::to_string(i)), thresholds[i]) << i;
    EXPECT_EQ(Stored(reg, "MultiCPUFanSpeed" + std::to_string(i)), "4:64 00 00 00") << i;
    EXPECT_EQ(Stored(reg, "MultiSystemFanSpeed" + std::to_string(i)), "4:64 00 00 00") << i;
  }
  EXPECT_EQ(Stored(reg, "SmartCPUFanDefault"), "1:41");
  EXPECT_EQ(Stored(reg, "SmartSystemFanDefault"), "1:31");
  std::size_t values = 0;
  for (const auto& e : reg.AllValues()) values += e.keyPath == kFanControlKey ? 1 : 0;
  EXPECT_EQ(values, 30u) << "nothing else in the key";
  // The smart method starts from its targets.
  EXPECT_FLOAT_EQ(Main(*p).LastCpuTemp, 41.0F);
  EXPECT_FLOAT_EQ(Main(*p).LastSystemTemp, 31.0F);
}

TEST(FanStore, SaveWritesShortestTextsInTheSystemsNumberFormat) {
  SimProgramOptions options;
  options.decimalSeparator = ',';
  auto p = Started(kWinbond627, options);
  frmdoctor& f = Main(*p);
  f.FanControlEnabled = true;
  f.FanControlMethod = kFanMethodSmart;
  f.SmartCPUFanDefault = 35.5F;
  f.MultiSystemFanTemp[5] = 62.25F;
  f.MultiCPUFanSpeed[2] = 35;
  f.FixSystemFanSpeed = 0;
  f.cmdSave_Click();
  platform::MemoryRegistry& reg = p->Registry();
  EXPECT_EQ(Stored(reg, "EnableFanControl"), "4:01 00 00 00");
  EXPECT_EQ(Stored(reg, "FanControlMethod"), "4:02 00 00 00");
  EXPECT_EQ(Stored(reg, "SmartCPUFanDefault"), "1:35,5") << "no terminating NUL";
  EXPECT_EQ(Stored(reg, "MultiSystemFanTemp5"), "1:62,25");
  EXPECT_EQ(Stored(reg, "MultiCPUFanTemp0"), "1:25");
  EXPECT_EQ(Stored(reg, "MultiCPUFanSpeed2"), "4:23 00 00 00");
  EXPECT_EQ(Stored(reg, "FixSystemFanSpeed"), "4:00 00 00 00");

  // The next start reads all of it back.
  SimProgram next(kWinbond627, options);
  for (const auto& e : reg.AllValues()) {
    if (e.keyPath == kFanControlKey) PlantFan(next.Registry(), e.name, e.value.type, e.value.data);
  }
  ASSERT_FALSE(next.Start());
  frmdoctor& g = Main(next);
  EXPECT_TRUE(g.FanControlEnabled);
  EXPECT_EQ(g.FanControlMethod, kFanMethodSmart);
  EXPECT_FLOAT_EQ(g.SmartCPUFanDefault, 35.5F);
  EXPECT_FLOAT_EQ(g.MultiSystemFanTemp[5], 62.25F);
  EXPECT_EQ(g.MultiCPUFanSpeed[2], 35);
  EXPECT_EQ(g.FixSystemFanSpeed, 0);
  EXPECT_TRUE(g.FanTimer.Enabled) << "the start-up OK started the method";
  EXPECT_TRUE(g.rFANMethod[2].Value);
  EXPECT_EQ(next.Answers().Shown().size(), 0u);
}

TEST(FanStore, MissingValuesKeepWhatIsInUse) {
  SimProgram p(kIte);
  PlantFan(p.Registry(), "EnableFanControl", platform::REG_DWORD, Dword(2));  // only 1 is on
  PlantFan(p.Registry(), "FixCPUFanSpeed", platform::REG_DWORD, Dword(45));
  PlantFan(p.Registry(), "SmartCPUFanDefault", platform::REG_SZ, Bytes(std::string("38.5", 5)));  // with a NUL
  ASSERT_FALSE(p.Start());
  frmdoctor& f = Main(p);
  EXPECT_FALSE(f.FanControlEnabled);
  EXPECT_EQ(f.FanControlMethod, kFanMethodNone);
  EXPECT_EQ(f.FixCPUFanSpeed, 45);
  EXPECT_EQ(f.FixSystemFanSpeed, 100);
  EXPECT_FLOAT_EQ(f.MultiCPUFanTemp[3], 40.0F);
  EXPECT_FLOAT_EQ(f.SmartCPUFanDefault, 38.5F);
  EXPECT_FLOAT_EQ(f.SmartSystemFanDefault, 0.0F) << "a key without it has no target";
  EXPECT_EQ(p.Answers().Shown().size(), 0u);
  EXPECT_EQ(Stored(p.Registry(), "FixSystemFanSpeed"), "") << "an existing key gets no defaults";
}

TEST(FanStore, UnusableValuesAreNamedOnceAndKeepTheSettingsInUse) {
  SimProgram p(kWinbond627);
  PlantFan(p.Registry(), "EnableFanControl", platform::REG_DWORD, Dword(1));
  PlantFan(p.Registry(), "FanControlMethod", platform::REG_DWORD, Dword(7));
  PlantFan(p.Registry(), "FixCPUFanSpeed", platform::REG_DWORD, Dword(300));
  PlantFan(p.Registry(), "MultiCPUFanTemp2", platform::REG_SZ, Bytes("warm"));
  PlantFan(p.Registry(), "MultiSystemFanSpeed4", platform::REG_SZ, Bytes("80"));
  PlantFan(p.Registry(), "MultiSystemFanTemp1", platform::REG_SZ, Bytes("33"));
  ASSERT_FALSE(p.Start());
  frmdoctor& f = Main(p);
  ASSERT_EQ(p.Answers().Shown().size(), 1u);
  EXPECT_EQ(p.Answers().Shown()[0].text,
            "The stored fan-control values FanControlMethod, MultiCPUFanTemp2, MultiSystemFanSpeed4, "
            "FixCPUFanSpeed in HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Halvane\\FANControl "
            "are not usable; the settings in use are kept.");
  EXPECT_EQ(p.Answers().Shown()[0].title, "Warning");
  EXPECT_TRUE(f.FanControlEnabled);
  EXPECT_EQ(f.FanControlMethod, kFanMethodRecommended) << "no method: OK chose the recommended setting";
  EXPECT_EQ(f.FixCPUFanSpeed, 100);
  EXPECT_FLOAT_EQ(f.MultiCPUFanTemp[2], 35.0F);
  EXPECT_EQ(f.MultiSystemFanSpeed[4], 100);
  EXPECT_FLOAT_EQ(f.MultiSystemFanTemp[1], 33.0F);
  // Nothing was rewritten: the user may still mend the file.
  EXPECT_EQ(Stored(p.Registry(), "FixCPUFanSpeed"), "4:2c 01 00 00");
}

}  // namespace
}  // namespace veltrix::monitor::fantest
