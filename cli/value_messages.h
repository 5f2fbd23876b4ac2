#pragma once
// The value rules of the core (theme/value_rules.h) in the command line's words.
#include <stdexcept>
#include <string_view>

#include <string>

namespace cli {

// A value that breaks its rule; the message says why, without naming the value.
class ValueRuleError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Throws ValueRuleError when a UTF-8 value breaks the rule of its column
// (theme::kColFont, kColSize or kColOption).
void checkValue(int column, std::string_view utf8);

}  // namespace cli
