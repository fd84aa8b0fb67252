// The embedded title pictures: valid 24-bit BMP files of the right size, found by name in
// any letter case, identical to the committed .bmp files, and chosen by language.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "monitor/resources/logos.h"

namespace veltrix::monitor {
namespace {

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(Logos, EachIsAnUncompressed24BitBitmapOf81By211) {
  const std::size_t rowBytes = (kLogoWidth * 3 + 3) / 4 * 4;  // rows padded to 4 bytes
  for (std::string_view name : {"LOGO_ENG", "LOGO_CH", "LOGO_PRC"}) {
    SCOPED_TRACE(std::string(name));
    std::span<const std::uint8_t> bmp = LogoBitmap(name);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Le32(bmp, 2), bmp.size());               // file size
    EXPECT_EQ(Le32(bmp, 10), 54u);                     // pixels follow the two headers
    EXPECT_EQ(Le32(bmp, 14), 40u);                     // info header size
    EXPECT_EQ(static_cast<int>(Le32(bmp, 18)), 81);    // width
    EXPECT_EQ(static_cast<int>(Le32(bmp, 22)), 211);   // height, positive: bottom-up rows
    EXPECT_EQ(Le16(bmp, 26), 1u);                      // planes
    EXPECT_EQ(Le16(bmp, 28), 24u);                     // bits per pixel
    EXPECT_EQ(Le32(bmp, 30), 0u);                      // no compression
    EXPECT_EQ(Le32(bmp, 34), rowBytes * kLogoHeight);  // image size
    EXPECT_EQ(bmp.size(), 14u + 40u + 51484u);
  }
}

TEST(Logos, PicturesDifferAndAreNotBlank) {
  std::span<const std::uint8_t> eng = LogoBitmap("LOGO_ENG");
  std::span<const std::uint8_t> ch = LogoBitmap("LOGO_CH");
  std::span<const std::uint8_t> prc = LogoBitmap("LOGO_PRC");
  EXPECT_FALSE(std::equal(eng.begin(), eng.end(), ch.begin(), ch.end()));
  EXPECT_FALSE(std::equal(ch.begin(), ch.end(), prc.begin(), prc.end()));
  // Light lettering over the dark background: some pixel must be bright.
  bool bright = false;
  for (std::size_t i = 54; i < prc.size(); ++i) bright = bright || prc[i] > 200;
  EXPECT_TRUE(bright);
}

TEST(Logos, FoundByNameInAnyCaseAndNothingForUnknownNames) {
  EXPECT_EQ(LogoBitmap("Logo_eng").data(), LogoBitmap("LOGO_ENG").data());
  EXPECT_EQ(LogoBitmap("Logo_ch").data(), LogoBitmap("LOGO_CH").data());
  EXPECT_EQ(LogoBitmap("Logo_prc").data(), LogoBitmap("LOGO_PRC").data());
  EXPECT_TRUE(LogoBitmap("LOGO_FRA").empty());
  EXPECT_TRUE(LogoBitmap("").empty());
  EXPECT_TRUE(LogoBitmap("LOGO_ENG ").empty());
}

TEST(Logos, PictureChosenByLanguage) {
  EXPECT_EQ(LogoNameForLanguage(1028), "LOGO_PRC");
  EXPECT_EQ(LogoNameForLanguage(2052), "LOGO_CH");
  EXPECT_EQ(LogoNameForLanguage(1033), "LOGO_ENG");
  EXPECT_EQ(LogoNameForLanguage(1036), "LOGO_ENG");
}

TEST(Logos, EmbeddedBytesMatchCommittedFiles) {
  for (std::string name : {"LOGO_ENG", "LOGO_CH", "LOGO_PRC"}) {
    std::ifstream in(std::string(VELTRIX_SOURCE_DIR) + "/monitor/resources/logos/" + name + ".bmp",
                     std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::span<const std::uint8_t> embedded = LogoBitmap(name);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), embedded.begin(), embedded.end()))
        << name << ": rerun tools/make_logos.py";
  }
}

}  // namespace
}  // namespace veltrix::monitor
