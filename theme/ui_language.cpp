#include "ui_language.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace theme {

namespace {

struct PrimaryLanguage {
  std::string_view code;  // ISO 639
  std::uint16_t primary;  // LANG_*
  std::uint16_t sublanguage;  // the usual one when the locale names no country
};

// The primary languages of winnt.h that locales name.
constexpr PrimaryLanguage kLanguages[] = {
    {"ar", 0x01, 1}, {"bg", 0x02, 1}, {"ca", 0x03, 1}, {"zh", 0x04, 2}, {"cs", 0x05, 1}, {"da", 0x06, 1},
    {"de", 0x07, 1}, {"el", 0x08, 1}, {"en", 0x09, 1}, {"es", 0x0A, 3}, {"fi", 0x0B, 1}, {"fr", 0x0C, 1},
    {"he", 0x0D, 1}, {"hu", 0x0E, 1}, {"is", 0x0F, 1}, {"it", 0x10, 1}, {"ja", 0x11, 1}, {"ko", 0x12, 1},
    {"nl", 0x13, 1}, {"nb", 0x14, 1}, {"no", 0x14, 1}, {"nn", 0x14, 2}, {"pl", 0x15, 1}, {"pt", 0x16, 2},
    {"rm", 0x17, 1}, {"ro", 0x18, 1}, {"ru", 0x19, 1}, {"hr", 0x1A, 1}, {"sr", 0x1A, 3}, {"bs", 0x1A, 5},
    {"sk", 0x1B, 1}, {"sq", 0x1C, 1}, {"sv", 0x1D, 1}, {"th", 0x1E, 1}, {"tr", 0x1F, 1}, {"ur", 0x20, 1},
    {"id", 0x21, 1}, {"uk", 0x22, 1}, {"be", 0x23, 1}, {"sl", 0x24, 1}, {"et", 0x25, 1}, {"lv", 0x26, 1},
    {"lt", 0x27, 1}, {"fa", 0x29, 1}, {"vi", 0x2A, 1}, {"hy", 0x2B, 1}, {"eu", 0x2D, 1}, {"mk", 0x2F, 1},
    {"af", 0x36, 1}, {"ka", 0x37, 1}, {"hi", 0x39, 1}, {"ms", 0x3E, 1}, {"kk", 0x3F, 1}, {"ta", 0x49, 1},
    {"cy", 0x52, 1}, {"gl", 0x56, 1},
};

struct CountryVariant {
  std::string_view code;     // language "_" country
  std::uint16_t sublanguage;
};

constexpr CountryVariant kVariants[] = {
    {"en_GB", 2}, {"en_AU", 3}, {"en_CA", 4}, {"en_NZ", 5}, {"en_IE", 6}, {"en_ZA", 7},
    {"zh_TW", 1}, {"zh_HK", 3}, {"zh_SG", 4}, {"zh_MO", 5}, {"pt_BR", 1}, {"es_MX", 2},
    {"fr_BE", 2}, {"fr_CA", 3}, {"fr_CH", 4}, {"fr_LU", 5}, {"de_CH", 2}, {"de_AT", 3},
    {"de_LU", 4}, {"nl_BE", 2}, {"it_CH", 2}, {"sv_FI", 2}, {"sr_RS@latin", 2}, {"sr_ME@latin", 2},
};

}  // namespace

LanguagePreference languageOfLocale(std::string_view locale) {
  const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
  for (const PrimaryLanguage& l : kLanguages) {
    if (l.code != language) continue;
    // "ll_CC.charset@modifier": the country and modifier choose among the variants.
    const std::size_t dot = locale.find('.');
    const std::size_t at = locale.find('@');
    std::string variant(locale.substr(0, std::min(dot, at)));
    if (at != std::string_view::npos) variant.append(locale.substr(at));
    std::uint16_t sublanguage = l.sublanguage;
    for (const CountryVariant& v : kVariants) {
      if (v.code == variant) sublanguage = v.sublanguage;
    }
    return static_cast<std::uint16_t>((sublanguage << 10) | l.primary);
  }
  return std::nullopt;
}

LanguagePreference localeLanguage() {
#ifdef _WIN32
  return GetUserDefaultUILanguage();
#else
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read once, before any thread
    if (value != nullptr && *value != '\0') return languageOfLocale(value);
  }
  return std::nullopt;
#endif
}

LanguagePreference userInterfaceLanguage() { return localeLanguage().value_or(kEnglish); }

bool servesLanguage(std::uint16_t found, std::uint16_t asked) {
  return primaryLanguage(found) == 0 || samePrimaryLanguage(found, asked);
}

}  // namespace theme
