#include "json_writer.h"

#include <cmath>
#include <cstdint>
#include <ostream>
#include <utility>

#include <nlohmann/json.hpp>

#include "json_text.h"

namespace cli {

JsonValue jsonText(std::string utf8) {
  JsonValue v;
  v.kind = JsonValue::Kind::String;
  v.string = std::move(utf8);
  return v;
}

JsonValue jsonNumber(double number) {
  JsonValue v;
  v.kind = JsonValue::Kind::Number;
  v.number = number;
  return v;
}

JsonValue jsonArray() {
  JsonValue v;
  v.kind = JsonValue::Kind::Array;
  return v;
}

JsonValue jsonObject() {
  JsonValue v;
  v.kind = JsonValue::Kind::Object;
  return v;
}

JsonValue& addMember(JsonValue& object, std::string name, JsonValue value) {
  object.members.push_back({std::move(name), std::move(value)});
  return object.members.back().value;
}

namespace {

nlohmann::ordered_json toLibrary(const JsonValue& v) {
  switch (v.kind) {
    case JsonValue::Kind::Null: return nullptr;
    case JsonValue::Kind::Boolean: return v.boolean;
    case JsonValue::Kind::Number:
      // Whole numbers as integers: "1", never "1.0".
      if (std::floor(v.number) == v.number && std::fabs(v.number) < 1e15) return static_cast<std::int64_t>(v.number);
      return v.number;
    case JsonValue::Kind::String: return hideSurrogates(v.string);
    case JsonValue::Kind::Array: {
      nlohmann::ordered_json array = nlohmann::ordered_json::array();
      for (const JsonValue& item : v.items) array.push_back(toLibrary(item));
      return array;
    }
    case JsonValue::Kind::Object: {
      nlohmann::ordered_json object = nlohmann::ordered_json::object();
      for (const JsonMember& m : v.members) object[hideSurrogates(m.name)] = toLibrary(m.value);
      return object;
    }
  }
  return nullptr;
}

}  // namespace

void writeJson(std::ostream& out, const JsonValue& document) {
  // Members in their order (ordered_json), two spaces a level, non-ASCII text as UTF-8.
  out << escapeForTerminals(toLibrary(document).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace))
      << '\n';
}

}  // namespace cli
