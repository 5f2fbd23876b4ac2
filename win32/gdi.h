#pragma once
// Graphics objects owned by C++ objects: a font, an icon, a paint context, an image list.
#include <windows.h>
#include <commctrl.h>

namespace win32 {

class CFont {
 public:
  CFont() = default;
  ~CFont();
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  // `logFont->lfHeight` in tenths of a point, converted for `dc` (the screen when null).
  bool CreatePointFontIndirect(const LOGFONTW* logFont, HDC dc = nullptr);
  bool CreateFontIndirect(const LOGFONTW& logFont);
  void DeleteObject();
  [[nodiscard]] HFONT GetSafeHandle() const { return m_font; }

 private:
  HFONT m_font = nullptr;
};

// An icon this program loaded for itself (not shared), destroyed once with its owner.
class CIcon {
 public:
  CIcon() = default;
  ~CIcon();
  CIcon(const CIcon&) = delete;
  CIcon& operator=(const CIcon&) = delete;

  // Takes over `icon`, destroying the one held before.
  void Attach(HICON icon);
  void Destroy();
  [[nodiscard]] HICON GetSafeHandle() const { return m_icon; }

 private:
  HICON m_icon = nullptr;
};

class CPaintDC {
 public:
  explicit CPaintDC(HWND hwnd);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  [[nodiscard]] HDC GetSafeHdc() const { return m_dc; }

 private:
  HWND m_hwnd;
  PAINTSTRUCT m_ps{};
  HDC m_dc;
};

class CImageList {
 public:
  CImageList() = default;
  ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  bool Create(int cx, int cy, UINT flags, int initial, int grow);
  [[nodiscard]] HIMAGELIST GetSafeHandle() const { return m_list; }

 private:
  HIMAGELIST m_list = nullptr;
};

}  // namespace win32
