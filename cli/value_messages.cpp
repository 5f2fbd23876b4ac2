#include "value_messages.h"

#include "messages.h"
#include "value_rules.h"
#include "utf8_codec.h"

namespace cli {

void checkValue(int column, std::string_view utf8) {
  const theme::ValueVerdict verdict = theme::checkValue(column, theme::utf8ToUtf16(utf8));
  const std::string detail = theme::utf16ToUtf8(verdict.detail);
  switch (verdict.fault) {
    case theme::ValueFault::None: return;
    case theme::ValueFault::Blank: throw ValueRuleError(say("is blank"));
    case theme::ValueFault::HoldsForbidden: throw ValueRuleError(say("holds a '{0}'", {detail}));
    case theme::ValueFault::NotWholeNumber: throw ValueRuleError(say("is not a whole number"));
    case theme::ValueFault::OutOfRange: throw ValueRuleError(say("is out of range"));
    case theme::ValueFault::Zero: throw ValueRuleError(say("is 0"));
    case theme::ValueFault::UnknownOptionWord:
      throw ValueRuleError(say("is not made of the words bold, italic, underline and strikeout"));
    case theme::ValueFault::RepeatedOptionWord: throw ValueRuleError(say("says {0} twice", {detail}));
  }
}

}  // namespace cli
