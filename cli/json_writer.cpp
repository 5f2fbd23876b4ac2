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

void writeValue(std::ostream& out, const JsonValue& v, int depth);

// An array's items or an object's members, one a line, indented one level deeper than
// the brackets; an empty one stays on its line.
template <class Entries, class WriteEntry>
void writeEntries(std::ostream& out, const Entries& entries, char open, char close, int depth, WriteEntry writeEntry) {
  out << open;
  if (entries.empty()) {
    out << close;
    return;
  }
  const auto newline = [&](int level) { out << '\n' << std::string(static_cast<std::size_t>(level) * 2, ' '); };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) out << ',';
    newline(depth + 1);
    writeEntry(entries[i]);
  }
  newline(depth);
  out << close;
}

void writeValue(std::ostream& out, const JsonValue& v, int depth) {
  switch (v.kind) {
    case JsonValue::Kind::Null: out << "null"; break;
    case JsonValue::Kind::Boolean: out << (v.boolean ? "true" : "false"); break;
    case JsonValue::Kind::Number: writeNumber(out, v.number); break;
    case JsonValue::Kind::String: out << jsonString(v.string); break;
    case JsonValue::Kind::Array:
      writeEntries(out, v.items, '[', ']', depth, [&](const JsonValue& item) { writeValue(out, item, depth + 1); });
      break;
    case JsonValue::Kind::Object:
      writeEntries(out, v.members, '{', '}', depth, [&](const JsonMember& m) {
        out << jsonString(m.name) << ": ";
        writeValue(out, m.value, depth + 1);
      });
      break;
  }
}

}  // namespace

void writeJson(std::ostream& out, const JsonValue& document) {
  writeValue(out, document, 0);
  out << '\n';
}

}  // namespace cli
