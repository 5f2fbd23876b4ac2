#pragma once
// What a face, a size and an option may be when the user changes them, so that the
// theme engine and the readers take the written entry as meant; and how a value is
// read where a font is made from it (the sample font). One rule for every front end:
// each says the fault in its own words.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace theme {

// What a font name may not hold, whoever sets it: a "," ends the name (the rest would be
// read as the size) and brackets can turn an INI line into a section header.
inline constexpr std::u16string_view kCharsNotInFaces = u",[]";

enum class ValueFault {
  None,
  Blank,               // a face of nothing but blanks
  EdgeBlank,           // a value that begins or ends with a blank (see hasEdgeBlanks)
  HoldsForbidden,      // a face holding one of kCharsNotInFaces; `detail` is the character
  NotWholeNumber,      // a size that is no whole number
  OutOfRange,          // a size beyond 32 bits
  Zero,                // a size of 0
  UnknownOptionWord,   // an option word other than bold, italic, underline, strikeout
  RepeatedOptionWord,  // an option word given twice; `detail` is the word, in lower case
};

struct ValueVerdict {
  ValueFault fault = ValueFault::None;
  std::u16string detail;
  [[nodiscard]] bool ok() const { return fault == ValueFault::None; }
};

// Whether a value begins or ends with a blank (U+0020). The readers of INI lines and
// string entries drop such blanks, so a value holding them would not read back as written.
bool hasEdgeBlanks(std::u16string_view value);

// Not blank (ASCII or ideographic spaces only), without edge blanks or kCharsNotInFaces.
ValueVerdict checkFace(std::u16string_view face);
// A whole number other than 0, with an optional sign; negative sizes are pixel heights.
ValueVerdict checkSize(std::u16string_view size);
// Empty, or blank-separated words from bold, italic, underline and strikeout, in any
// letter case, each at most once, without edge blanks.
ValueVerdict checkOption(std::u16string_view option);
// The rule of a value column (kColFont, kColSize or kColOption); other columns pass.
ValueVerdict checkValue(int column, std::u16string_view value);

// Whether an installed face can be offered: a name a theme value can hold.
bool faceFitsAValue(std::u16string_view face);

// The size as a number when it passes checkSize: points when positive, a pixel height
// when negative.
std::optional<std::int32_t> wholeSize(std::u16string_view size);

// The option's words as a font takes them (any letter case, any order).
struct OptionStyle {
  bool bold = false, italic = false, underline = false, strikeout = false;
};
OptionStyle optionStyle(std::u16string_view option);

}  // namespace theme
