#pragma once
// The installed-face list offered by every face drop-down: the faces of the screen's
// fonts, without symbol fonts, vertical-writing ("@") faces, names a theme value cannot
// hold (theme::kCharsNotInFaces), named in UTF-16 whatever the ANSI code page, in the
// combo's order.
#include "controls.h"

namespace widgets {

void AddInstalledFaces(const win32::CComboBox& combo);

// One font reported by the enumeration: added unless it is a symbol font, a vertical
// face, a name holding one of theme::kCharsNotInFaces, or already listed (the whole name, ignoring case). True when added.
bool AddFace(const win32::CComboBox& combo, const LOGFONTW& font, const TEXTMETRICW& metric);

}  // namespace widgets
