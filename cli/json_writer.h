#pragma once
// Writing JSON documents: the values of json_reader.h, laid out by nlohmann/json with two
// spaces per level, one member or item per line, as people read and edit them.
#include <iosfwd>
#include <string>

#include "json_reader.h"

namespace cli {

JsonValue jsonText(std::string utf8);
JsonValue jsonNumber(double number);
JsonValue jsonArray();
JsonValue jsonObject();
// Appends a member to an object (names are not checked for uniqueness). The reference
// holds until the next member is added.
JsonValue& addMember(JsonValue& object, std::string name, JsonValue value);

// The document and a final newline.
void writeJson(std::ostream& out, const JsonValue& document);

}  // namespace cli
