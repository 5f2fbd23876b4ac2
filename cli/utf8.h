#pragma once
// Characters rather than bytes, for the JSON reader, column widths, escapes and cut
// quotes: the core's UTF-8 decoder, and what the command line adds to it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "utf8_codec.h"

namespace cli {

using theme::decodeUtf8;
using theme::Utf8Char;

// A C0 or C1 control character or DEL: what a terminal may act on instead of showing.
constexpr bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// A lone UTF-16 surrogate has no UTF-8 form. Texts that must carry one exactly (the JSON
// of `list` and `write --from`) hold it in the three bytes UTF-8's pattern gives it
// (ED A0..BF 80..BF), which no valid UTF-8 contains; JSON writes it as a \uXXXX escape.
// The surrogate at byte `at`, or 0.
char16_t surrogateAt(std::string_view text, std::size_t at);
void appendSurrogate(std::string& out, char16_t unit);

// The exact UTF-16 as UTF-8, lone surrogates kept as above.
std::string exactUtf8(std::u16string_view wide);
// And back: UTF-8 with lone surrogates kept as above to the exact UTF-16 (bytes that are
// not UTF-8 become U+FFFD).
std::u16string exactUtf16(std::string_view utf8);

// Four hex digits, as \uXXXX escapes and hidden surrogates (json_text.h) carry a unit: the
// unit, or nullopt for any other text.
std::optional<char16_t> hexUnit(std::string_view digits);
// A unit as four upper-case hex digits ("00E9").
std::string hexDigits(char16_t unit);

// The first `maxChars` characters of `text`; bytes that are not UTF-8 count as one each.
std::string_view firstChars(std::string_view text, std::size_t maxChars);

}  // namespace cli
