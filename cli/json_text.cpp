#include "json_text.h"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

#include "utf8.h"
#include "utf8_codec.h"

namespace cli {

namespace {

// nlohmann/json carries UTF-8 only. A lone surrogate (utf8.h) goes through it as the
// noncharacter U+FDD0 followed by its four hex digits, and a real U+FDD0 as U+FDD0
// "FDD0", so that every U+FDD0 the library hands back is one of the two.
constexpr std::string_view kMarker = "\xEF\xB7\x90";  // U+FDD0

}  // namespace

std::string hideSurrogates(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    if (const char16_t unit = surrogateAt(text, at)) {
      out += kMarker;
      out += hexDigits(unit);
      at += 3;
    } else if (text.substr(at, kMarker.size()) == kMarker) {
      out += kMarker;
      out += "FDD0";
      at += kMarker.size();
    } else {
      out += text[at++];
    }
  }
  return out;
}

std::string revealSurrogates(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::optional<char16_t> unit =
        text.substr(at, kMarker.size()) == kMarker ? hexUnit(text.substr(std::min(text.size(), at + kMarker.size()), 4)) : std::nullopt;
    if (unit) {
      if (*unit >= 0xD800 && *unit <= 0xDFFF) {
        appendSurrogate(out, *unit);
      } else {
        out += kMarker;
      }
      at += kMarker.size() + 4;
    } else {
      out += text[at++];
    }
  }
  return out;
}

std::string escapeForTerminals(std::string_view json) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(json.size());
  for (std::size_t at = 0; at < json.size();) {
    const std::string_view hex = json.substr(std::min(json.size(), at + kMarker.size()), 4);
    if (json.substr(at, kMarker.size()) == kMarker && hex.size() == 4) {
      // A hidden surrogate, or a real U+FDD0: both as escapes.
      out += "\\u";
      for (const char c : hex) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      at += kMarker.size() + 4;
      continue;
    }
    const Utf8Char ch = decodeUtf8(json, at);
    if (ch.length != 0 && ch.code >= 0x7F && ch.code <= 0x9F) {  // DEL and C1: JSON allows them, terminals act on them
      out += "\\u00";
      out += kHex[ch.code >> 4];
      out += kHex[ch.code & 0xF];
      at += ch.length;
      continue;
    }
    out += json[at++];
  }
  return out;
}

std::string jsonString(std::string_view utf8) {
  const nlohmann::ordered_json text = hideSurrogates(utf8);
  return escapeForTerminals(text.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

std::string quoted(std::string_view utf8) {
  const std::string_view shown = firstChars(utf8, kQuotedChars);
  std::string q = jsonString(shown);
  if (shown.size() < utf8.size()) q += "...";
  return q;
}

}  // namespace cli
