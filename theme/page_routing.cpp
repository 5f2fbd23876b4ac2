#include "page_routing.h"

#include <algorithm>

#include "codepage.h"
#include "text_compare.h"

namespace theme {

PageRouter::PageRouter(const FontPages& pages, const CodePage& cp)
    : pageCount_(std::clamp(pages.pageCount, 0, kMaxPages)),
      colourCount_(std::clamp(pages.colourCount, 0, kMaxColours)),
      sizeNames_(pages.sizeNames),
      fileNames_(pages.fileNames),
      cp_(cp) {
  for (int k = 0; k < pageCount_; ++k) {
    for (int c = 0; c < colourCount_; ++c) {
      const std::string ansi = cutToCell(pages.fileNames[k][c], cp) + "_INI";
      iniNames_[k][c] = cp.toWide(ansi);
    }
  }
}

template <typename Matches>
PageList PageRouter::byColour(Visit visit, Matches matches) const {
  PageList result;
  for (int c = 0; c < colourCount_; ++c) {
    for (int k = 0; k < pageCount_; ++k) {
      if (matches(k, c)) {
        result.push(k);
        if (visit == Visit::FirstPerColour) break;
      }
    }
  }
  return result;
}

PageRouter::IniText PageRouter::iniText(std::u16string_view resourceName, Visit visit) const {
  IniText text;
  text.router_ = this;
  // Texts are named as the code page shows their names, cut to a cell.
  const std::u16string name = cp_.toWide(cutToCell(resourceName, cp_));
  text.mainText_ = equalsIgnoreCase(name, u"THEMES_INI");
  if (!text.mainText_) {
    text.pages_ = byColour(visit, [&](int k, int c) { return equalsIgnoreCase(iniNames_[k][c], name); });
  }
  return text;
}

PageList PageRouter::IniText::pagesFor(std::u16string_view section) const {
  if (!mainText_) return pages_;
  // The main text names a size by its section: what follows the first six units.
  const std::u16string_view rest = section.substr(std::min<std::size_t>(6, section.size()));
  PageList result;
  for (int k = 0; k < router_->pageCount_; ++k) {
    if (equalsIgnoreCase(rest, router_->sizeNames_[k])) result.push(k);
  }
  return result;
}

PageList PageRouter::stringEntryPages(std::u16string_view file, Visit visit) const {
  return byColour(visit, [&](int k, int c) { return equalsIgnoreCase(fileNames_[k][c], file); });
}

}  // namespace theme
