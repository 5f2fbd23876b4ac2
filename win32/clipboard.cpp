#include "clipboard.h"

#include <cstring>

namespace win32 {

bool SetClipboardText(HWND owner, std::u16string_view text) {
  static_assert(sizeof(char16_t) == sizeof(WCHAR));
  const SIZE_T bytes = (text.size() + 1) * sizeof(WCHAR);
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return false;
  void* target = ::GlobalLock(memory);
  if (target == nullptr) {
    ::GlobalFree(memory);
    return false;
  }
  std::memcpy(target, text.data(), text.size() * sizeof(WCHAR));
  static_cast<WCHAR*>(target)[text.size()] = L'\0';
  ::GlobalUnlock(memory);
  if (::OpenClipboard(owner) == FALSE) {
    ::GlobalFree(memory);
    return false;
  }
  ::EmptyClipboard();
  // Once set, the memory is the clipboard's.
  const bool set = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  ::CloseClipboard();
  if (!set) ::GlobalFree(memory);
  return set;
}

}  // namespace win32
