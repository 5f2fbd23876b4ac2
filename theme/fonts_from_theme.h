#pragma once
// Fonts carried from one theme to another: a set of font settings tuned once (a
// "Meiryo set") applied to the next theme, page by page.
#include <cstddef>
#include <vector>

namespace theme {

class CodePage;
class FontPages;

struct RowPlace {
  int page = 0;
  std::size_t row = 0;
  bool operator==(const RowPlace&) const = default;
};

struct CarriedFonts {
  std::size_t changed = 0;          // rows that took new values
  std::size_t alreadyAlike = 0;     // rows that found a match and already had its values
  std::vector<RowPlace> unmatched;  // rows of the target that found no match; they keep their values
  std::vector<int> pagesMissing;    // pages of the target the source does not have
};

// Page by page (by index), each row of `target` takes face, size and option from the row
// of `source` with the same section and key (compared case-insensitively in the UTF-16
// they were read from), preferring one with the same internal file name, and of those the
// same occurrence of the setting; else the first with that section and key. The values
// keep the UTF-16 they were read from.
CarriedFonts carryFonts(const FontPages& source, FontPages& target, const CodePage& cp);

}  // namespace theme
