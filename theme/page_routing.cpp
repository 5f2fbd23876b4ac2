#include "page_routing.h"

#include <algorithm>

#include "codepage.h"
#include "text_compare.h"

namespace theme {

PageRouter::PageRouter(const FontPages& pages, const CodePage& cp)
    : pages_(pages),
      pageCount_(std::clamp(pages.pageCount, 0, kMaxPages)),
      colourCount_(std::clamp(pages.colourCount, 0, kMaxColours)),
      cp_(cp) {
  for (int k = 0; k < pageCount_; ++k) {
    for (int c = 0; c < colourCount_; ++c) {
      const std::string ansi = cutAnsi(cp.toAnsi(pages.fileNames[k][c]), kMaxCellBytes, cp) + "_INI";
      iniNames_[k][c] = cp.toWide(ansi);
    }
  }
}

PageRouter::IniText PageRouter::iniText(const std::string& resourceName, Visit visit) const {
  IniText text;
  text.router_ = this;
  const std::u16string name = cp_.toWide(resourceName);
  text.mainText_ = equalsIgnoreCase(name, u"THEMES_INI");
  if (text.mainText_) return text;
  for (int c = 0; c < colourCount_; ++c) {
    for (int k = 0; k < pageCount_; ++k) {
      if (equalsIgnoreCase(iniNames_[k][c], name)) {
        text.pages_.push_back(k);
        if (visit == Visit::FirstPerColour) break;
      }
    }
  }
  return text;
}

const std::vector<int>& PageRouter::IniText::pagesFor(std::u16string_view section) const {
  if (!mainText_) return pages_;
  // The main text names a size by its section: what follows the first six units.
  const std::u16string_view rest = section.substr(std::min<std::size_t>(6, section.size()));
  scratch_.clear();
  for (int k = 0; k < router_->pageCount_; ++k) {
    if (equalsIgnoreCase(rest, router_->pages_.sizeNames[k])) scratch_.push_back(k);
  }
  return scratch_;
}

std::vector<int> PageRouter::stringEntryPages(std::u16string_view file, Visit visit) const {
  std::vector<int> result;
  for (int c = 0; c < colourCount_; ++c) {
    for (int k = 0; k < pageCount_; ++k) {
      if (equalsIgnoreCase(pages_.fileNames[k][c], file)) {
        result.push_back(k);
        if (visit == Visit::FirstPerColour) break;
      }
    }
  }
  return result;
}

}  // namespace theme
