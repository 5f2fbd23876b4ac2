#include "ui_language_choice.h"

#include "ui_resources.h"

LANGID ChooseUiLanguage() {
  const bool japanese = PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE;
  const LANGID language = japanese ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT) : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  win32::SetUiLanguage(language);
  return language;
}

bool UiIsJapanese() { return PRIMARYLANGID(win32::GetUiLanguage()) == LANG_JAPANESE; }
