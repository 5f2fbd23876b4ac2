#pragma once
// A label that paints only its text, in a fixed 9-point font, over whatever lies behind
// it: the menu-text colour, grey when disabled, word-wrapped, centred with SS_CENTER.
#include "controls.h"

namespace widgets {

class CLabelStatic : public win32::CStatic {
 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void OnPaint();
};

}  // namespace widgets
