#pragma once
// The font a font row describes: its face, its size (points; a negative size is a
// pixel height) and its option (the words bold, italic, underline, strikeout, any case),
// each read by the rules the value is checked with.
#include <windows.h>

#include <string>

namespace widgets {

// `pixelsPerInch` turns points into pixels; a size that is no number or 0 leaves the
// height to the font mapper.
LOGFONTW SampleLogFont(const std::wstring& face, const std::wstring& size, const std::wstring& option,
                       int pixelsPerInch);

}  // namespace widgets
