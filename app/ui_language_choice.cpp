#include "ui_language_choice.h"

#include "ui_language.h"
#include "ui_resources.h"

LANGID ChooseUiLanguage() {
  // The same question the core asks for the language a theme's strings are read in.
  const theme::LanguagePreference user = theme::userInterfaceLanguage();
  const bool japanese = user.has_value() && theme::isJapanese(*user);
  const LANGID language =
      japanese ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT) : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  win32::SetUiLanguage(language);
  return language;
}

