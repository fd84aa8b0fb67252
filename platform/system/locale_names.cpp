#include "platform/system/locale_names.h"

#include <cctype>
#include <cstdlib>
#include <initializer_list>

namespace veltrix::platform {
namespace {

struct LanguageTerritory {
  std::string language;   // lower case
  std::string territory;  // upper case
};

// "ll_TT.codeset@modifier" (also "ll-TT") -> {"ll", "TT"}.
LanguageTerritory SplitLocaleName(std::string_view name) {
  auto cut = name.find_first_of(".@");
  if (cut != std::string_view::npos) name = name.substr(0, cut);
  LanguageTerritory out;
  auto sep = name.find_first_of("_-");
  std::string_view lang = name.substr(0, sep);
  std::string_view terr = sep == std::string_view::npos ? std::string_view{} : name.substr(sep + 1);
  for (char c : lang) out.language += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (char c : terr) out.territory += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Languages whose usual number format has a decimal comma.
constexpr std::string_view kCommaLanguages[] = {"af", "be", "bg", "bs", "ca", "cs", "da", "de", "el", "es",
                                                "et", "eu", "fi", "fo", "fr", "gl", "hr", "hu", "id", "is",
                                                "it", "kk", "lt", "lv", "mk", "nb", "nl", "nn", "no", "pl",
                                                "pt", "ro", "ru", "sk", "sl", "sr", "sv", "tr"};

}  // namespace

std::uint32_t LcidFromLocaleName(std::string_view localeName) {
  auto lt = SplitLocaleName(localeName);
  if (lt.language == "zh" && lt.territory == "TW") return kLcidTraditionalChinese;
  if (lt.language == "zh" && lt.territory == "CN") return kLcidSimplifiedChinese;
  return kLcidEnglishUs;
}

char DecimalSeparatorFromLocaleName(std::string_view localeName) {
  auto lt = SplitLocaleName(localeName);
  // Swiss German and Italian write a decimal point; so do English-speaking territories.
  if ((lt.language == "de" || lt.language == "it") && (lt.territory == "CH" || lt.territory == "LI")) {
    return '.';
  }
  for (auto lang : kCommaLanguages) {
    if (lt.language == lang) return ',';
  }
  return '.';
}

EnvLookup ProcessEnvironment() {
  return [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
}

std::string FirstLocaleVariable(const EnvLookup& env, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    auto value = env(name);
    if (value && !value->empty()) return *value;
  }
  return {};
}

std::string LanguageLocaleName(const EnvLookup& env) {
  return FirstLocaleVariable(env, {"LC_ALL", "LANG"});
}

std::string NumericLocaleName(const EnvLookup& env) {
  return FirstLocaleVariable(env, {"LC_ALL", "LC_NUMERIC", "LANG"});
}

}  // namespace veltrix::platform
