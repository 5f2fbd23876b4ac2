#pragma once
// Which font page a setting belongs to: by section and size name for the main INI
// text, by the file-name table for the other INI texts and for string-table entries.
// Reading lists an entry on the first matching page of each colour; writing visits
// every matching page of every colour.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "font_pages.h"

namespace theme {

class CodePage;

enum class Visit { FirstPerColour, Every };

class PageRouter {
 public:
  PageRouter(const FontPages& pages, const CodePage& cp);

  // The routing of one INI text, fixed for all its lines except the main text's.
  class IniText {
   public:
    // Pages for a font entry under `section`, in visiting order (a page may repeat,
    // once per colour that names the text).
    [[nodiscard]] const std::vector<int>& pagesFor(std::u16string_view section) const;

   private:
    friend class PageRouter;
    const PageRouter* router_ = nullptr;
    bool mainText_ = false;
    std::vector<int> pages_;
    mutable std::vector<int> scratch_;
  };

  [[nodiscard]] IniText iniText(const std::string& resourceName, Visit visit) const;
  [[nodiscard]] std::vector<int> stringEntryPages(std::u16string_view file, Visit visit) const;

 private:
  const FontPages& pages_;
  int pageCount_;
  int colourCount_;
  // Per [page][colour]: the file-name table entry in the code page plus "_INI", back in UTF-16.
  std::array<std::array<std::u16string, kMaxColours>, kMaxPages> iniNames_;
  const CodePage& cp_;
};

}  // namespace theme
