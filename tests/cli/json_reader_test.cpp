// The JSON reader behind `write --from`: what it decodes and what it refuses, with where.
#include "json_reader.h"
#include "json_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using cli::JsonError;
using cli::JsonValue;
using cli::parseJson;

TEST(JsonReader, DecodesEscapesSurrogatePairsAndRawUtf8) {
  const JsonValue v = parseJson(R"("a\"b\\c\/d\b\f\n\r\t\u00e9\u30B4\ud83d\ude00 ゴ")");
  ASSERT_TRUE(v.is(JsonValue::Kind::String));
  EXPECT_EQ(v.string, "a\"b\\c/d\b\f\n\r\t\xC3\xA9\xE3\x82\xB4\xF0\x9F\x98\x80 \xE3\x82\xB4");
}

// A theme text may hold a lone surrogate; its escape comes back as the same unit, and is
// written as the same escape. Raw bytes of an encoded surrogate stay refused (see below).
TEST(JsonReader, KeepsLoneSurrogatesOfEscapes) {
  struct Case {
    std::string json, units, written;
  };
  const std::vector<Case> cases = {
      {R"("\ud800")", "\xED\xA0\x80", R"("\ud800")"},
      {R"("\udc00")", "\xED\xB0\x80", R"("\udc00")"},
      {R"("a\ud800\u0041")", "a\xED\xA0\x80" "A", R"("a\ud800A")"},
      {R"("\udbff\ud83d\ude00")", "\xED\xAF\xBF\xF0\x9F\x98\x80", "\"\\udbff\xF0\x9F\x98\x80\""},
      // U+FDD0 carries the surrogates through the library: a real one stays itself.
      {R"("\ufdd0")", "\xEF\xB7\x90", R"("\ufdd0")"},
      {"\"\xEF\xB7\x90" "D800\"", "\xEF\xB7\x90" "D800", R"("\ufdd0D800")"},
  };
  for (const Case& c : cases) {
    const JsonValue v = parseJson(c.json);
    EXPECT_EQ(v.string, c.units) << c.json;
    EXPECT_EQ(cli::jsonString(v.string), c.written) << c.json;
  }
}

TEST(JsonReader, ReadsNestedValuesInOrder) {
  const JsonValue v = parseJson(" {\"pages\" : [ {\"index\":0,\"rows\":[]}, -0.5e1, true, false, null ],\r\n\"x\":\"\"}\n");
  ASSERT_TRUE(v.is(JsonValue::Kind::Object));
  ASSERT_EQ(v.members.size(), 2U);
  EXPECT_EQ(v.members[0].name, "pages");
  const JsonValue* pages = v.find("pages");
  ASSERT_NE(pages, nullptr);
  ASSERT_EQ(pages->items.size(), 5U);
  EXPECT_EQ(pages->items[0].find("index")->number, 0);
  EXPECT_TRUE(pages->items[0].find("rows")->is(JsonValue::Kind::Array));
  EXPECT_EQ(pages->items[1].number, -5);
  EXPECT_TRUE(pages->items[2].boolean);
  EXPECT_TRUE(pages->items[3].is(JsonValue::Kind::Boolean));
  EXPECT_FALSE(pages->items[3].boolean);
  EXPECT_TRUE(pages->items[4].is(JsonValue::Kind::Null));
  EXPECT_EQ(v.find("missing"), nullptr);
}

TEST(JsonReader, RefusesWhatIsNotJsonSayingWhere) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "line 1, column 1: unexpected end of text"},
      {"  ", "line 1, column 3: unexpected end of text"},
      {"{\"a\":1,}", "line 1, column 8: expected a member name"},
      {"[1,]", "line 1, column 4: expected a value"},
      {"[1 2]", "line 1, column 4: expected ']'"},
      {"{\"a\" 1}", "line 1, column 6: expected ':'"},
      {"{\"a\":1}x", "line 1, column 8: unexpected text after the JSON value"},
      {"\"abc", "unterminated string"},
      {"\"a\x01\"", "line 1, column 3: control character in a string"},
      {"\"\\x\"", "line 1, column 2: unknown escape"},
      {"\"\\u12G4\"", "four hex digits"},
      {"\"\xC3\"", "invalid UTF-8"},
      {"\"\xC0\xAF\"", "invalid UTF-8"},          // over-long form of '/'
      {"\"\xED\xA0\x80\"", "invalid UTF-8"},      // an encoded surrogate
      {"\"\xF4\x90\x80\x80\"", "invalid UTF-8"},  // beyond U+10FFFF
      {"\xFF", "expected a value"},
      {"01", "unexpected text after"},
      {"-", "expected a digit"},
      {"1.", "expected a digit"},
      {"1e+", "expected a digit"},
      {"1e999", "number out of range"},
      {"tru", "unknown word"},
      {"{\"a\":1,\"a\":2}", "line 1, column 8: member \"a\" given twice"},
      {"{\n  \"a\": [1,\n  x]}", "line 3, column 3: expected a value"},
      {"[\"ゴゴ\", ?]", "line 1, column 8: expected a value"},
      {"[\"\\ud800\", ?]", "line 1, column 12: expected a value"},  // columns of the text as given
      {"{\"\\ud800\":1,\"\\ud800\":2}", "line 1, column 13: member \"\\ud800\" given twice"},
  };
  for (const auto& [text, message] : cases) {
    try {
      (void)parseJson(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const JsonError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << text << " gave: " << e.what();
    }
  }
}

TEST(JsonReader, LimitsNestingInsteadOfExhaustingTheStack) {
  const auto nested = [](std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  EXPECT_NO_THROW((void)parseJson(nested(cli::kMaxJsonDepth)));
  EXPECT_THROW((void)parseJson(nested(cli::kMaxJsonDepth + 1)), JsonError);
  EXPECT_THROW((void)parseJson(std::string(1'000'000, '[')), JsonError);
  EXPECT_THROW((void)parseJson(std::string(1'000'000, '{')), JsonError);
}

}  // namespace
