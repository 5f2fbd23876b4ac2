#pragma once
// A drop-down list of installed faces that draws every entry in its own face (owner
// drawn, CBS_OWNERDRAWFIXED with CBS_HASSTRINGS), so the user sees each face before
// choosing it. A face that cannot draw its own name (a symbol font, a face the font
// mapper replaces, a name with characters the face lacks) is drawn in the combo's font.
#include <string>

#include "drop_down_list.h"

namespace widgets {

class CFaceCombo : public CDropDownList {
 public:
  // The font an entry named `face` is drawn in, at the height of `base` (the combo's
  // font): the face itself, or `base` when the face cannot draw its name.
  static HFONT FontForFace(const std::wstring& face, HFONT base);

 protected:
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void OnDrawItem(const DRAWITEMSTRUCT& item) const;
};

}  // namespace widgets
