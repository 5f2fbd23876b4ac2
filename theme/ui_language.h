#pragma once
// The language in which a resource stored in several languages is read and edited:
// the one the system would load for the user.
#include <cstdint>
#include <optional>
#include <string_view>

namespace theme {

// A Windows language identifier (LANGID: primary language in bits 0-9, sublanguage
// above). No value: no preference, the first language of every resource is taken.
using LanguagePreference = std::optional<std::uint16_t>;

// US English, what Windows shows a user whose locale names no language.
inline constexpr std::uint16_t kEnglish = 0x0409;
// LANG_JAPANESE: the primary language of every Japanese LANGID.
inline constexpr std::uint16_t kJapanesePrimary = 0x11;

// The primary language of a LANGID (bits 0-9, PRIMARYLANGID); 0 is language-neutral.
constexpr std::uint16_t primaryLanguage(std::uint16_t id) { return static_cast<std::uint16_t>(id & 0x3FFU); }
constexpr bool isJapanese(std::uint16_t id) { return primaryLanguage(id) == kJapanesePrimary; }
// The one rule by which two languages match: the same primary language, whatever the
// sublanguage (Portuguese of Brazil serves a user of Portugal's).
constexpr bool samePrimaryLanguage(std::uint16_t a, std::uint16_t b) {
  return primaryLanguage(a) == primaryLanguage(b);
}

// The language the user's locale names: GetUserDefaultUILanguage on Windows; elsewhere
// the locale of the first of LC_ALL, LC_MESSAGES and LANG that is set, no value when it
// names no language ("C", "POSIX", unset).
LanguagePreference localeLanguage();

// The user's interface language: localeLanguage(), else English, as the Windows build
// chooses for the same user.
LanguagePreference userInterfaceLanguage();

// Whether a resource in `found` serves a user who asked for `asked`: the same primary
// language (samePrimaryLanguage), or a language-neutral resource.
bool servesLanguage(std::uint16_t found, std::uint16_t asked);

// "ja_JP.UTF-8" gives 0x0411, "pt_BR" 0x0416, "de" 0x0407; "C", "POSIX" and languages
// Windows has no identifier for give no value.
LanguagePreference languageOfLocale(std::string_view locale);

}  // namespace theme
