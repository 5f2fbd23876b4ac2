#pragma once
// Which font page a setting belongs to: by section and size name for the main INI
// text, by the file-name table for the other INI texts and for string-table entries.
// Reading lists an entry on the first matching page of each colour; writing visits
// every matching page of every colour. The router is built once per load, after the
// name lists, with every code-page conversion it needs done in advance, and once per
// write: it serves one walk over the theme's texts and tables.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "font_pages.h"

namespace theme {

class CodePage;

enum class Visit { FirstPerColour, Every };

// Pages in visiting order; a page may repeat, once per colour that names the setting.
class PageList {
 public:
  void push(int page) { pages_.at(count_++) = static_cast<std::uint8_t>(page); }
  [[nodiscard]] bool empty() const { return count_ == 0; }
  [[nodiscard]] const std::uint8_t* begin() const { return pages_.data(); }
  [[nodiscard]] const std::uint8_t* end() const { return pages_.data() + count_; }

 private:
  std::array<std::uint8_t, static_cast<std::size_t>(kMaxPages) * kMaxColours> pages_{};
  std::size_t count_ = 0;
};

class PageRouter {
 public:
  // Takes the page count, colour count, size names and file-name table of `pages`.
  PageRouter(const FontPages& pages, const CodePage& cp);

  // The routing of one INI text: fixed for all its lines, except in the main text,
  // where the section names the size.
  class IniText {
   public:
    [[nodiscard]] PageList pagesFor(std::u16string_view section) const;

   private:
    friend class PageRouter;
    const PageRouter* router_ = nullptr;
    bool mainText_ = false;
    PageList pages_;
  };

  [[nodiscard]] IniText iniText(std::u16string_view resourceName, Visit visit) const;
  [[nodiscard]] PageList stringEntryPages(std::u16string_view file, Visit visit) const;
  [[nodiscard]] const CodePage& codePage() const { return cp_; }

  // Which of the listed settings with this identity a write has reached: 0 for the first,
  // 1 for the second, in walk order across every text and table, as the reader numbered
  // the rows (FontPages::occurrencesOn). A setting repeated in the file is thus written
  // from its own row, not the first one's. Settings that are not repeated (most) are
  // always the first and need no count: see occurrenceToWrite.
  std::size_t nextOccurrence(const std::u16string& identity) const { return occurrences_[identity]++; }

 private:
  template <typename Matches>
  PageList byColour(Visit visit, Matches matches) const;

  int pageCount_;
  int colourCount_;
  std::array<std::u16string, kMaxPages> sizeNames_;
  std::array<std::array<std::u16string, kMaxColours>, kMaxPages> fileNames_;  // [page][colour]
  // The file-name table entry in the code page plus "_INI", back in UTF-16: what an INI
  // text's name, seen through the code page, is compared with.
  std::array<std::array<std::u16string, kMaxColours>, kMaxPages> iniNames_;
  const CodePage& cp_;
  mutable std::unordered_map<std::u16string, std::size_t> occurrences_;
};

// The occurrence of the setting a writer meets, given the pages it visits for it: counted
// only where a page holds rows of several occurrences (every listed setting with one
// identity is routed alike, so a repeated one is counted at each of its meetings).
template <typename Pages>
std::size_t occurrenceToWrite(const PageRouter& router, const FontPages& pages, const Pages& visited,
                              const std::u16string& identity) {
  for (const int page : visited) {
    if (pages.occurrencesOn(page, identity) > 1) return router.nextOccurrence(identity);
  }
  return 0;
}

}  // namespace theme
