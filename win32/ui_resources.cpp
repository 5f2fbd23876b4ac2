#include "ui_resources.h"

namespace win32 {

namespace {
LANGID g_language = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

const void* LockedResource(HRSRC found) {
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(::GetModuleHandleA(nullptr), found);
  return loaded != nullptr ? ::LockResource(loaded) : nullptr;
}
}  // namespace

void SetUiLanguage(LANGID language) { g_language = language; }
LANGID GetUiLanguage() { return g_language; }

const DLGTEMPLATE* FindDialogTemplate(UINT id) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceExA(module, MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(id), g_language);
  if (found == nullptr) found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
  return static_cast<const DLGTEMPLATE*>(LockedResource(found));
}

std::wstring LoadUiString(UINT id) {
  // A string table block holds 16 strings, each a length followed by that many units.
  HRSRC found = ::FindResourceExW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(6) /* RT_STRING */,
                                  MAKEINTRESOURCEW(id / 16 + 1), g_language);
  const auto* unit = static_cast<const WCHAR*>(LockedResource(found));
  if (unit == nullptr) return {};
  const DWORD units = ::SizeofResource(::GetModuleHandleA(nullptr), found) / sizeof(WCHAR);
  DWORD at = 0;
  for (UINT index = 0; index < id % 16; ++index) {
    if (at >= units) return {};
    at += 1 + unit[at];
  }
  if (at >= units || at + 1 + unit[at] > units) return {};
  return std::wstring(unit + at + 1, unit[at]);
}

}  // namespace win32
