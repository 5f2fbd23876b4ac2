#include "cell_text.h"

#include <algorithm>

#include "codepage.h"
#include "font_pages.h"

namespace cli {

std::string ansiToUtf8(std::string_view ansi, const theme::CodePage& cp) {
  return theme::utf16ToUtf8(cp.toWide(ansi));
}

std::string cellFromUtf8(std::string_view utf8, const theme::CodePage& cp) {
  const std::u16string wide = theme::utf8ToUtf16(utf8);
  if (std::any_of(wide.begin(), wide.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; })) {
    throw CellTextError("holds a control character");
  }
  std::string ansi = cp.toAnsi(wide);
  if (cp.toWide(ansi) != wide) {
    throw CellTextError("holds characters that code page " + std::to_string(cp.id()) + " cannot hold");
  }
  if (ansi.size() > theme::kMaxCellBytes) {
    throw CellTextError("is " + std::to_string(ansi.size()) + " bytes long in code page " + std::to_string(cp.id()) +
                        ", at most " + std::to_string(theme::kMaxCellBytes) + " fit");
  }
  return ansi;
}

bool sameAsCell(std::string_view utf8, std::string_view cellAnsi, const theme::CodePage& cp) {
  return theme::utf8ToUtf16(utf8) == cp.toWide(cellAnsi);
}

std::string tabTitle(const theme::FontPages& pages, int page, const theme::CodePage& cp) {
  const std::string ansi = theme::cutAnsi(cp.toAnsi(pages.sizeNames.at(page)), theme::kMaxCellBytes, cp);
  return ansiToUtf8(ansi, cp);
}

std::string nativePath(const std::string& utf8) {
#ifdef _WIN32
  return theme::CodePage(0).toAnsi(theme::utf8ToUtf16(utf8));
#else
  return utf8;
#endif
}

}  // namespace cli
