#include "value_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "font_pages.h"
#include "messages.h"

namespace cli {

void checkFace(std::string_view utf8, Language language) {
  // Blank: nothing but ASCII spaces and ideographic spaces (U+3000).
  std::string_view rest = utf8;
  while (!rest.empty()) {
    if (rest.front() == ' ') {
      rest.remove_prefix(1);
    } else if (rest.starts_with("\xE3\x80\x80")) {
      rest.remove_prefix(3);
    } else {
      break;
    }
  }
  if (rest.empty()) throw std::invalid_argument(say(language, "is blank"));
  for (const char c : theme::kCharsNotInFaces) {
    if (utf8.find(c) != std::string_view::npos) throw std::invalid_argument(say(language, "holds a '{0}'", {std::string(1, c)}));
  }
}

void checkSize(std::string_view utf8, Language language) {
  std::string_view digits = utf8;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw std::invalid_argument(say(language, "is not a whole number"));
  }
  std::int32_t magnitude = 0;
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (ec != std::errc() || ptr != digits.data() + digits.size()) throw std::invalid_argument(say(language, "is out of range"));
  if (magnitude == 0) throw std::invalid_argument(say(language, "is 0"));
}

void checkOption(std::string_view utf8, Language language) {
  static constexpr std::array<std::string_view, 4> kWords = {"bold", "italic", "underline", "strikeout"};
  std::array<bool, kWords.size()> seen{};
  std::size_t at = 0;
  while (at < utf8.size()) {
    if (utf8[at] == ' ') {
      ++at;
      continue;
    }
    std::size_t end = utf8.find(' ', at);
    if (end == std::string_view::npos) end = utf8.size();
    std::string word(utf8.substr(at, end - at));
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto known = std::find(kWords.begin(), kWords.end(), word);
    if (known == kWords.end()) throw std::invalid_argument(say(language, "is not made of the words bold, italic, underline and strikeout"));
    bool& once = seen.at(static_cast<std::size_t>(known - kWords.begin()));
    if (once) throw std::invalid_argument(say(language, "says {0} twice", {word}));
    once = true;
    at = end;
  }
}

void checkValue(int column, std::string_view utf8, Language language) {
  switch (column) {
    case theme::kColFont: checkFace(utf8, language); break;
    case theme::kColSize: checkSize(utf8, language); break;
    case theme::kColOption: checkOption(utf8, language); break;
    default: break;
  }
}

}  // namespace cli
