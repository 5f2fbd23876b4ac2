#pragma once
// The language of the program's dialogs and strings, chosen once at start-up. Windows XP
// cannot switch a thread's interface language (SetThreadUILanguage came later), so
// templates and string tables are looked up in that language explicitly.
#include <windows.h>

#include <string>

namespace win32 {

void SetUiLanguage(LANGID language);
[[nodiscard]] LANGID GetUiLanguage();

// The dialog template `id` in the interface language (in any language when it has none),
// or nullptr.
[[nodiscard]] const DLGTEMPLATE* FindDialogTemplate(UINT id);

// String `id` of the interface language's string table; empty when that table lacks it.
[[nodiscard]] std::wstring LoadUiString(UINT id);

}  // namespace win32
