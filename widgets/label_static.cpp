#include "label_static.h"

#include "gdi.h"

namespace widgets {

namespace {
constexpr COLORREF kDisabledText = RGB(127, 127, 127);
constexpr LONG kPointSizeTenths = 90;
}  // namespace

bool CLabelStatic::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_PAINT) {
    OnPaint();
    result = 0;
    return true;
  }
  return win32::CStatic::OnMessage(msg, wp, lp, result);
}

void CLabelStatic::OnPaint() {
  win32::CPaintDC dc(m_hWnd);
  wchar_t text[256] = {};
  if (::GetWindowTextW(m_hWnd, text, 256) <= 0) return;  // nothing at all, not even a background
  RECT client = GetClientRect();

  // Made once; where the face is missing the font mapper picks another 9-point face.
  if (m_font.GetSafeHandle() == nullptr) {
    LOGFONTW logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfHeight = kPointSizeTenths;
    ::lstrcpynW(logFont.lfFaceName, m_face.c_str(), LF_FACESIZE);
    m_font.CreatePointFontIndirect(&logFont);
  }
  HGDIOBJ previous = nullptr;
  if (m_font.GetSafeHandle() != nullptr) previous = ::SelectObject(dc.GetSafeHdc(), m_font.GetSafeHandle());

  ::SetBkMode(dc.GetSafeHdc(), TRANSPARENT);
  ::SetTextColor(dc.GetSafeHdc(), IsWindowEnabled() ? ::GetSysColor(COLOR_MENUTEXT) : kDisabledText);
  const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  UINT format = DT_WORDBREAK;
  if ((style & SS_CENTER) != 0) format |= DT_CENTER;
  ::DrawTextW(dc.GetSafeHdc(), text, -1, &client, format);

  if (previous != nullptr) ::SelectObject(dc.GetSafeHdc(), previous);
}

}  // namespace widgets
