#include "json_writer.h"

#include <array>
#include <charconv>
#include <cmath>
#include <ostream>
#include <utility>

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

void writeNumber(std::ostream& out, double number) {
  std::array<char, 32> text{};
  const bool whole = std::floor(number) == number && std::fabs(number) < 1e15;
  const auto result = whole ? std::to_chars(text.begin(), text.end(), static_cast<long long>(number))
                            : std::to_chars(text.begin(), text.end(), number);
  out.write(text.data(), result.ptr - text.data());
}

void writeValue(std::ostream& out, const JsonValue& v, int depth) {
  const auto newline = [&](int level) { out << '\n' << std::string(static_cast<std::size_t>(level) * 2, ' '); };
  switch (v.kind) {
    case JsonValue::Kind::Null: out << "null"; break;
    case JsonValue::Kind::Boolean: out << (v.boolean ? "true" : "false"); break;
    case JsonValue::Kind::Number: writeNumber(out, v.number); break;
    case JsonValue::Kind::String: out << jsonString(v.string); break;
    case JsonValue::Kind::Array:
      if (v.items.empty()) {
        out << "[]";
        break;
      }
      out << '[';
      for (std::size_t i = 0; i < v.items.size(); ++i) {
        if (i > 0) out << ',';
        newline(depth + 1);
        writeValue(out, v.items[i], depth + 1);
      }
      newline(depth);
      out << ']';
      break;
    case JsonValue::Kind::Object:
      if (v.members.empty()) {
        out << "{}";
        break;
      }
      out << '{';
      for (std::size_t i = 0; i < v.members.size(); ++i) {
        if (i > 0) out << ',';
        newline(depth + 1);
        out << jsonString(v.members[i].name) << ": ";
        writeValue(out, v.members[i].value, depth + 1);
      }
      newline(depth);
      out << '}';
      break;
  }
}

}  // namespace

void writeJson(std::ostream& out, const JsonValue& document) {
  writeValue(out, document, 0);
  out << '\n';
}

}  // namespace cli
