#pragma once
// The tip beside the mouse that shows a sample ("Aa あア亜 123") of a font row in the
// font the row describes: its face, size and option.
#include <windows.h>

#include <string>

#include "gdi.h"
#include "tracking_tip.h"

namespace widgets {

class CSampleTip {
 public:
  // Owned by `owner`, the list, and destroyed with it.
  bool Create(HWND owner);
  [[nodiscard]] HWND GetSafeHwnd() const { return m_tip.GetSafeHwnd(); }
  // The row whose sample is shown, or -1.
  [[nodiscard]] int GetRow() const { return m_row; }
  // The sample of row `row` in the font of its cells, beside `mouse` (screen coordinates).
  void Show(int row, const std::wstring& face, const std::wstring& size, const std::wstring& option, POINT mouse);
  void Hide();

 private:
  CTrackingTip m_tip;
  int m_row = -1;
  win32::CFont m_font;  // the tip's font while it shows a sample
};

}  // namespace widgets
