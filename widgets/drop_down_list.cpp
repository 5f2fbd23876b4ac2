#include "drop_down_list.h"

namespace widgets {

namespace {

// Keys by which a closed drop-down list would choose another entry.
bool ChoosingKey(WPARAM key) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool CDropDownList::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  const bool closedChoice = (msg == WM_MOUSEWHEEL) || (msg == WM_KEYDOWN && ChoosingKey(wp)) || msg == WM_CHAR;
  if (closedChoice && !GetDroppedState()) {
    result = 0;
    return true;
  }
  return win32::CComboBox::OnMessage(msg, wp, lp, result);
}

}  // namespace widgets
