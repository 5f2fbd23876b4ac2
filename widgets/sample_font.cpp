#include "sample_font.h"

#include "value_rules.h"

namespace widgets {

namespace {

std::u16string Widen(const std::wstring& text) { return {text.begin(), text.end()}; }

}  // namespace

LOGFONTW SampleLogFont(const std::wstring& face, const std::wstring& size, const std::wstring& option,
                       int pixelsPerInch) {
  LOGFONTW font{};
  font.lfCharSet = DEFAULT_CHARSET;
  ::lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
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
