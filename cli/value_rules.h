#pragma once
// What a face, a size and an option may be when the user changes them, so that the
// theme engine and the readers take the written entry as meant.
#include <string_view>

#include "messages.h"

namespace cli {

// Each throws std::invalid_argument for a value that breaks its rule; the message says
// why, in `language`, without naming the value.

// Not blank, without theme::kCharsNotInFaces.
// Control characters are refused on the way into the code page (cellFromUtf8).
void checkFace(std::string_view utf8, Language language);
// A whole number other than 0, with an optional sign; negative sizes are pixel heights.
void checkSize(std::string_view utf8, Language language);
// Empty, or blank-separated words from bold, italic, underline and strikeout, in any
// letter case, each at most once.
void checkOption(std::string_view utf8, Language language);

// The rule of a value column (theme::kColFont, kColSize or kColOption).
void checkValue(int column, std::string_view utf8, Language language);

}  // namespace cli
