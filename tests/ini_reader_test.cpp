// Theme INI texts into font rows: line cutting, comments, sections, fields, the font
// test, routing to pages, and the limits beyond which a line is not listed.
#include <gtest/gtest.h>

#include <string>

#include "page_routing.h"
#include "test_support.h"
#include "ini_reader.h"
#include "ini_syntax.h"

namespace marvento_test {
namespace {

// One page ("Normal") whose only file name is BLUE, so BLUE_INI lists on page 0.
std::vector<Row> readBlue(std::u16string_view text) {
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  theme::readIniFontEntries(span(utf16le(text)), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  return rowsOf(pages, 0);
}

Row blue(std::string section, std::string key, std::string font, std::string size, std::string option = "") {
  return Row{"BLUE_INI", std::move(section), std::move(key), std::move(font), std::move(size), std::move(option)};
}

TEST(IniFields, TheDocumentedExamples) {
  EXPECT_EQ(readBlue(u"[S]\r\nFont = ms ui gothic, 9, Bold\r\n"),
            (std::vector<Row>{blue("S", "Font", "ms ui gothic", "9", "Bold")}));
  EXPECT_EQ(readBlue(u"Font=ms ui gothic,9"), (std::vector<Row>{blue("", "Font", "ms ui gothic", "9")}));
  EXPECT_EQ(readBlue(u"  Font = ms ui gothic , 10 ,  Bold Italic  \r\n"),
            (std::vector<Row>{blue("", "  Font", "ms ui gothic", "10", "Bold Italic")}));
  EXPECT_EQ(readBlue(u"Font = a, b, c, d\r\n"), (std::vector<Row>{blue("", "Font", "a", "b", "c, d")}));
}

TEST(IniFields, OnlyBlanksAreTrimmedAndBlankFieldsBecomeEmpty) {
  EXPECT_EQ(readBlue(u"Font\t= a\t, 9\r\n"), (std::vector<Row>{blue("", "Font\t", "a\t", "9")}));
  EXPECT_EQ(readBlue(u"Font =   ,   ,   \r\n"), (std::vector<Row>{blue("", "Font", "", "", "")}));
}

TEST(IniLines, CommentsAreOnlyLinesWhoseFirstUnitIsASemicolon) {
  EXPECT_TRUE(readBlue(u"; Font = ms ui gothic, 9\r\n").empty());
  EXPECT_EQ(readBlue(u" ; Font = ms ui gothic, 9\r\n"),
            (std::vector<Row>{blue("", " ; Font", "ms ui gothic", "9")}));
  // A comment holding brackets does not change the section.
  EXPECT_EQ(readBlue(u"[S]\r\n;[T]\r\nFont = a, 1\r\n"), (std::vector<Row>{blue("S", "Font", "a", "1")}));
}

TEST(IniLines, BlankLinesLoneBreaksAndTheLastLine) {
  EXPECT_EQ(readBlue(u"[S]\r\nFont = a, 1\r\n\r\n\r\n\n\rFont2 = b, 2"),
            (std::vector<Row>{blue("S", "Font", "a", "1"), blue("S", "Font2", "b", "2")}));
  // A lone CR or LF does not end a line: the second key is part of the first line.
  EXPECT_EQ(readBlue(u"Font = a, 1\rBFont = b, 2\r\n"),
            (std::vector<Row>{blue("", "Font", "a", "1\rBFont = b", "2")}));
  EXPECT_EQ(readBlue(u"Font = a, 1\nBFont = b, 2\r\n"),
            (std::vector<Row>{blue("", "Font", "a", "1\nBFont = b", "2")}));
}

TEST(IniLines, TextEndsAtFirstNulAndIgnoresAnOddByte) {
  EXPECT_EQ(readBlue(std::u16string(u"Font = a, 1\r\n") + u'\0' + u"Font2 = b, 2\r\n"),
            (std::vector<Row>{blue("", "Font", "a", "1")}));
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  Bytes odd = utf16le(u"Font = a, 1");
  odd.push_back('2');
  theme::readIniFontEntries(span(odd), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(rowsOf(pages, 0), (std::vector<Row>{blue("", "Font", "a", "1")}));
  EXPECT_TRUE(readBlue(u"").empty());
}

// The scans look at four units at a time: a line end, a text end, brackets, '=' and ',' are
// found wherever they fall in a group of four, at the very end of a text too.
TEST(IniLines, EveryMarkIsFoundAtEveryPlaceWithinFourUnits) {
  for (std::size_t pad = 0; pad < 9; ++pad) {
    const std::u16string blanks(pad, u' ');
    const std::u16string line = blanks + u"Font" + blanks + u"=" + blanks + u"a" + blanks + u"," + blanks + u"9\r\n";
    EXPECT_EQ(theme::iniLineEnd(line + u"X", 0), line.size()) << pad;
    EXPECT_EQ(theme::iniLineEnd(blanks + u"\r", 0), pad + 1) << pad << ": a CR without LF at the end";
    EXPECT_EQ(theme::iniTextLength(blanks + u'\0' + u"x"), pad) << pad;
    EXPECT_EQ(theme::iniTextLength(blanks), pad) << pad;
    EXPECT_EQ(readBlue(blanks + u"[S" + blanks + u"]\r\n" + line),
              (std::vector<Row>{blue("S" + std::string(pad, ' '), std::string(pad, ' ') + "Font", "a", "9")}))
        << pad;
  }
}

TEST(IniSections, BracketsAnywhereSetTheSectionForThatLineAndAfter) {
  EXPECT_EQ(readBlue(u"Font = a, 1\r\n[S]\r\nColor = [b]\r\nFont = c, 2\r\nMyFont = d, 3 [e]\r\n"),
            (std::vector<Row>{blue("", "Font", "a", "1"), blue("b", "Font", "c", "2")}));
  // A font line that holds section brackets sets the section but is not listed: its
  // rewrite could drop the brackets and move every later line to another section.
  EXPECT_EQ(readBlue(u"MyFont = d, 3 [e]\r\nFont = c, 2\r\n"), (std::vector<Row>{blue("e", "Font", "c", "2")}));
  EXPECT_EQ(readBlue(u"[ Sp ace ]\r\nFont = a, 1\r\n"), (std::vector<Row>{blue(" Sp ace ", "Font", "a", "1")}));
  // The section starts empty again for every text.
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  theme::readIniFontEntries(span(utf16le(u"[S]\r\n")), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  theme::readIniFontEntries(span(utf16le(u"Font = a, 1\r\n")), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(rowsOf(pages, 0), (std::vector<Row>{blue("", "Font", "a", "1")}));
}

TEST(IniFontTest, OnlyTheKeyDecides) {
  EXPECT_TRUE(readBlue(u"Color = font, 9\r\n").empty());
  EXPECT_TRUE(readBlue(u" = Tahoma, 9\r\n").empty());
  EXPECT_TRUE(readBlue(u"Font Tahoma, 9\r\n").empty());
  EXPECT_EQ(readBlue(u"CaptionFONT = a, 1\r\nxFoNtx = b, 2\r\n"),
            (std::vector<Row>{blue("", "CaptionFONT", "a", "1"), blue("", "xFoNtx", "b", "2")}));
}

// A font value without "," is not listed and never borrows another line's values.
TEST(IniFontTest, ValueWithoutCommaIsNotListed) {
  EXPECT_EQ(readBlue(u"Font = a, 1, Bold\r\nFont2 = Tahoma\r\nFont3 = b, 2\r\n"),
            (std::vector<Row>{blue("", "Font", "a", "1", "Bold"), blue("", "Font3", "b", "2")}));
}

std::u16string lineOfLength(std::size_t units) {
  // Blanks after "=" belong to no field, so they lengthen the line alone.
  const std::u16string head = u"Font =";
  const std::u16string tail = u"a, 1";
  return head + std::u16string(units - head.size() - tail.size(), u' ') + tail;
}

TEST(IniLimits, LinesBeyond511UnitsAreNotListed) {
  EXPECT_EQ(readBlue(lineOfLength(511) + u"\r\n\r\n\r\n"), (std::vector<Row>{blue("", "Font", "a", "1")}));
  EXPECT_EQ(readBlue(lineOfLength(511)), (std::vector<Row>{blue("", "Font", "a", "1")}));
  EXPECT_TRUE(readBlue(lineOfLength(512) + u"\r\n").empty());
  EXPECT_TRUE(readBlue(lineOfLength(5000) + u"\r\n").empty());
  // The next line is read normally.
  EXPECT_EQ(readBlue(lineOfLength(600) + u"\r\nFont2 = b, 2\r\n"), (std::vector<Row>{blue("", "Font2", "b", "2")}));
}

TEST(IniLimits, FieldsBeyond63UnitsAreNotListed) {
  const std::u16string f63(63, u'f');
  const std::u16string f64(64, u'f');
  EXPECT_EQ(readBlue(u"Font = " + f63 + u", 1\r\n").size(), 1U);
  EXPECT_TRUE(readBlue(u"Font = " + f64 + u", 1\r\n").empty());
  EXPECT_TRUE(readBlue(u"Font = a, " + f64 + u"\r\n").empty());
  EXPECT_TRUE(readBlue(u"Font = a, 1, " + f64 + u"\r\n").empty());
  EXPECT_TRUE(readBlue(u"Font" + std::u16string(60, u'k') + u" = a, 1\r\n").empty());
  EXPECT_EQ(readBlue(u"Font" + std::u16string(59, u'k') + u" = a, 1\r\n").size(), 1U);
  EXPECT_TRUE(readBlue(u"[" + f64 + u"]\r\nFont = a, 1\r\n").empty());
  EXPECT_EQ(readBlue(u"[" + f63 + u"]\r\nFont = a, 1\r\n").size(), 1U);
}

TEST(IniLimits, CellsWhoseAnsiFormExceeds63BytesAreNotListed) {
  const std::u16string a31(31, u'あ');  // 62 bytes in code page 932
  const std::u16string a32(32, u'あ');  // 64 bytes, though only 32 units
  std::string sjis31;
  for (int i = 0; i < 31; ++i) sjis31 += sjis({0x82, 0xA0});
  EXPECT_EQ(readBlue(u"Font = " + a31 + u", 1\r\n"), (std::vector<Row>{blue("", "Font", sjis31, "1")}));
  EXPECT_TRUE(readBlue(u"Font = " + a32 + u", 1\r\n").empty());
  EXPECT_TRUE(readBlue(u"[" + a32 + u"]\r\nFont = a, 1\r\n").empty());
  EXPECT_TRUE(readBlue(u"Font = a, 1, " + a32 + u"\r\n").empty());
}

TEST(IniRouting, MainTextListsBySectionRemainderOnEveryMatchingPage) {
  theme::FontPages pages = pagesWith({u"Normal", u"Large", u"Huge", u"large"}, 1, {});
  theme::readIniFontEntries(span(utf16le(u"[Sizes.LARGE]\r\nFont = a, 1\r\n"
                                         u"[xxxxxxhuge]\r\nFont = b, 2\r\n"
                                         u"[Size.L]\r\nFont = c, 3\r\n"
                                         u"[Normal]\r\nFont = d, 4\r\n")), u"themes_ini", theme::PageRouter(pages, cp932()), pages);
  const Row large{"themes_ini", "Sizes.LARGE", "Font", "a", "1", ""};
  EXPECT_TRUE(rowsOf(pages, 0).empty());
  EXPECT_EQ(rowsOf(pages, 1), (std::vector<Row>{large}));
  EXPECT_EQ(rowsOf(pages, 2), (std::vector<Row>{Row{"themes_ini", "xxxxxxhuge", "Font", "b", "2", ""}}));
  EXPECT_EQ(rowsOf(pages, 3), (std::vector<Row>{large}));
}

TEST(IniRouting, MainTextShortSectionMatchesOnlyAnEmptySizeName) {
  theme::FontPages pages = pagesWith({u"Normal", u""}, 1, {});
  theme::readIniFontEntries(span(utf16le(u"[Sizes]\r\nFont = a, 1\r\nFont = b, 2\r\n")), u"THEMES_INI", theme::PageRouter(pages, cp932()), pages);
  EXPECT_TRUE(rowsOf(pages, 0).empty());
  EXPECT_EQ(rowsOf(pages, 1).size(), 2U);
}

TEST(IniRouting, OnlyPagesBelowThePageCountTakePart) {
  theme::FontPages pages = pagesWith({u"Normal", u"Large"}, 1, {{u"BLUE"}, {u"BLUE"}});
  pages.pageCount = 1;
  theme::readIniFontEntries(span(utf16le(u"[Sizes.Large]\r\nFont = a, 1\r\n")), u"THEMES_INI", theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(pages.rowCount(1), 0U);
}

// File names by [page][colour]: DUP on [0][0], [1][0] and [1][1], OTHER on [0][1].
theme::FontPages twoByTwo() {
  return pagesWith({u"S0", u"S1"}, 2, {{u"DUP", u"OTHER"}, {u"DUP", u"DUP"}});
}

TEST(IniRouting, OtherTextsListOnTheFirstMatchingPageOfEachColour) {
  theme::FontPages pages = twoByTwo();
  theme::readIniFontEntries(span(utf16le(u"[S]\r\nFont = a, 1\r\n")), u"dup_ini", theme::PageRouter(pages, cp932()), pages);
  const Row row{"dup_ini", "S", "Font", "a", "1", ""};
  EXPECT_EQ(rowsOf(pages, 0), (std::vector<Row>{row}));  // colour 0
  EXPECT_EQ(rowsOf(pages, 1), (std::vector<Row>{row}));  // colour 1

  theme::FontPages other = twoByTwo();
  theme::readIniFontEntries(span(utf16le(u"Font = a, 1\r\n")), u"OTHER_INI", theme::PageRouter(other, cp932()), other);
  EXPECT_EQ(other.rowCount(0), 1U);
  EXPECT_EQ(other.rowCount(1), 0U);

  theme::FontPages none = twoByTwo();
  theme::readIniFontEntries(span(utf16le(u"Font = a, 1\r\n")), u"DUP", theme::PageRouter(none, cp932()), none);
  theme::readIniFontEntries(span(utf16le(u"Font = a, 1\r\n")), u"DUPX_INI", theme::PageRouter(none, cp932()), none);
  theme::readIniFontEntries(span(utf16le(u"Font = a, 1\r\n")), u"THEMES_INI", theme::PageRouter(none, cp932()), none);
  EXPECT_EQ(none.rowCount(0) + none.rowCount(1), 0U);
}

TEST(IniRouting, ColoursBeyondTheColourCountDoNotTakePart) {
  theme::FontPages pages = twoByTwo();
  pages.colourCount = 1;
  theme::readIniFontEntries(span(utf16le(u"Font = a, 1\r\n")), u"DUP_INI", theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(pages.rowCount(0), 1U);
  EXPECT_EQ(pages.rowCount(1), 0U);
}

TEST(IniRouting, RowsKeepLineOrderAcrossTexts) {
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  theme::readIniFontEntries(span(utf16le(u"AFont = a, 1\r\nBFont = b, 2\r\n")), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  theme::readIniFontEntries(span(utf16le(u"CFont = c, 3\r\n")), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  std::vector<std::string> keys;
  for (const auto& r : rowsOf(pages, 0)) keys.push_back(r.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"AFont", "BFont", "CFont"}));
}

TEST(IniValues, RowsKeepTheUtf16TheyCameFrom) {
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  theme::readIniFontEntries(span(utf16le(u"Font = Ta\u0639homa, 9 , Bold\r\n")), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  ASSERT_EQ(pages.rowCount(0), 1U);
  const theme::FontRow& row = pages.rows(0)[0];
  EXPECT_EQ(row.font.text, "Ta?homa");
  EXPECT_EQ(row.font.original, u"Ta\u0639homa");
  EXPECT_EQ(row.size.original, u"9");
  EXPECT_EQ(row.option.original, u"Bold");
  EXPECT_FALSE(row.font.edited());
}

}  // namespace
}  // namespace marvento_test
