#pragma once
// Text put on the clipboard as UTF-16: every program can paste it, whatever its code page.
#include <windows.h>

#include <string_view>

namespace win32 {

// Replaces what the clipboard holds with `text`; false when the clipboard cannot be had
// (another program holds it open) or memory runs out.
bool SetClipboardText(HWND owner, std::u16string_view text);

}  // namespace win32
