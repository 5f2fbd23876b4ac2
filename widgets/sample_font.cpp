#include "sample_font.h"

#include "value_rules.h"

namespace widgets {

namespace {

// Sizes and options are read by their ASCII digits and words; a double-byte character
// never passes for one (no trail byte of code page 932 is a digit or a blank).
std::u16string Widen(const std::string& ansi) { return {ansi.begin(), ansi.end()}; }

}  // namespace

LOGFONTA SampleLogFont(const std::string& face, const std::string& size, const std::string& option,
                       int pixelsPerInch) {
  LOGFONTA font{};
  font.lfCharSet = DEFAULT_CHARSET;
  ::lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
  if (const auto value = theme::wholeSize(Widen(size))) {
    if (*value > 0 && *value < 1000) font.lfHeight = -::MulDiv(*value, pixelsPerInch, 72);
    if (*value < 0 && *value > -1000) font.lfHeight = *value;  // already the character height in pixels
  }
  const theme::OptionStyle style = theme::optionStyle(Widen(option));
  font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = style.italic ? TRUE : FALSE;
  font.lfUnderline = style.underline ? TRUE : FALSE;
  font.lfStrikeOut = style.strikeout ? TRUE : FALSE;
  return font;
}

}  // namespace widgets
