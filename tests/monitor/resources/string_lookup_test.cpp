// The lookup's contract: identifier scheme, no fallback when a text is missing, and the
// language chosen from the locale.
#include <gtest/gtest.h>

#include <string>

#include "monitor/resources/strings.h"

namespace veltrix::monitor {
namespace {

TEST(StringLookup, IdentifierIsPrefixFollowedByThreeDigitSuffix) {
  EXPECT_EQ(LoadResString(33036), "Hushwind/Veltrix III cannot support this Mainboard!!!");
  EXPECT_EQ(Text("33", 36), LoadResString(33036));
  EXPECT_EQ(Text("33", 4), LoadResString(33004));
  EXPECT_EQ(Text("28", 431), LoadResString(28431));
}

TEST(StringLookup, MissingTextYieldsNothingAndNeverFallsBack) {
  // Simplified Chinese lacks 106 and 043 although other languages have them.
  EXPECT_TRUE(Text("33", 106).has_value());
  EXPECT_FALSE(Text("52", 106).has_value());
  EXPECT_FALSE(Text("52", 43).has_value());
  // 405 is only in Traditional Chinese and French.
  EXPECT_TRUE(Text("28", 405).has_value());
  EXPECT_FALSE(Text("33", 405).has_value());
  // Gaps in the suffix range and unknown tables.
  EXPECT_FALSE(Text("33", 33).has_value());
  EXPECT_FALSE(Text("33", 999).has_value());
  EXPECT_FALSE(Text("44", 36).has_value());
  EXPECT_FALSE(LoadResString(0).has_value());
  EXPECT_FALSE(LoadResString(-33036).has_value());
  EXPECT_FALSE(LoadResString(2147483647).has_value());
}

TEST(StringLookup, MalformedPrefixOrSuffixYieldsNothing) {
  EXPECT_FALSE(Text("", 36).has_value());
  EXPECT_FALSE(Text("3x", 36).has_value());
  EXPECT_FALSE(Text("-3", 36).has_value());
  EXPECT_FALSE(Text("99999999999", 36).has_value());
  // A suffix of four digits must not run into the next identifier ("3" + "3036").
  EXPECT_FALSE(Text("3", 3036).has_value());
  EXPECT_FALSE(Text("33", -1).has_value());
  EXPECT_FALSE(Text("33", 1000).has_value());
}

TEST(StringLookup, ApplyTextLeavesTargetAloneWhenMissing) {
  std::string caption = "Your CPU Kernal temp exceed the limits.";
  EXPECT_FALSE(ApplyText("52", 106, [&](const std::string& s) { caption = s; }));
  EXPECT_EQ(caption, "Your CPU Kernal temp exceed the limits.");
  EXPECT_TRUE(ApplyText("33", 106, [&](const std::string& s) { caption = s; }));
  EXPECT_EQ(caption, "Your CPU Kernal temperature exceed the limits!!");
}

TEST(StringLookup, OnlyTheTwoChineseLocalesSelectChinese) {
  LanguageChoice traditional = LanguageFromLcid(1028);
  EXPECT_EQ(traditional.LanguageId, 1028u);
  EXPECT_EQ(traditional.LangPrefix, "28");
  LanguageChoice simplified = LanguageFromLcid(2052);
  EXPECT_EQ(simplified.LanguageId, 2052u);
  EXPECT_EQ(simplified.LangPrefix, "52");
  // English US, French, German, Hong Kong and Singapore Chinese, Japanese, nonsense.
  for (std::uint32_t lcid : {1033u, 1036u, 1031u, 3076u, 4100u, 1041u, 0u, 0xFFFFFFFFu}) {
    LanguageChoice choice = LanguageFromLcid(lcid);
    EXPECT_EQ(choice.LanguageId, 1033u) << lcid;
    EXPECT_EQ(choice.LangPrefix, "33") << lcid;
  }
}

}  // namespace
}  // namespace veltrix::monitor
