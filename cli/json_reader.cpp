#include "json_reader.h"

#include "json_text.h"
#include "messages.h"
#include "utf8.h"
#include "utf8_codec.h"

#include <charconv>
#include <cmath>
#include <unordered_set>
#include <utility>

namespace cli {

const JsonValue* JsonValue::find(std::string_view key) const {
  for (const JsonMember& m : members) {
    if (m.name == key) return &m.value;
  }
  return nullptr;
}

namespace {

// One code point, already checked to be a scalar value, in UTF-8.
void appendUtf8(std::string& out, char32_t c) {
  std::u16string units;
  if (c >= 0x10000) {
    units = {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
  } else {
    units = {static_cast<char16_t>(c)};
  }
  out += theme::utf16ToUtf8(units);
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  JsonValue document() {
    skipBlanks();
    JsonValue v = value(0);
    skipBlanks();
    if (pos_ < text_.size()) fail(say("unexpected text after the JSON value"));
    return v;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;

  [[noreturn]] void fail(const std::string& what) const {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size();) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
        ++i;
        continue;
      }
      const std::size_t length = decodeUtf8(text_, i).length;  // columns count characters, not bytes
      i += length == 0 ? 1 : length;
      ++column;
    }
    throw JsonError(say("line {0}, column {1}: {2}", {std::to_string(line), std::to_string(column), what}));
  }

  [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }
  [[nodiscard]] char peek() const { return atEnd() ? '\0' : text_[pos_]; }

  void skipBlanks() {
    while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) ++pos_;
  }

  void expect(char c) {
    if (peek() != c || atEnd()) fail(say("expected '{0}'", {std::string(1, c)}));
    ++pos_;
  }

  void literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) fail(say("unknown word"));
    pos_ += word.size();
  }

  JsonValue value(std::size_t depth) {
    if (depth >= kMaxJsonDepth) fail(say("nested too deeply"));
    JsonValue v;
    switch (peek()) {
      case '{': object(v, depth); break;
      case '[': array(v, depth); break;
      case '"':
        v.kind = JsonValue::Kind::String;
        v.string = string();
        break;
      case 't':
        literal("true");
        v.kind = JsonValue::Kind::Boolean;
        v.boolean = true;
        break;
      case 'f':
        literal("false");
        v.kind = JsonValue::Kind::Boolean;
        break;
      case 'n': literal("null"); break;
      default:
        if (peek() == '-' || (peek() >= '0' && peek() <= '9')) {
          v.kind = JsonValue::Kind::Number;
          v.number = number();
        } else {
          fail(say(atEnd() ? "unexpected end of text" : "expected a value"));
        }
    }
    return v;
  }

  void object(JsonValue& v, std::size_t depth) {
    v.kind = JsonValue::Kind::Object;
    ++pos_;
    skipBlanks();
    if (peek() == '}') {
      ++pos_;
      return;
    }
    std::unordered_set<std::string> keys;
    for (;;) {
      skipBlanks();
      if (peek() != '"') fail(say("expected a member name"));
      const std::size_t keyPos = pos_;
      std::string key = string();
      if (!keys.insert(key).second) {
        pos_ = keyPos;
        fail(say("member {0} given twice", {quoted(key)}));
      }
      skipBlanks();
      expect(':');
      skipBlanks();
      JsonValue member = value(depth + 1);
      v.members.push_back({std::move(key), std::move(member)});
      skipBlanks();
      if (peek() == ',' && !atEnd()) {
        ++pos_;
        continue;
      }
      expect('}');
      return;
    }
  }

  void array(JsonValue& v, std::size_t depth) {
    v.kind = JsonValue::Kind::Array;
    ++pos_;
    skipBlanks();
    if (peek() == ']') {
      ++pos_;
      return;
    }
    for (;;) {
      skipBlanks();
      v.items.push_back(value(depth + 1));
      skipBlanks();
      if (peek() == ',' && !atEnd()) {
        ++pos_;
        continue;
      }
      expect(']');
      return;
    }
  }

  double number() {
    const std::size_t start = pos_;
    auto digits = [&] {
      const std::size_t from = pos_;
      while (!atEnd() && peek() >= '0' && peek() <= '9') ++pos_;
      if (pos_ == from) fail(say("expected a digit"));
    };
    if (peek() == '-') ++pos_;
    if (peek() == '0' && !atEnd()) {
      ++pos_;
    } else {
      digits();
    }
    if (peek() == '.' && !atEnd()) {
      ++pos_;
      digits();
    }
    if ((peek() == 'e' || peek() == 'E') && !atEnd()) {
      ++pos_;
      if (peek() == '+' || peek() == '-') ++pos_;
      digits();
    }
    double result = 0;
    const auto [ptr, ec] = std::from_chars(text_.data() + start, text_.data() + pos_, result);
    if (ec != std::errc() || ptr != text_.data() + pos_ || !std::isfinite(result)) {
      pos_ = start;
      fail(say("number out of range"));
    }
    return result;
  }

  unsigned hex4() {
    unsigned u = 0;
    for (int i = 0; i < 4; ++i, ++pos_) {
      const char c = peek();
      u <<= 4;
      if (c >= '0' && c <= '9') {
        u |= static_cast<unsigned>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        u |= static_cast<unsigned>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        u |= static_cast<unsigned>(c - 'A' + 10);
      } else {
        fail(say("expected four hex digits after \\u"));
      }
    }
    return u;
  }

  // One UTF-8 sequence copied as it stands, or a failure for an invalid one.
  void utf8Sequence(std::string& out) {
    const std::size_t length = decodeUtf8(text_, pos_).length;
    if (length == 0) fail(say("invalid UTF-8"));
    out.append(text_.substr(pos_, length));
    pos_ += length;
  }

  std::string string() {
    ++pos_;  // the opening quote
    std::string out;
    for (;;) {
      if (atEnd()) fail(say("unterminated string"));
      const auto c = static_cast<unsigned char>(peek());
      if (c == '"') {
        ++pos_;
        return out;
      }
      if (c < 0x20) fail(say("control character in a string"));
      if (c >= 0x80) {
        utf8Sequence(out);
        continue;
      }
      if (c != '\\') {
        out += static_cast<char>(c);
        ++pos_;
        continue;
      }
      const std::size_t escapePos = pos_;
      ++pos_;
      const char e = peek();
      ++pos_;
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          char32_t u = hex4();
          if (u >= 0xD800 && u <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
            pos_ += 2;
            const unsigned low = hex4();
            if (low >= 0xDC00 && low <= 0xDFFF) {
              u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
            } else {
              pos_ = escapePos;
              fail(say("lone surrogate in \\u escape"));
            }
          } else if (u >= 0xD800 && u <= 0xDFFF) {
            pos_ = escapePos;
            fail(say("lone surrogate in \\u escape"));
          }
          appendUtf8(out, u);
          break;
        }
        default:
          pos_ = escapePos;
          fail(say("unknown escape in a string"));
      }
    }
  }
};

}  // namespace

JsonValue parseJson(std::string_view text) { return Parser(text).document(); }

}  // namespace cli
