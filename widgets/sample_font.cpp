#include "sample_font.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace widgets {

LOGFONTA SampleLogFont(const std::string& face, const std::string& size, const std::string& option,
                       int pixelsPerInch) {
  LOGFONTA font{};
  font.lfCharSet = DEFAULT_CHARSET;
  ::lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
  const long value = std::strtol(size.c_str(), nullptr, 10);
  if (value > 0 && value < 1000) font.lfHeight = -::MulDiv(static_cast<int>(value), pixelsPerInch, 72);
  if (value < 0 && value > -1000) font.lfHeight = value;  // already the character height in pixels
  std::string lower = option;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  font.lfWeight = lower.find("bold") != std::string::npos ? FW_BOLD : FW_NORMAL;
  font.lfItalic = lower.find("italic") != std::string::npos ? TRUE : FALSE;
  return font;
}

}  // namespace widgets
