#pragma once
// What `diff` prints: lines for people, or one JSON document for programs.
#include <iosfwd>

namespace cli {

struct JsonValue;
struct ThemeDifference;
struct Words;

// "Page count: 2 -> 3", "Style name: ...", then per page "[k] <size name>" with its name
// changes and one line per row: "changed", "only in A" or "only in B", the row's
// identity "FILE [SECTION] KEY" and its values as "font, size[, option]"; then a line
// "other language: TYPE NAME LANGUAGE" per text or table that differs in another language;
// then what a write carries unchanged: "other resource: TYPE NAME LANGUAGE", "section
// NAME: changed" (or "only in A/B"), "appended bytes: SIZE-A -> SIZE-B".
void printDifferenceTable(std::ostream& out, const ThemeDifference& difference, const Words& words);

// {"differs": bool, ["pageCount": {"a", "b"}], ["styleName": {"a", "b"}], "pages": [{"index",
// ["sizeName"], ["sizeNameBox"], "changed": [...], "onlyInA": [...], "onlyInB": [...]}],
// ["otherLanguages": [{"type", "name", "language"}]], ["otherResources": (the same)],
// ["sections": [{"name", "change": "changed" | "onlyInA" | "onlyInB"}]], ["appendedBytes": {"a", "b"}]}
JsonValue differenceDocument(const ThemeDifference& difference);

}  // namespace cli
