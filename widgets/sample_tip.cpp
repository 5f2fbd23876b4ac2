#include "sample_tip.h"

#include "sample_font.h"

namespace widgets {

namespace {

constexpr wchar_t kSampleText[] = L"Aa あア亜 123";
constexpr int kSampleOffset = 16;  // the tip keeps clear of the mouse pointer

}  // namespace

bool CSampleTip::Create(HWND owner) { return m_tip.Create(owner, 0, kSampleText); }

void CSampleTip::Show(int row, const std::wstring& face, const std::wstring& size, const std::wstring& option,
                      POINT mouse) {
  HWND tip = m_tip.GetSafeHwnd();
  m_row = row;
  HDC screen = ::GetDC(nullptr);
  const int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  const LOGFONTW font = SampleLogFont(face, size, option, pixelsPerInch);
  ::SendMessageW(tip, WM_SETFONT, 0, FALSE);  // the old font goes next
  if (m_font.CreateFontIndirect(font)) {
    ::SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
  }
  // The same text again: the tip is measured anew for the font.
  m_tip.Show(kSampleText, POINT{mouse.x + kSampleOffset, mouse.y + kSampleOffset});
}

void CSampleTip::Hide() {
  if (m_tip.GetSafeHwnd() == nullptr || m_row < 0) return;
  m_tip.Hide();
  m_row = -1;
}

}  // namespace widgets
