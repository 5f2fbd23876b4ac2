#include "json_reader.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <unordered_set>
#include <utility>

#include <nlohmann/json.hpp>

#include "json_text.h"
#include "messages.h"
#include "shown_text.h"

namespace cli {

const JsonValue* JsonValue::find(std::string_view key) const {
  for (const JsonMember& m : members) {
    if (m.name == key) return &m.value;
  }
  return nullptr;
}

namespace {

using Library = nlohmann::ordered_json;

// The text given to the library: lone surrogate escapes, which it refuses, and U+FDD0 as
// hideSurrogates (json_text.h) writes them, so that every string it gives back reveals
// the same units. `shifts` records where the text grew, to find an error's place in the
// original.
struct Prepared {
  std::string text;
  std::vector<std::pair<std::size_t, std::size_t>> shifts;  // (end in `text`, bytes added up to there)
};

unsigned escapeAt(std::string_view text, std::size_t at) {  // the unit of "\uXXXX" at `at`, or 0x10000
  if (text.size() < at + 6 || text.substr(at, 2) != "\\u") return 0x10000;
  const std::optional<char16_t> unit = theme::hexUnit(text.substr(at + 2, 4));
  return unit ? *unit : 0x10000;
}

Prepared prepare(std::string_view text) {
  Prepared p;
  p.text.reserve(text.size());
  const auto replace = [&](std::size_t length, const std::string& with) {
    p.text += with;
    const std::size_t added = (p.shifts.empty() ? 0 : p.shifts.back().second) + with.size() - length;
    p.shifts.emplace_back(p.text.size(), added);
  };
  bool inString = false;
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (!inString) {
      inString = c == '"';
      p.text += c;
      ++at;
      continue;
    }
    if (c == '"') {
      inString = false;
    } else if (c == '\\') {
      const unsigned unit = escapeAt(text, at);
      const bool high = unit >= 0xD800 && unit <= 0xDBFF;
      const unsigned next = high ? escapeAt(text, at + 6) : 0x10000;
      if (high && next >= 0xDC00 && next <= 0xDFFF) {  // a pair: the library reads it
        p.text.append(text.substr(at, 12));
        at += 12;
      } else if ((unit >= 0xD800 && unit <= 0xDFFF) || unit == 0xFDD0) {
        std::string hidden;
        if (unit == 0xFDD0) {
          hidden = hideSurrogates("\xEF\xB7\x90");
        } else {
          theme::appendSurrogate(hidden, static_cast<char16_t>(unit));
          hidden = hideSurrogates(hidden);
        }
        replace(6, hidden);
        at += 6;
      } else {
        p.text.append(text.substr(at, std::min<std::size_t>(2, text.size() - at)));
        at += 2;
      }
      continue;
    } else if (text.substr(at, 3) == "\xEF\xB7\x90") {
      replace(3, hideSurrogates(text.substr(at, 3)));
      at += 3;
      continue;
    }
    p.text += c;
    ++at;
  }
  return p;
}

// The place in the original text of byte `at` of the prepared one.
std::size_t originalOffset(const Prepared& p, std::size_t at) {
  std::size_t added = 0;
  for (const auto& [end, total] : p.shifts) {
    if (end > at) break;
    added = total;
  }
  return at >= added ? at - added : 0;
}

// The error's "line L, column C" counts lines and characters, not bytes.
[[noreturn]] void fail(std::string_view text, std::size_t offset, const std::string& what, Language language) {
  offset = std::min(offset, text.size());
  std::size_t line = 1;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  std::size_t column = 1;
  for (std::size_t i = lineStart; i < offset;) {
    i += theme::characterAt(text, i).length;  // columns count characters, not bytes
    ++column;
  }
  throw Error(kFailed, say(language, "line {0}, column {1}: {2}", {std::to_string(line), std::to_string(column), what}));
}

// The library's reasons in the project's own words (its messages are never shown).
std::string reasonOf(const std::string& library, const std::string& lastToken, Language language) {
  const auto has = [&](const char* part) { return library.find(part) != std::string::npos; };
  if (has("number overflow")) return say(language, "number out of range");
  if (has("expected string literal")) return say(language, "expected a member name");
  if (has("unexpected end of input")) return say(language, "unexpected end of text");
  if (has("expected end of input")) return say(language, "unexpected text after the JSON value");
  if (has("missing closing quote")) return say(language, "unterminated string");
  if (has("control character")) return say(language, "control character in a string");
  if (has("forbidden character after backslash")) return say(language, "unknown escape in a string");
  if (has("must be followed by 4 hex digits")) return say(language, "expected four hex digits after \\u");
  if (has("ill-formed UTF-8")) return say(language, "invalid UTF-8");
  if (has("expected digit")) return say(language, "expected a digit");
  for (const char close : {']', '}', ':'}) {
    if (has((std::string("; expected '") + close + "'").c_str())) return say(language, "expected '{0}'", {std::string(1, close)});
  }
  if (has("invalid literal")) {
    // A misspelt true, false or null is a word; anything else is no value at all.
    std::size_t word = lastToken.size();
    while (word > 0 && lastToken[word - 1] >= 'a' && lastToken[word - 1] <= 'z') --word;
    if (word < lastToken.size() && std::string_view("tfn").find(lastToken[word]) != std::string_view::npos) {
      return say(language, "unknown word");
    }
  }
  return say(language, "expected a value");
}

// Builds the document from the library's events: members kept in order, a duplicate
// member and nesting deeper than kMaxJsonDepth refused where they are.
class Builder {
 public:
  using number_integer_t = Library::number_integer_t;
  using number_unsigned_t = Library::number_unsigned_t;
  using number_float_t = Library::number_float_t;
  using string_t = Library::string_t;
  using binary_t = Library::binary_t;

  Builder(const Prepared& prepared, std::string_view original, const std::size_t& read, Language language)
      : prepared_(prepared), original_(original), read_(read), language_(language) {}

  bool null() { return add(JsonValue{}); }
  bool boolean(bool b) {
    JsonValue v;
    v.kind = JsonValue::Kind::Boolean;
    v.boolean = b;
    return add(std::move(v));
  }
  bool number_integer(number_integer_t n) { return number(static_cast<double>(n)); }
  bool number_unsigned(number_unsigned_t n) { return number(static_cast<double>(n)); }
  bool number_float(number_float_t n, const string_t& /*text*/) { return number(n); }
  bool string(string_t& s) {
    JsonValue v;
    v.kind = JsonValue::Kind::String;
    v.string = revealSurrogates(s);
    return add(std::move(v));
  }
  bool binary(binary_t& /*bytes*/) { return add(JsonValue{}); }  // JSON text has none
  bool start_object(std::size_t /*size*/) { return open(JsonValue::Kind::Object); }
  bool start_array(std::size_t /*size*/) { return open(JsonValue::Kind::Array); }
  bool end_object() { return close(); }
  bool end_array() { return close(); }
  bool key(string_t& name) {
    std::string revealed = revealSurrogates(name);
    if (!levels_.back().names.insert(revealed).second) {
      failAt(keyStart(), say(language_, "member {0} given twice", {cli::quoted(revealed)}));
    }
    levels_.back().key = std::move(revealed);
    return true;
  }
  bool parse_error(std::size_t position, const std::string& lastToken, const nlohmann::detail::exception& ex) {
    std::size_t at = position == 0 ? 0 : position - 1;
    if (std::string(ex.what()).find("after backslash") != std::string::npos && at > 0) --at;  // at the backslash
    failAt(at, reasonOf(ex.what(), lastToken, language_));
  }

  JsonValue result() { return std::move(root_); }

 private:
  struct Level {
    JsonValue value;
    std::string key;
    std::unordered_set<std::string> names;
  };

  [[noreturn]] void failAt(std::size_t preparedOffset, const std::string& what) const {
    fail(original_, originalOffset(prepared_, preparedOffset), what, language_);
  }
  // Where the member name just read starts: back from the last byte read to its opening quote.
  std::size_t keyStart() const {
    const std::string& t = prepared_.text;
    std::size_t at = std::min(read_, t.size());
    while (at > 0 && t[at - 1] != '"') --at;  // the closing quote
    if (at > 0) --at;
    while (at > 0) {
      --at;
      if (t[at] != '"') continue;
      std::size_t slashes = 0;
      while (at > slashes && t[at - 1 - slashes] == '\\') ++slashes;
      if (slashes % 2 == 0) break;
    }
    return at;
  }
  bool number(double n) {
    JsonValue v;
    v.kind = JsonValue::Kind::Number;
    v.number = n;
    return add(std::move(v));
  }
  bool add(JsonValue v) {
    if (levels_.empty()) {
      root_ = std::move(v);
    } else if (levels_.back().value.is(JsonValue::Kind::Array)) {
      levels_.back().value.items.push_back(std::move(v));
    } else {
      levels_.back().value.members.push_back({std::move(levels_.back().key), std::move(v)});
    }
    return true;
  }
  bool open(JsonValue::Kind kind) {
    if (levels_.size() >= kMaxJsonDepth) failAt(read_ == 0 ? 0 : read_ - 1, say(language_, "nested too deeply"));
    Level level;
    level.value.kind = kind;
    levels_.push_back(std::move(level));
    return true;
  }
  bool close() {
    JsonValue done = std::move(levels_.back().value);
    levels_.pop_back();
    return add(std::move(done));
  }

  const Prepared& prepared_;
  std::string_view original_;
  const std::size_t& read_;
  Language language_;
  std::vector<Level> levels_;
  JsonValue root_;
};

// An iterator over the prepared text that remembers how far the library has read, for
// the places of errors the library raises outside its parse_error event.
class CountingIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  CountingIterator(const char* at, const char* start, std::size_t* read) : at_(at), start_(start), read_(read) {}
  reference operator*() const {
    *read_ = std::max(*read_, static_cast<std::size_t>(at_ - start_) + 1);
    return *at_;
  }
  CountingIterator& operator++() {
    ++at_;
    return *this;
  }
  CountingIterator operator++(int) {
    CountingIterator before = *this;
    ++at_;
    return before;
  }
  bool operator==(const CountingIterator& other) const { return at_ == other.at_; }
  bool operator!=(const CountingIterator& other) const { return at_ != other.at_; }

 private:
  const char* at_;
  const char* start_;
  std::size_t* read_;
};

}  // namespace

JsonValue parseJson(std::string_view text, Language language) {
  const Prepared prepared = prepare(text);
  std::size_t read = 0;
  Builder builder(prepared, text, read, language);
  const char* begin = prepared.text.data();
  const char* end = begin + prepared.text.size();
  try {
    Library::sax_parse(CountingIterator(begin, begin, &read), CountingIterator(end, begin, &read), &builder);
  } catch (const nlohmann::json::out_of_range&) {  // a number beyond double's range
    fail(text, originalOffset(prepared, read == 0 ? 0 : read - 1), say(language, "number out of range"), language);
  }
  return builder.result();
}

}  // namespace cli
