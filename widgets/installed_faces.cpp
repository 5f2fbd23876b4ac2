#include "installed_faces.h"

namespace widgets {

bool AddFace(const win32::CComboBox& combo, const LOGFONTA& font, const TEXTMETRICA& metric) {
  if (metric.tmCharSet == SYMBOL_CHARSET) return false;
  if (font.lfFaceName[0] == '@') return false;
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
