#include <gtest/gtest.h>

#include <map>

#include "platform/system/locale_names.h"
#include "platform/system/sim_system.h"

namespace veltrix::platform {
namespace {

EnvLookup FakeEnv(std::map<std::string, std::string> vars) {
  return [vars = std::move(vars)](const char* name) -> std::optional<std::string> {
    auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

TEST(LocaleTest, LcidFromLocaleNameChoosesOnlyTheTwoChineseVariants) {
  EXPECT_EQ(LcidFromLocaleName("zh_TW"), 1028u);
  EXPECT_EQ(LcidFromLocaleName("zh_TW.UTF-8"), 1028u);
  EXPECT_EQ(LcidFromLocaleName("zh_TW.Big5@stroke"), 1028u);
  EXPECT_EQ(LcidFromLocaleName("zh-tw"), 1028u);
  EXPECT_EQ(LcidFromLocaleName("zh_CN.GB2312"), 2052u);
  EXPECT_EQ(LcidFromLocaleName("zh_CN"), 2052u);
  // Other Chinese territories and every other language fall back to English.
  EXPECT_EQ(LcidFromLocaleName("zh_HK.UTF-8"), 1033u);
  EXPECT_EQ(LcidFromLocaleName("zh"), 1033u);
  EXPECT_EQ(LcidFromLocaleName("fr_FR.UTF-8"), 1033u);
  EXPECT_EQ(LcidFromLocaleName("C"), 1033u);
  EXPECT_EQ(LcidFromLocaleName(""), 1033u);
  EXPECT_EQ(LcidFromLocaleName("xzh_TW"), 1033u);
}

TEST(LocaleTest, DecimalSeparatorFollowsTheNumberLocale) {
  EXPECT_EQ(DecimalSeparatorFromLocaleName("de_DE.UTF-8"), ',');
  EXPECT_EQ(DecimalSeparatorFromLocaleName("fr_FR@euro"), ',');
  EXPECT_EQ(DecimalSeparatorFromLocaleName("pt_BR"), ',');
  EXPECT_EQ(DecimalSeparatorFromLocaleName("de_CH.UTF-8"), '.');
  EXPECT_EQ(DecimalSeparatorFromLocaleName("en_US.UTF-8"), '.');
  EXPECT_EQ(DecimalSeparatorFromLocaleName("zh_TW"), '.');
  EXPECT_EQ(DecimalSeparatorFromLocaleName(""), '.');
}

TEST(LocaleTest, EnvironmentPrecedenceTreatsEmptyVariablesAsUnset) {
  SimSystem lcAllWins({.environment = FakeEnv({{"LC_ALL", "zh_CN.UTF-8"}, {"LANG", "zh_TW.UTF-8"}})});
  EXPECT_EQ(lcAllWins.GetSystemDefaultLCID(), 2052u);

  SimSystem emptyLcAll({.environment = FakeEnv({{"LC_ALL", ""}, {"LANG", "zh_TW.UTF-8"}})});
  EXPECT_EQ(emptyLcAll.GetSystemDefaultLCID(), 1028u);

  SimSystem nothing({.environment = FakeEnv({})});
  EXPECT_EQ(nothing.GetSystemDefaultLCID(), 1033u);
  EXPECT_EQ(nothing.DecimalSeparator(), '.');

  // LC_NUMERIC decides the number format but not the language.
  SimSystem numeric({.environment = FakeEnv({{"LC_NUMERIC", "de_DE.UTF-8"}, {"LANG", "en_US.UTF-8"}})});
  EXPECT_EQ(numeric.DecimalSeparator(), ',');
  EXPECT_EQ(numeric.GetSystemDefaultLCID(), 1033u);
}

TEST(LocaleTest, ExplicitValuesOverrideTheEnvironment) {
  SimSystem system({.lcid = 2052, .decimalSeparator = ',', .environment = FakeEnv({{"LANG", "zh_TW"}})});
  EXPECT_EQ(system.GetSystemDefaultLCID(), 2052u);
  EXPECT_EQ(system.DecimalSeparator(), ',');
  // An explicit id outside the three is passed through; the program maps it to English.
  SimSystem french({.lcid = 1036});
  EXPECT_EQ(french.GetSystemDefaultLCID(), 1036u);
}

}  // namespace
}  // namespace veltrix::platform
