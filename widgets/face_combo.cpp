#include "face_combo.h"

#include <map>
#include <utility>
#include <vector>

#include "gdi.h"

namespace widgets {

namespace {

// One font per face and height, made on first use and kept for the process: the face
// lists of every page share them. A face that cannot draw its own name keeps an empty font.
class FaceFontCache {
 public:
  // The font, or nullptr when the face cannot draw its own name.
  HFONT Get(const std::wstring& face, LONG height) {
    const auto [entry, made] = m_fonts.try_emplace(std::make_pair(face, height));
    if (made) Make(entry->second, face, height);
    return entry->second.GetSafeHandle();
  }

 private:
  static void Make(win32::CFont& font, const std::wstring& face, LONG height) {
    if (face.empty() || face.size() >= LF_FACESIZE) return;
    LOGFONTW logFont{};
    logFont.lfHeight = height;
    logFont.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(logFont.lfFaceName, face.c_str(), LF_FACESIZE);
    if (font.CreateFontIndirect(logFont) && !DrawsOwnName(font.GetSafeHandle(), face)) font.DeleteObject();
  }

  static bool DrawsOwnName(HFONT font, const std::wstring& face) {
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(screen, font);
    wchar_t chosen[LF_FACESIZE] = {};
    ::GetTextFaceW(screen, LF_FACESIZE, chosen);
    bool ok = ::lstrcmpiW(chosen, face.c_str()) == 0 && ::GetTextCharset(screen) != SYMBOL_CHARSET;
    if (ok) {
      std::vector<WORD> glyphs(face.size() + 1);
      const DWORD count = ::GetGlyphIndicesW(screen, face.c_str(), static_cast<int>(face.size()), glyphs.data(),
                                             GGI_MARK_NONEXISTING_GLYPHS);
      for (DWORD i = 0; i < count && ok; ++i) ok = glyphs[i] != 0xFFFF;
    }
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    return ok;
  }

  std::map<std::pair<std::wstring, LONG>, win32::CFont> m_fonts;
};

FaceFontCache& Cache() {
  static FaceFontCache cache;
  return cache;
}

}  // namespace

HFONT CFaceCombo::FontForFace(const std::wstring& face, HFONT base) {
  LOGFONTW baseFont{};
  if (base == nullptr || ::GetObjectW(base, sizeof baseFont, &baseFont) == 0) return base;
  HFONT font = Cache().Get(face, baseFont.lfHeight);
  return font != nullptr ? font : base;
}

bool CFaceCombo::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_DRAWITEM) {
    OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    result = TRUE;
    return true;
  }
  return CDropDownList::OnReflectedMessage(msg, wp, lp, result);
}

void CFaceCombo::OnDrawItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  ::FillRect(dc, &rect, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    const std::wstring face = GetLBText(static_cast<int>(item.itemID));
    HGDIOBJ previous = ::SelectObject(dc, FontForFace(face, GetFont()));
    ::SetBkMode(dc, TRANSPARENT);
    COLORREF colour = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    if ((item.itemState & ODS_DISABLED) != 0) colour = ::GetSysColor(COLOR_GRAYTEXT);
    ::SetTextColor(dc, colour);
    RECT text = rect;
    text.left += 2;
    ::DrawTextW(dc, face.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SelectObject(dc, previous);
  }
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) ::DrawFocusRect(dc, &rect);
}

}  // namespace widgets
