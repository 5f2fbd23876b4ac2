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

// The user's interface language: GetUserDefaultUILanguage on Windows; elsewhere the
// locale named by the first of LC_ALL, LC_MESSAGES and LANG that is set.
LanguagePreference userInterfaceLanguage();

// "ja_JP.UTF-8" gives 0x0411, "pt_BR" 0x0416, "de" 0x0407; "C", "POSIX" and languages
// Windows has no identifier for give no value.
LanguagePreference languageOfLocale(std::string_view locale);

}  // namespace theme
