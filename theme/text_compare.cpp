#include "text_compare.h"

#include <algorithm>

namespace theme {

// Upper case to lower case for the scripts theme names are written in: ASCII, Latin-1,
// Latin Extended-A pairs, Greek, Cyrillic and full-width Latin letters.
char16_t foldCase(char16_t c) {
  if (c < 0x80) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  }
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A)) {
    return static_cast<char16_t>(c + 32);
  }
  if (c >= 0x400 && c <= 0x40F) {
    return static_cast<char16_t>(c + 80);
  }
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
    const bool evenIsUpper = (c < 0x139) || (c > 0x148 && c < 0x179);
    const bool isUpper = evenIsUpper ? (c % 2 == 0) : (c % 2 == 1);
    return isUpper ? static_cast<char16_t>(c + 1) : c;
  }
  return c;
}

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return foldCase(x) == foldCase(y); });
}

bool containsIgnoreCase(std::u16string_view text, std::u16string_view needle) {
  if (needle.empty()) return true;
  // ASCII, nearly every unit of a theme, folded here without a call.
  const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c < 0x80 ? c : foldCase(c); };
  // Every line's key is searched for "font": a plain loop over the candidates, the
  // first unit compared before the rest.
  const char16_t first = fold(needle.front());
  for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
    if (fold(text[i]) != first) continue;
    std::size_t k = 1;
    while (k < needle.size() && fold(text[i + k]) == fold(needle[k])) ++k;
    if (k == needle.size()) return true;
  }
  return false;
}

}  // namespace theme
