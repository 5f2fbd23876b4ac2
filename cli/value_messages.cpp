#include "value_messages.h"

#include <stdexcept>

#include "messages.h"
#include "value_rules.h"
#include "shown_text.h"

namespace cli {

void checkValue(int column, std::string_view utf8, Language language) {
  const theme::ValueVerdict verdict = theme::checkValue(column, theme::utf8ToUtf16(utf8));
  const std::string detail = theme::utf16ToUtf8(verdict.detail);
  switch (verdict.fault) {
    case theme::ValueFault::None: return;
    case theme::ValueFault::Blank: throw std::invalid_argument(say(language, "is blank"));
    case theme::ValueFault::EdgeBlank: throw std::invalid_argument(say(language, kEdgeBlankReason));
    case theme::ValueFault::HoldsForbidden: throw std::invalid_argument(say(language, "holds a '{0}'", {detail}));
    case theme::ValueFault::NotWholeNumber: throw std::invalid_argument(say(language, "is not a whole number"));
    case theme::ValueFault::OutOfRange: throw std::invalid_argument(say(language, "is out of range"));
    case theme::ValueFault::Zero: throw std::invalid_argument(say(language, "is 0"));
    case theme::ValueFault::UnknownOptionWord:
      throw std::invalid_argument(say(language, "is not made of the words bold, italic, underline and strikeout"));
    case theme::ValueFault::RepeatedOptionWord: throw std::invalid_argument(say(language, "says {0} twice", {detail}));
  }
}

}  // namespace cli
