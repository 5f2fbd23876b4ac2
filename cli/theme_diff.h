#pragma once
// What differs between two loaded themes, page by page: rows identified by file, section
// and key whose face, size or option differ, rows only one theme has, and the size names,
// size-name boxes, style name and page count. Texts are UTF-8 as `list` shows them.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "resource_languages.h"

namespace theme {
class CodePage;
class FontPages;
class ThemeSettings;
}  // namespace theme

namespace cli {

struct RowValues {
  std::string font, size, option;
};

struct RowDifference {
  std::string file, section, key;
  std::optional<RowValues> a;  // missing: the row is only in B
  std::optional<RowValues> b;  // missing: the row is only in A
};

// A text of A and of B; nullopt where that theme lacks the page.
using TextChange = std::pair<std::optional<std::string>, std::optional<std::string>>;

struct PageDifference {
  int index = 0;
  std::string title;                      // the tab title in A, or in B when A lacks the page
  std::optional<TextChange> sizeName;     // the internal size name (tab title)
  std::optional<TextChange> sizeNameBox;  // the size's display name
  std::vector<RowDifference> rows;        // changed and only-in-A rows in A's order, then only-in-B rows
};

struct ThemeDifference {
  std::optional<std::pair<int, int>> pageCount;
  std::optional<TextChange> styleName;
  std::vector<PageDifference> pages;  // only pages where something differs
  std::vector<ResourceInLanguage> otherLanguages;  // texts and tables differing outside the compared language
  FilePartsDifference fileParts;                   // what a write carries over unchanged
  [[nodiscard]] bool empty() const {
    return !pageCount && !styleName && pages.empty() && otherLanguages.empty() && fileParts.empty();
  }
};

// Values are compared as the files hold them (UTF-16), so two faces that the code page
// shows alike still differ. Rows pair by identity and occurrence (the n-th setting of a
// file, section and key meets the other theme's n-th). Each theme is read without rows: its
// names and boxes in `a` (`b`), its settings walked.
ThemeDifference compareThemes(const theme::FontPages& a, const theme::ThemeSettings& settingsA, const theme::FontPages& b,
                              const theme::ThemeSettings& settingsB, const theme::CodePage& cp);

}  // namespace cli
