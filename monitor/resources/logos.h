// The title pictures of the system information page, compiled into the program as whole
// BMP files: 81 pixels wide, 211 high, 24 bits per pixel, the vertical title
// "System Information" over a dark background.
//   LOGO_ENG  English
//   LOGO_CH   Simplified Chinese characters (shown on locale 2052)
//   LOGO_PRC  Traditional Chinese characters (shown on locale 1028)
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace veltrix::monitor {

inline constexpr int kLogoWidth = 81;
inline constexpr int kLogoHeight = 211;

// The BMP file bytes of the named picture, matched case-insensitively ("Logo_eng" finds
// LOGO_ENG). Empty when no picture has that name; the caller then leaves the picture empty.
std::span<const std::uint8_t> LogoBitmap(std::string_view name);

// The picture for a language: 1028 -> "LOGO_PRC", 2052 -> "LOGO_CH", anything else "LOGO_ENG".
std::string_view LogoNameForLanguage(std::uint32_t languageId);

}  // namespace veltrix::monitor
