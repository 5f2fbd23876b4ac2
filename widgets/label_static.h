#pragma once
// A label that paints only its text, in a fixed 9-point font, over whatever lies behind
// it: the menu-text colour, grey when disabled, word-wrapped, centred with SS_CENTER.
#include <string>

#include "controls.h"
#include "gdi.h"

namespace widgets {

class CLabelStatic : public win32::CStatic {
 public:
  // The face it paints in ("ms ui gothic" unless told otherwise).
  void SetFaceName(std::wstring face) {
    m_face = std::move(face);
    m_font.DeleteObject();  // made again in the new face at the next paint
  }

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void OnPaint();

  std::wstring m_face = L"ms ui gothic";
  win32::CFont m_font;  // made at the first paint and kept
};

}  // namespace widgets
