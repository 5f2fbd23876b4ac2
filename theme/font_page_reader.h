#pragma once
// The font pages read from a loaded theme.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "page_routing.h"
#include "string_entry_syntax.h"

namespace theme {

class CodePage;
class FontPages;
struct ListedSetting;
struct ThemeImage;

// Walks the resources of `image` into `pages`: name lists, INI texts, string tables.
void readFontPages(const ThemeImage& image, FontPages& pages, const CodePage& cp);

// The listed settings of a theme without a row for each: every INI text read once into
// UTF-16 and kept, with the listed entries of the string tables, so that they can be
// walked more than once (a table measured, then printed) and two themes compared.
class ThemeSettings {
 public:
  // Reads the name lists of `image` into `pages`, then its texts and tables, filling the
  // size-name and style-name boxes of `pages` as readFontPages does; adds no rows.
  ThemeSettings(const ThemeImage& image, FontPages& pages, const CodePage& cp);

  // visit(setting) for every listed setting in the order readFontPages lists them. The
  // fields view this object (valid as long as it is), the cells are valid during the call.
  void forEach(const std::function<void(const ListedSetting&)>& visit) const;

 private:
  struct Routed {
    ListedStringEntry entry;
    PageList pages;
  };
  // An INI text (`strings` empty), or the listed entries of a string table.
  struct Source {
    std::u16string name;
    std::string fileCell;
    std::shared_ptr<const std::u16string> text;  // the image's
    std::vector<Routed> strings;
  };
  PageRouter router_;
  std::deque<Source> sources_;  // a deque: the views handed out never move
};

}  // namespace theme
