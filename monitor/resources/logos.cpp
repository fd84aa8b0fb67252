#include "monitor/resources/logos.h"

#include <array>
#include <cctype>

#include "monitor/resources/logo_bitmaps.h"
#include "monitor/resources/strings.h"

namespace veltrix::monitor {

namespace {

struct NamedLogo {
  std::string_view name;
  const std::array<std::uint8_t, logo_data::kLogoFileSize>* bytes;
};

constexpr std::array<NamedLogo, 3> kLogos{{
    {"LOGO_ENG", &logo_data::kLogoEng},
    {"LOGO_CH", &logo_data::kLogoCh},
    {"LOGO_PRC", &logo_data::kLogoPrc},
}};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::span<const std::uint8_t> LogoBitmap(std::string_view name) {
  for (const NamedLogo& logo : kLogos) {
    if (EqualsIgnoringCase(logo.name, name)) return *logo.bytes;
  }
  return {};
}

std::string_view LogoNameForLanguage(std::uint32_t languageId) {
  switch (languageId) {
    case kLcidTraditionalChinese:
      return "LOGO_PRC";
    case kLcidSimplifiedChinese:
      return "LOGO_CH";
    default:
      return "LOGO_ENG";
  }
}

}  // namespace veltrix::monitor
