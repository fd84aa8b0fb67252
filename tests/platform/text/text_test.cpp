// The shared ASCII text helpers: what they fold and trim, and what they leave alone.
#include <gtest/gtest.h>

#include "platform/text/text.h"

namespace veltrix::text {
namespace {

TEST(Text, TrimTakesOnlyTheGivenBlanksFromBothEnds) {
  EXPECT_EQ(Trim("  \tZQ51 \t "), "ZQ51");
  EXPECT_EQ(Trim(" a b "), "a b");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\tx\r\n", " "), "\tx\r\n") << "only blanks by request";
  EXPECT_EQ(Trim("\tx\r\n", " \t\r\n"), "x");
}

TEST(Text, CaseFoldingIsAsciiOnly) {
  EXPECT_TRUE(EqualsIgnoreCase("HKEY_local_MACHINE", "hkey_LOCAL_machine"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abcd"));
  EXPECT_FALSE(EqualsIgnoreCase("a[", "A{")) << "only letters fold";
  EXPECT_TRUE(StartsWithIgnoreCase("hex(2):41", "HEX("));
  EXPECT_FALSE(StartsWithIgnoreCase("he", "hex"));
  // Bytes of a UTF-8 name are never changed, whatever the locale.
  EXPECT_EQ(UpperCase("zq51/\xC3\xA9s"), "ZQ51/\xC3\xA9S");
}

TEST(Text, HexDigitsInEitherCase) {
  EXPECT_EQ(HexDigit('0'), 0);
  EXPECT_EQ(HexDigit('9'), 9);
  EXPECT_EQ(HexDigit('a'), 10);
  EXPECT_EQ(HexDigit('F'), 15);
  EXPECT_EQ(HexDigit('g'), -1);
  EXPECT_EQ(HexDigit(' '), -1);
}

}  // namespace
}  // namespace veltrix::text
