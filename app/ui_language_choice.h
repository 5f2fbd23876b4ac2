#pragma once
// Japanese dialogs and texts where the user's interface language is Japanese, English
// everywhere else.
#include <windows.h>

// Picks the language from the user's interface language (theme::userInterfaceLanguage,
// which the core also reads themes in) and sets it for the class layer.
LANGID ChooseUiLanguage();
