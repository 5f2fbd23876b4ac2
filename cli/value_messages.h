#pragma once
// The value rules of the core (theme/value_rules.h) in the command line's words.
#include <string_view>

#include "messages.h"

namespace cli {

// Throws std::invalid_argument when a UTF-8 value breaks the rule of its column
// (theme::kColFont, kColSize or kColOption); the message says why in `language`, without
// naming the value.
void checkValue(int column, std::string_view utf8, Language language);

// Why a value with a blank at either end is refused (theme::hasEdgeBlanks).
inline constexpr const char* kEdgeBlankReason = "begins or ends with a blank, which the theme would not keep";

}  // namespace cli
