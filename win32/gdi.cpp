#include "gdi.h"

#include <cstdlib>

namespace win32 {

CFont::~CFont() { DeleteObject(); }

void CFont::DeleteObject() {
  if (m_font != nullptr) ::DeleteObject(m_font);
  m_font = nullptr;
}

bool CFont::CreatePointFontIndirect(const LOGFONTW* logFont, HDC dc) {
  DeleteObject();
  HDC screen = dc != nullptr ? dc : ::GetDC(nullptr);
  LOGFONTW font = *logFont;
  // Tenths of a point to device pixels, then to logical units of the context.
  POINT height{0, ::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), logFont->lfHeight, 720)};
  POINT origin{0, 0};
  ::DPtoLP(screen, &height, 1);
  ::DPtoLP(screen, &origin, 1);
  font.lfHeight = -std::abs(height.y - origin.y);
  if (dc == nullptr) ::ReleaseDC(nullptr, screen);
  m_font = ::CreateFontIndirectW(&font);
  return m_font != nullptr;
}

bool CFont::CreateFontIndirect(const LOGFONTW& logFont) {
  DeleteObject();
  m_font = ::CreateFontIndirectW(&logFont);
  return m_font != nullptr;
}

CIcon::~CIcon() { Destroy(); }

void CIcon::Attach(HICON icon) {
  if (icon != m_icon) Destroy();
  m_icon = icon;
}

void CIcon::Destroy() {
  if (m_icon != nullptr) ::DestroyIcon(m_icon);
  m_icon = nullptr;
}

CPaintDC::CPaintDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_ps)) {}
CPaintDC::~CPaintDC() { ::EndPaint(m_hwnd, &m_ps); }

CImageList::~CImageList() {
  if (m_list != nullptr) ImageList_Destroy(m_list);
}

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (m_list != nullptr) ImageList_Destroy(m_list);
  m_list = ImageList_Create(cx, cy, flags, initial, grow);
  return m_list != nullptr;
}

}  // namespace win32
