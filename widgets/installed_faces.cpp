#include "installed_faces.h"

#include <string>

#include "value_rules.h"

namespace widgets {

bool AddFace(const win32::CComboBox& combo, const LOGFONTW& font, const TEXTMETRICW& metric) {
  if (metric.tmCharSet == SYMBOL_CHARSET) return false;
  const std::wstring face = font.lfFaceName;
  if (face.empty() || face.front() == L'@') return false;
  // Judged on the characters, not the bytes: a double-byte character's second byte may
  // be '[' or ']' ("ゼ" is 83 5B).
  if (!theme::faceFitsAValue(std::u16string(face.begin(), face.end()))) return false;
  char ansi[LF_FACESIZE * 2] = {};
  BOOL lossy = FALSE;
  const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, face.c_str(), -1, ansi,
                                           static_cast<int>(sizeof ansi), nullptr, &lossy);
  if (length == 0 || lossy != FALSE) return false;
  // Whole names, ignoring case: "Arial" is still added after "Arial Black".
  if (combo.FindStringExact(-1, ansi) != CB_ERR) return false;
  combo.AddString(ansi);
  return true;
}

namespace {

int CALLBACK AddEnumeratedFace(const LOGFONTW* font, const TEXTMETRICW* metric, DWORD, LPARAM target) {
  AddFace(*reinterpret_cast<const win32::CComboBox*>(target), *font, *metric);
  return 1;  // always go on
}

}  // namespace

void AddInstalledFaces(const win32::CComboBox& combo) {
  HDC screen = ::GetDC(nullptr);
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  ::EnumFontFamiliesExW(screen, &wanted, &AddEnumeratedFace, reinterpret_cast<LPARAM>(&combo), 0);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace widgets
