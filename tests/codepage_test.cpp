// The code-page layer, the text module and the case-insensitive comparisons the readers route by.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "codepage.h"
#include "test_support.h"
#include "text_compare.h"
#include "shown_text.h"

namespace marvento_test {
namespace {

TEST(CodePage, ConvertsJapaneseBothWays) {
  const std::string msGothic = sjis({0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E});
  EXPECT_EQ(cp932().toAnsi(u"ＭＳ ゴシック"), msGothic);
  EXPECT_EQ(cp932().toWide(msGothic), u"ＭＳ ゴシック");
  EXPECT_EQ(cp932().toAnsi(u"\uFF71"), sjis({0xB1}));  // half-width katakana is one byte
  EXPECT_EQ(cp932().toWide(sjis({0xB1})), u"\uFF71");
}

TEST(CodePage, UnmappableCharactersBecomeTheDefaultCharacter) {
  EXPECT_EQ(cp932().toAnsi(u"a\u0639b"), "a?b");
  EXPECT_EQ(cp932().toAnsi(u"\u0639\u0627\u062F\u064A"), "????");
}

#ifndef _WIN32
TEST(CodePage, DefaultIs932) {
  const theme::CodePage cp;
  EXPECT_EQ(cp.id(), 932U);
  EXPECT_EQ(cp.toAnsi(u"\u3042"), sjis({0x82, 0xA0}));
}
#endif

TEST(CodePage, AsciiPassesThroughOnlyWhereItCanAndNoLetterIsKeptBack) {
  const theme::CodePage western(1252);
  EXPECT_EQ(western.toAnsi(u"Tahoma \\~"), "Tahoma \\~");
  EXPECT_EQ(western.toWide("Tahoma \\~"), u"Tahoma \\~");
  EXPECT_EQ(cp932().ansiSize(u"Tahoma"), 6U);
  EXPECT_EQ(cp932().ansiSize(u"ＭＳ ゴシック"), 13U);
#ifndef _WIN32
  // iconv's 1258 keeps a letter back for a combining mark, and gives it up at the end.
  const theme::CodePage vietnamese(1258);
  EXPECT_EQ(vietnamese.toWide(vietnamese.toAnsi(u"Vi\u1EC7t")), u"Vi\u1EC7t");
  // EBCDIC holds the letters elsewhere: converted, not passed through.
  const theme::CodePage ebcdic(500);
  EXPECT_EQ(ebcdic.toAnsi(u"A"), "\xC1");
  EXPECT_EQ(ebcdic.toWide("\xC1"), u"A");
#endif
}

TEST(CodePage, UnknownCodePageIsRefused) { EXPECT_THROW(theme::CodePage(54321), std::invalid_argument); }

TEST(CodePage, CutNeverSplitsADoubleByteCharacter) {
  const std::string a = sjis({0x82, 0xA0});  // あ
  EXPECT_EQ(theme::cutAnsi("x" + a + a, 2, cp932()), "x");
  EXPECT_EQ(theme::cutAnsi("x" + a + a, 3, cp932()), "x" + a);
  EXPECT_EQ(theme::cutAnsi("x" + a + a, 4, cp932()), "x" + a);
  EXPECT_EQ(theme::cutAnsi("abc", 63, cp932()), "abc");
}

TEST(Utf8, SurrogatesAndInvalidBytes) {
  EXPECT_EQ(theme::utf16ToUtf8(u"\u3042"), "\xE3\x81\x82");
  EXPECT_EQ(theme::utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(theme::utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(theme::utf8ToUtf16("\xE3\x81\x82"), u"\u3042");
  EXPECT_EQ(theme::utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(theme::utf8ToUtf16("\xC0\xAF\xE3\x81"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // over-long, cut
  // Lone surrogates kept exactly, both ways; a pair stays a pair.
  const std::u16string lone = u"a\xDC00\U0001F600\xD800";
  EXPECT_EQ(theme::exactUtf8(lone), "a\xED\xB0\x80\xF0\x9F\x98\x80\xED\xA0\x80");
  EXPECT_EQ(theme::exactUtf16(theme::exactUtf8(lone)), lone);
  EXPECT_EQ(theme::utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // to the plain form, bytes as any
  // A byte that is not UTF-8 counts as one character and one column.
  EXPECT_EQ(theme::firstChars("\xE3\x82\xB4\xFF" "ab", 2), "\xE3\x82\xB4\xFF");
  EXPECT_EQ(theme::displayWidth("\xE3\x82\xB4\xFF" "a"), 4U);
}

// The one escaper: on a terminal, and in a TSV cell, where backslashes double as well.
TEST(ShownText, EscapesWhatATerminalWouldActOn) {
  struct Case {
    std::string text, shown, tsv;
  };
  const std::vector<Case> cases = {
      {"Tahoma \xE3\x82\xB4", "Tahoma \xE3\x82\xB4", "Tahoma \xE3\x82\xB4"},
      {"a\tb\nc\rd\\e", "a\\tb\\nc\\rd\\e", "a\\tb\\nc\\rd\\\\e"},
      {"\x1B]0;title\x07", "\\x1b]0;title\\x07", "\\x1b]0;title\\x07"},  // sets a terminal's title
      {"\x7F\xC2\x9B" "31m", "\\x7f\\u009b31m", "\\x7f\\u009b31m"},               // DEL, C1 CSI
      {"\xE2\x80\xAA\xE2\x80\xAE\xE2\x81\xA6\xE2\x81\xA9", "\\u202a\\u202e\\u2066\\u2069", "\\u202a\\u202e\\u2066\\u2069"},
      {"\xE2\x80\xAF\xE2\x81\xA5", "\xE2\x80\xAF\xE2\x81\xA5", "\xE2\x80\xAF\xE2\x81\xA5"},  // beside them: shown
      {"a\xFF\xE3\x82", "a\\xff\\xe3\\x82", "a\\xff\\xe3\\x82"},  // not UTF-8, cut
      {"\xED\xA0\x80", "\\ud800", "\\ud800"},                    // a kept lone surrogate
  };
  for (const Case& c : cases) {
    EXPECT_EQ(theme::shown(c.text), c.shown) << c.shown;
    EXPECT_EQ(theme::tsvField(c.text), c.tsv) << c.shown;
  }
}

TEST(TextCompare, LetterCaseIgnored) {
  EXPECT_TRUE(theme::equalsIgnoreCase(u"NormalSize", u"NORMALsize"));
  EXPECT_FALSE(theme::equalsIgnoreCase(u"Normal", u"Normal "));
  EXPECT_FALSE(theme::equalsIgnoreCase(u"Norma", u"Normal"));
  EXPECT_TRUE(theme::containsIgnoreCase(u"CaptionFONT", u"font"));
  EXPECT_TRUE(theme::containsIgnoreCase(u"xFoNtx", u"font"));
  EXPECT_FALSE(theme::containsIgnoreCase(u"fon t", u"font"));
  EXPECT_FALSE(theme::containsIgnoreCase(u"fon", u"font"));
  EXPECT_TRUE(theme::containsIgnoreCase(u"FoFONT", u"font")) << "a partial match before the whole one";
  EXPECT_TRUE(theme::containsIgnoreCase(u"\uFF26\uFF2F\uFF2E\uFF34", u"\uFF46\uFF4F\uFF4E\uFF54")) << "full-width";
  EXPECT_FALSE(theme::containsIgnoreCase(u"\uFF26\uFF2F\uFF2E\uFF34", u"font")) << "full-width is not ASCII";
  EXPECT_TRUE(theme::containsIgnoreCase(u"x", u""));
}

// The shortcut for printable ASCII gives what the escaper gives, in a code page that holds
// ASCII as it is and (where iconv has it) in one that does not (EBCDIC 500).
TEST(ShownText, AnsiCellsAppendedAsTheEscaperShowsThem) {
  std::vector<const theme::CodePage*> codePages{&cp932()};
#ifndef _WIN32
  const theme::CodePage ebcdic(500);
  codePages.push_back(&ebcdic);
#endif
  const std::string cells[] = {"Tahoma", "a\\b", "Ta\tb", "esc\x1b[2J", "del\x7f", "\x82\x6c\x82\x72", ""};
  for (const theme::CodePage* cp : codePages) {
    for (const std::string& cell : cells) {
      const std::string utf8 = theme::ansiToUtf8(cell, *cp);
      std::string table = "|";
      std::string tsv = "|";
      EXPECT_EQ(theme::appendShown(table, cell, *cp), theme::displayWidth(theme::shown(utf8))) << cp->id() << " " << cell;
      theme::appendTsvField(tsv, cell, *cp);
      EXPECT_EQ(table, "|" + theme::shown(utf8)) << cp->id();
      EXPECT_EQ(tsv, "|" + theme::tsvField(utf8)) << cp->id();
    }
  }
}

}  // namespace
}  // namespace marvento_test
