#pragma once
// The installed-face list offered by every face drop-down: the faces of the screen's
// fonts, without symbol fonts and vertical-writing ("@") faces, in the combo's order.
#include "controls.h"

namespace widgets {

void AddInstalledFaces(const win32::CComboBox& combo);

// One font reported by the enumeration: added unless it is a symbol font, a vertical
// face, or already listed (the whole name, ignoring case). True when added.
bool AddFace(const win32::CComboBox& combo, const LOGFONTA& font, const TEXTMETRICA& metric);

}  // namespace widgets
