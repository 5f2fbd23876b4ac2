#pragma once
// A drop-down list that the mouse wheel does not change while it is closed: a turn of
// the wheel over the bulk font-name combo would otherwise rewrite a whole page. With
// its list dropped the wheel scrolls the list as usual; the arrow keys still choose.
#include "controls.h"

namespace widgets {

class CDropDownList : public win32::CComboBox {
 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

}  // namespace widgets
