#include "json_text.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "shown_text.h"

namespace cli {

namespace {

// nlohmann/json carries UTF-8 only. A lone surrogate (shown_text.h) goes through it as the
// noncharacter U+FDD0 followed by its four hex digits, and a real U+FDD0 as U+FDD0
// "FDD0", so that every U+FDD0 the library hands back is one of the two.
constexpr std::string_view kMarker = "\xEF\xB7\x90";  // U+FDD0

}  // namespace

std::string hideSurrogates(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    if (const char16_t unit = theme::surrogateAt(text, at)) {
      out += kMarker;
      out += theme::hexDigits(unit, 4);
      at += 3;
    } else if (text.substr(at, kMarker.size()) == kMarker) {
      out += kMarker;
      out += "fdd0";
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
        text.substr(at, kMarker.size()) == kMarker ? theme::hexUnit(text.substr(std::min(text.size(), at + kMarker.size()), 4)) : std::nullopt;
    if (unit) {
      if (*unit >= 0xD800 && *unit <= 0xDFFF) {
        theme::appendSurrogate(out, *unit);
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
  std::string out;
  out.reserve(json.size());
  for (std::size_t at = 0; at < json.size();) {
    const std::string_view hex = json.substr(std::min(json.size(), at + kMarker.size()), 4);
    if (json.substr(at, kMarker.size()) == kMarker && hex.size() == 4) {
      // A hidden surrogate, or a real U+FDD0: both as escapes.
      out += "\\u";
      out += hex;
      at += kMarker.size() + 4;
      continue;
    }
    // C0 in strings the library escapes, and outside them it is the layout; DEL, C1 and
    // the bidirectional controls JSON allows raw, but terminals act on them.
    const theme::Utf8Char ch = theme::characterAt(json, at);
    if (ch.valid && ch.code >= 0x7F && theme::escapedWhenShown(ch.code)) {
      out += "\\u" + theme::hexDigits(ch.code, 4);
    } else {
      out += json.substr(at, ch.length);
    }
    at += ch.length;
  }
  return out;
}

std::string jsonString(std::string_view utf8) {
  const nlohmann::ordered_json text = hideSurrogates(utf8);
  return escapeForTerminals(text.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

std::string quoted(std::string_view utf8) {
  const std::string_view shown = theme::firstChars(utf8, kQuotedChars);
  std::string q = jsonString(shown);
  if (shown.size() < utf8.size()) q += "...";
  return q;
}

}  // namespace cli
