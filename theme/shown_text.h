#pragma once
// Text as it is carried and as it is shown: the UTF-16 of theme data, the UTF-8 of the
// command line, JSON and the clipboard, the ANSI code page of rows; and the one rule for
// what may not reach a terminal or a TSV line as it is, with the one escaper that shows it.
// Every printer of both programs goes through here.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace theme {

class CodePage;

// ---- UTF-8 (utfcpp underneath)

// One character of a UTF-8 text. A byte that starts no UTF-8 character is one character
// of its own (valid false, code the byte); so is a lone surrogate kept as below (valid
// false, code the unit, three bytes).
struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 1;  // bytes taken, at least 1
  bool valid = true;
};
// The character starting at byte `at` of `text` (at < text.size()). Over-long forms,
// encoded surrogates, values beyond U+10FFFF and cut sequences are not UTF-8.
Utf8Char characterAt(std::string_view text, std::size_t at);

// The number of bytes a UTF-8 character starting with `lead` has (1 for a byte that
// starts none).
std::size_t utf8Length(unsigned char lead);

// UTF-16 as UTF-8, surrogate pairs joined, lone surrogates as U+FFFD; and back, bytes
// that are not UTF-8 as U+FFFD each.
std::string utf16ToUtf8(std::u16string_view wide);
std::u16string utf8ToUtf16(std::string_view utf8);

// A lone UTF-16 surrogate has no UTF-8 form. Texts that must carry one exactly (the JSON
// of `list` and `write --from`) hold it in the three bytes UTF-8's pattern gives it
// (ED A0..BF 80..BF), which no valid UTF-8 contains; JSON writes it as a \uXXXX escape.
// The surrogate at byte `at`, or 0.
char16_t surrogateAt(std::string_view text, std::size_t at);
void appendSurrogate(std::string& out, char16_t unit);
// The exact UTF-16 as UTF-8, lone surrogates kept as above; and back (bytes that are not
// UTF-8 become U+FFFD).
std::string exactUtf8(std::u16string_view wide);
std::u16string exactUtf16(std::string_view utf8);

// An ANSI text of the code page as UTF-8.
std::string ansiToUtf8(std::string_view ansi, const CodePage& cp);

// The first `maxChars` characters of `text`.
std::string_view firstChars(std::string_view text, std::size_t maxChars);

// Terminal columns a UTF-8 text takes: two for East Asian wide and full-width characters.
std::size_t displayWidth(std::string_view utf8);

// ---- hex

// `value` as `width` hex digits, lower case unless `upper` ("001b", "0409").
std::string hexDigits(unsigned value, int width, bool upper = false);
// Four hex digits as a unit, or nullopt for any other text.
std::optional<char16_t> hexUnit(std::string_view digits);

// ---- the rule and the escaper

// A control character: C0, DEL or C1. Refused in values, escaped when shown.
constexpr bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// What a terminal may act on instead of showing, or what turns the text around it: the
// control characters and the bidirectional embeddings, overrides and isolates
// (U+202A..U+202E, U+2066..U+2069).
constexpr bool escapedWhenShown(char32_t c) {
  return isControl(c) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// `utf8` with every character escapedWhenShown written as an escape that says what it
// was: \t, \n and \r; \xHH for the other C0 characters and DEL; \uHHHH for C1, the
// bidirectional controls and lone surrogates; \xHH for each byte that is not UTF-8.
// Nothing a theme or a file name holds can drive the terminal.
std::string shown(std::string_view utf8);

// A cell of a TSV line: shown, with backslashes doubled, so a line stays one row of
// tab-separated cells and every escape reads back one way.
std::string tsvField(std::string_view utf8);

// A cell in the code page appended as shown(ansiToUtf8(ansi)) (returning the terminal
// columns it takes) or as tsvField(ansiToUtf8(ansi)): printable ASCII, nearly every cell,
// is appended as it is, without a copy.
std::size_t appendShown(std::string& out, std::string_view ansi, const CodePage& cp);
void appendTsvField(std::string& out, std::string_view ansi, const CodePage& cp);

}  // namespace theme
