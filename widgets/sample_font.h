#pragma once
// The font a font row describes: its face, its size (points; a negative size is a
// pixel height) and its option (the words bold, italic, underline, strikeout, any case),
// each read by the rules the value is checked with.
#include <windows.h>

#include <string>

namespace widgets {

// `pixelsPerInch` turns points into pixels; a size that is no number or 0 leaves the
// height to the font mapper.
LOGFONTA SampleLogFont(const std::string& face, const std::string& size, const std::string& option,
                       int pixelsPerInch);

}  // namespace widgets
