#include "json_text.h"

#include "utf8.h"
#include "utf8_codec.h"

namespace cli {

std::string jsonString(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  out.reserve(utf8.size() + 2);
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Char ch = decodeUtf8(utf8, at);
    if (ch.length == 0) {
      out += "\\ufffd";
      ++at;
      continue;
    }
    switch (ch.code) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (isControl(ch.code)) {
          out += "\\u00";
          out += kHex[ch.code >> 4];
          out += kHex[ch.code & 0xF];
        } else {
          out.append(utf8.substr(at, ch.length));
        }
    }
    at += ch.length;
  }
  return out + '"';
}

std::string quoted(std::string_view utf8) {
  const std::string_view shown = firstChars(utf8, kQuotedChars);
  std::string q = jsonString(shown);
  if (shown.size() < utf8.size()) q += "...";
  return q;
}

}  // namespace cli
