#pragma once
// A tooltip its owner places itself (TTF_TRACK | TTF_ABSOLUTE): shown with a text at a
// point of the screen, or hidden. The font list's tips are such: a cut cell's whole
// text, why a typed value was refused, a font row's sample.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace widgets {

class CTrackingTip {
 public:
  // A topmost tip owned by `owner` (destroyed with it), with `style` added to the
  // tooltip's own (TTS_BALLOON) and `text` until Show gives another.
  bool Create(HWND owner, DWORD style = 0, const wchar_t* text = L"");
  [[nodiscard]] HWND GetSafeHwnd() const { return m_tip; }
  // Shows `text` at `screen`; an empty text hides the tip.
  void Show(const std::wstring& text, POINT screen) const;
  void Hide() const { Show({}, POINT{}); }

 private:
  [[nodiscard]] TTTOOLINFOW Tool(const wchar_t* text) const;

  HWND m_owner = nullptr;
  HWND m_tip = nullptr;  // owned by m_owner's window
};

}  // namespace widgets
