#pragma once
// A drop-down list that changes only when its list is dropped: closed, the mouse wheel,
// the arrow keys and typed letters do nothing (a turn of the wheel or a key over the
// bulk font-name combo would otherwise rewrite a whole page). Alt+Down, F4 or a click
// drop the list; there the highlight follows the keys and the wheel, and Enter or a
// click chooses (CBN_SELENDOK).
#include "controls.h"

namespace widgets {

class CDropDownList : public win32::CComboBox {
 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

}  // namespace widgets
