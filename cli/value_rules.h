#pragma once
// What a face, a size and an option may be when the user changes them, so that the
// theme engine and the readers take the written entry as meant.
#include <stdexcept>
#include <string_view>

namespace cli {

// A value that breaks its rule; the message says why, without naming the value.
class ValueRuleError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Not blank, without theme::kCharsNotInFaces.
// Control characters are refused on the way into the code page (cellFromUtf8).
void checkFace(std::string_view utf8);
// A whole number other than 0, with an optional sign; negative sizes are pixel heights.
void checkSize(std::string_view utf8);
// Empty, or blank-separated words from bold, italic, underline and strikeout, in any
// letter case, each at most once.
void checkOption(std::string_view utf8);

// The rule of a value column (theme::kColFont, kColSize or kColOption).
void checkValue(int column, std::string_view utf8);

}  // namespace cli
