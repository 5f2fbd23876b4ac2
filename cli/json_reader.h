#pragma once
// Reading the edited lists given to `write --from`: nlohmann/json reads the syntax (the
// whole of RFC 8259) into these values, strings in UTF-8; the project adds what the
// library lacks: lone surrogate escapes kept, duplicate members refused, a nesting limit,
// and messages of its own that say where ("line L, column C").
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli_error.h"
#include "messages.h"

namespace cli {

// A text that is not JSON is a command-line error of status 1; the message says where
// ("line L, column C: ...").
using JsonError = Error;

struct JsonMember;

struct JsonValue {
  enum class Kind { Null, Boolean, Number, String, Array, Object };
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string string;                                     // UTF-8
  std::vector<JsonValue> items;                           // Array
  std::vector<JsonMember> members;                        // Object, in file order, keys unique

  [[nodiscard]] bool is(Kind k) const { return kind == k; }
  // The member called `key` of an object, or nullptr.
  [[nodiscard]] const JsonValue* find(std::string_view key) const;
};

struct JsonMember {
  std::string name;
  JsonValue value;
};

inline constexpr std::size_t kMaxJsonDepth = 64;

// Throws JsonError, its message in `language`, for anything but one JSON value with
// optional blanks around it, for invalid UTF-8, duplicate keys and nesting deeper than
// kMaxJsonDepth. A lone surrogate's escape is kept as such (shown_text.h).
JsonValue parseJson(std::string_view text, Language language = Language::English);

}  // namespace cli
