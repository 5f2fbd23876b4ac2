#include "installed_faces.h"

#include <string>

#include "value_rules.h"

namespace widgets {

bool AddFace(const win32::CComboBox& combo, const LOGFONTW& font, const TEXTMETRICW& metric) {
  if (metric.tmCharSet == SYMBOL_CHARSET) return false;
  const std::wstring face = font.lfFaceName;
  if (face.empty() || face.front() == L'@') return false;
  if (!theme::faceFitsAValue(std::u16string(face.begin(), face.end()))) return false;
  // Whole names, ignoring case: "Arial" is still added after "Arial Black".
  if (combo.FindStringExact(-1, face.c_str()) != CB_ERR) return false;
  combo.AddString(face.c_str());
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
