#include "value_rules.h"

#include <algorithm>
#include <array>
#include <limits>

#include "font_pages.h"

namespace theme {

namespace {

constexpr std::array<std::u16string_view, 4> kOptionWords = {u"bold", u"italic", u"underline", u"strikeout"};

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// Calls visit(index of the word in kOptionWords or kOptionWords.size(), the word in
// lower case) for every blank-separated word; stops when visit returns false.
template <typename Visit>
void forEachOptionWord(std::u16string_view option, Visit&& visit) {
  std::size_t at = 0;
  while (at < option.size()) {
    if (option[at] == u' ') {
      ++at;
      continue;
    }
    std::size_t end = option.find(u' ', at);
    if (end == std::u16string_view::npos) end = option.size();
    std::u16string word(option.substr(at, end - at));
    std::transform(word.begin(), word.end(), word.begin(), lower);
    const auto known = std::find(kOptionWords.begin(), kOptionWords.end(), word);
    if (!visit(static_cast<std::size_t>(known - kOptionWords.begin()), word)) return;
    at = end;
  }
}

}  // namespace

bool hasEdgeBlanks(std::u16string_view value) {
  return !value.empty() && (value.front() == u' ' || value.back() == u' ');
}

ValueVerdict checkFace(std::u16string_view face) {
  if (face.find_first_not_of(u" \u3000") == std::u16string_view::npos) return {ValueFault::Blank, {}};
  if (hasEdgeBlanks(face)) return {ValueFault::EdgeBlank, {}};
  const std::size_t bad = face.find_first_of(kCharsNotInFaces);
  if (bad != std::u16string_view::npos) return {ValueFault::HoldsForbidden, std::u16string(1, face[bad])};
  return {};
}

std::optional<std::int32_t> wholeSize(std::u16string_view size) {
  const bool negative = !size.empty() && size.front() == u'-';
  std::u16string_view digits = size;
  if (!digits.empty() && (digits.front() == u'+' || digits.front() == u'-')) digits.remove_prefix(1);
  if (digits.empty()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (const char16_t c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
    magnitude = magnitude * 10 + (c - u'0');
    if (magnitude > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  if (magnitude == 0) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

ValueVerdict checkSize(std::u16string_view size) {
  if (hasEdgeBlanks(size)) return {ValueFault::EdgeBlank, {}};
  if (wholeSize(size)) return {};
  std::u16string_view digits = size;
  if (!digits.empty() && (digits.front() == u'+' || digits.front() == u'-')) digits.remove_prefix(1);
  if (digits.empty() || digits.find_first_not_of(u"0123456789") != std::u16string_view::npos) {
    return {ValueFault::NotWholeNumber, {}};
  }
  const bool zero = digits.find_first_not_of(u'0') == std::u16string_view::npos;
  return {zero ? ValueFault::Zero : ValueFault::OutOfRange, {}};
}

ValueVerdict checkOption(std::u16string_view option) {
  if (hasEdgeBlanks(option)) return {ValueFault::EdgeBlank, {}};
  ValueVerdict verdict;
  std::array<bool, kOptionWords.size()> seen{};
  forEachOptionWord(option, [&](std::size_t known, const std::u16string& word) {
    if (known == kOptionWords.size()) {
      verdict = {ValueFault::UnknownOptionWord, word};
    } else if (seen.at(known)) {
      verdict = {ValueFault::RepeatedOptionWord, word};
    } else {
      seen.at(known) = true;
    }
    return verdict.ok();
  });
  return verdict;
}

ValueVerdict checkValue(int column, std::u16string_view value) {
  switch (column) {
    case kColFont: return checkFace(value);
    case kColSize: return checkSize(value);
    case kColOption: return checkOption(value);
    default: return {};
  }
}

bool faceFitsAValue(std::u16string_view face) { return checkFace(face).fault != ValueFault::HoldsForbidden; }

OptionStyle optionStyle(std::u16string_view option) {
  OptionStyle style;
  forEachOptionWord(option, [&style](std::size_t known, const std::u16string&) {
    switch (known) {
      case 0: style.bold = true; break;
      case 1: style.italic = true; break;
      case 2: style.underline = true; break;
      case 3: style.strikeout = true; break;
      default: break;
    }
    return true;
  });
  return style;
}

}  // namespace theme
