#include "installed_faces.h"

#include <string>

#include "value_rules.h"

namespace widgets {

namespace {

// Judged on the characters, not the bytes: a double-byte character's second byte may
// be '[' or ']' ("ゼ" is 83 5B).
bool FitsAThemeValue(const char* face) {
  wchar_t wide[LF_FACESIZE] = {};
  const int units = ::MultiByteToWideChar(CP_ACP, 0, face, -1, wide, LF_FACESIZE);
  if (units == 0) return false;
  return theme::faceFitsAValue(std::u16string(wide, wide + units - 1));
}

}  // namespace

bool AddFace(const win32::CComboBox& combo, const LOGFONTA& font, const TEXTMETRICA& metric) {
  if (metric.tmCharSet == SYMBOL_CHARSET) return false;
  if (font.lfFaceName[0] == '@') return false;
  if (!FitsAThemeValue(font.lfFaceName)) return false;
  // Whole names, ignoring case: "Arial" is still added after "Arial Black".
  if (combo.FindStringExact(-1, font.lfFaceName) != CB_ERR) return false;
  combo.AddString(font.lfFaceName);
  return true;
}

namespace {

int CALLBACK AddEnumeratedFace(const LOGFONTA* font, const TEXTMETRICA* metric, DWORD, LPARAM target) {
  AddFace(*reinterpret_cast<const win32::CComboBox*>(target), *font, *metric);
  return 1;  // always go on
}

}  // namespace

void AddInstalledFaces(const win32::CComboBox& combo) {
  HDC screen = ::GetDC(nullptr);
  LOGFONTA wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  ::EnumFontFamiliesExA(screen, &wanted, &AddEnumeratedFace, reinterpret_cast<LPARAM>(&combo), 0);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace widgets
