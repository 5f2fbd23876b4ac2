#include "drop_down_list.h"

namespace widgets {

bool CDropDownList::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_MOUSEWHEEL && !GetDroppedState()) {
    result = 0;
    return true;
  }
  return win32::CComboBox::OnMessage(msg, wp, lp, result);
}

}  // namespace widgets
