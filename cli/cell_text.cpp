#include "cell_text.h"

#include <algorithm>

#include "codepage.h"
#include "font_pages.h"
#include "messages.h"
#include "shown_text.h"

namespace cli {

std::optional<unsigned> codePageHolding(std::u16string_view wide) {
  static constexpr unsigned kAnsiCodePages[] = {1252, 932, 936, 949, 950, 1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258, 874};
  for (const unsigned id : kAnsiCodePages) {
    try {
      const theme::CodePage cp(id);
      if (cp.toWide(cp.toAnsi(wide)) == wide) return id;
    } catch (const std::invalid_argument&) {
      // not installed here: try the next
    }
  }
  return std::nullopt;
}

std::string cellFromUtf8(std::string_view utf8, const theme::CodePage& cp, Language language) {
  const std::u16string wide = theme::utf8ToUtf16(utf8);
  if (std::any_of(wide.begin(), wide.end(), [](char16_t c) { return theme::isControl(c); })) {
    throw std::invalid_argument(say(language, "holds a control character"));
  }
  std::string ansi = cp.toAnsi(wide);
  if (cp.toWide(ansi) != wide) {
    if (const auto other = codePageHolding(wide)) {
      throw std::invalid_argument(say(language, "holds characters that code page {0} cannot hold (code page {1} can)",
                              {std::to_string(cp.id()), std::to_string(*other)}));
    }
    throw std::invalid_argument(say(language, "holds characters that code page {0} cannot hold", {std::to_string(cp.id())}));
  }
  if (ansi.size() > theme::kMaxCellBytes) {
    throw std::invalid_argument(say(language, "is {0} bytes long in code page {1}, at most {2} fit",
                            {std::to_string(ansi.size()), std::to_string(cp.id()), std::to_string(theme::kMaxCellBytes)}));
  }
  return ansi;
}

std::string tabTitle(const theme::FontPages& pages, int page, const theme::CodePage& cp) {
  const std::string ansi = theme::cutToCell(pages.sizeNames.at(page), cp);
  return theme::ansiToUtf8(ansi, cp);
}

std::string nativePath(const std::string& utf8) {
#ifdef _WIN32
  return theme::CodePage(0).toAnsi(theme::utf8ToUtf16(utf8));
#else
  return utf8;
#endif
}

}  // namespace cli
