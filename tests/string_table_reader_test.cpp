// String-table blocks into font rows and into the size-name and style-name boxes.
#include <gtest/gtest.h>

#include <string>

#include "string_entry_syntax.h"
#include "page_routing.h"
#include "test_support.h"
#include "shown_text.h"
#include "string_table_reader.h"

namespace marvento_test {
namespace {

// "F" is the file name of page 1 in colour 0 only.
theme::FontPages fOnPage1() { return pagesWith({u"S0", u"S1", u"S2"}, 1, {{u"G"}, {u"F"}, {u"H"}}); }

std::vector<Row> readOne(std::u16string_view s) {
  theme::FontPages pages = fOnPage1();
  theme::readStringTableBlock(span(countedStrings({std::u16string(s)})), 0, theme::PageRouter(pages, cp932()), pages);
  EXPECT_TRUE(rowsOf(pages, 0).empty());
  EXPECT_TRUE(rowsOf(pages, 2).empty());
  return rowsOf(pages, 1);
}

using Rows = std::vector<Row>;

TEST(StringEntries, TheDocumentedExamples) {
  EXPECT_EQ(readOne(u"F@[S]Font=ms ui gothic, 9, Bold"), (Rows{{"F", "S", "Font", "ms ui gothic", "9", "Bold"}}));
  EXPECT_EQ(readOne(u"F@[S]Font= ms ui gothic,,  9"), (Rows{{"F", "S", "Font", " ms ui gothic", "9", ""}}));
  EXPECT_EQ(readOne(u"F@[S]Font=ms ui gothic, 9 , Bold"), (Rows{{"F", "S", "Font", "ms ui gothic", "9 ", "Bold"}}));
  EXPECT_EQ(readOne(u"F@[S]Title=ms ui gothic, 9, font"), (Rows{{"F", "S", "Title", "ms ui gothic", "9", "font"}}));
  EXPECT_EQ(readOne(u"F@[S]Font=a, 9,  x, y "), (Rows{{"F", "S", "Font", "a", "9", "x, y "}}));
  EXPECT_EQ(readOne(u"F@junk[S]Font=a, 9"), (Rows{{"F", "S", "Font", "a", "9", ""}}));
}

TEST(StringEntries, FontMustFollowTheFirstClosingBracket) {
  EXPECT_TRUE(readOne(u"F@[Fonts]Title=ms ui gothic, 9").empty());
  EXPECT_EQ(readOne(u"F@[S]Title=ms ui gothic, 9 FONT").size(), 1U);
  EXPECT_EQ(readOne(u"F@[S]CaptionFoNt=ms ui gothic, 9").size(), 1U);
  EXPECT_FALSE(theme::looksLikeStringFontEntry(u"Font"));
  EXPECT_FALSE(theme::looksLikeStringFontEntry(u"[Font]x"));
  EXPECT_TRUE(theme::looksLikeStringFontEntry(u"]font"));
}

TEST(StringEntries, FileNameMatchesWholeAndIgnoringCase) {
  EXPECT_EQ(readOne(u"f@[S]Font=a, 9"), (Rows{{"f", "S", "Font", "a", "9", ""}}));
  EXPECT_TRUE(readOne(u"FF@[S]Font=a, 9").empty());
  EXPECT_TRUE(readOne(u"@[S]Font=a, 9").empty());
}

// Lacking "@", "[", "=" after "]" or "," after "=": no entry, and no box text either.
TEST(StringEntries, MissingDelimitersMakeNoEntry) {
  for (const std::u16string s :
       {u"F[S]Font=a, 9", u"F@S]Font=a, 9", u"F@[S]Font a, 9", u"F@[S]Font=a 9", u"F@[S=x]Font a, 9"}) {
    theme::FontPages pages = fOnPage1();
    theme::readStringTableBlock(span(stringBlock({{8, s}})), 2992, theme::PageRouter(pages, cp932()), pages);
    EXPECT_EQ(pages.rowCount(1), 0U) << theme::utf16ToUtf8(s);
    EXPECT_TRUE(pages.sizeNameBoxes[0].text.empty()) << theme::utf16ToUtf8(s);
    EXPECT_FALSE(theme::parseStringFontEntry(s).has_value());
  }
}

TEST(StringEntries, OneRowPerMatchingColourOnItsFirstPage) {
  theme::FontPages pages = pagesWith({u"S0", u"S1"}, 3, {{u"X", u"Y", u"F"}, {u"F", u"F", u"F"}});
  theme::readStringTableBlock(span(countedStrings({u"F@[S]Font=a, 9"})), 0, theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(pages.rowCount(0), 1U);  // colour 2
  EXPECT_EQ(pages.rowCount(1), 2U);  // colours 0 and 1
  pages = pagesWith({u"S0"}, 0, {{u"F"}});
  theme::readStringTableBlock(span(countedStrings({u"F@[S]Font=a, 9"})), 0, theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(pages.rowCount(0), 0U);  // no colours, no rows
}

TEST(StringBoxes, EmptyStringsStillUseIds) {
  theme::FontPages pages = fOnPage1();
  // Block 188 holds 2992..3007: the ninth string is 3000.
  theme::readStringTableBlock(span(stringBlock({{8, u"Normal"}, {11, u"Bigger"}, {12, u"Huge"}})), 2992, theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(pages.sizeNameBoxes[0].text, "Normal");
  EXPECT_TRUE(pages.sizeNameBoxes[1].text.empty());
  EXPECT_EQ(pages.sizeNameBoxes[3].text, "Bigger");  // beyond the page count, still set
  EXPECT_EQ(pages.sizeNameBoxes[4].text, "Huge");
  EXPECT_TRUE(pages.styleNameBox.text.empty());
}

TEST(StringBoxes, StyleNameAndTheOriginalText) {
  theme::FontPages pages = fOnPage1();
  theme::readStringTableBlock(span(stringBlock({{8, u"\u0639\u0627\u062F\u064A"}})), 4992, theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(pages.styleNameBox.text, "????");
  EXPECT_EQ(pages.styleNameBox.original, u"\u0639\u0627\u062F\u064A");
  EXPECT_FALSE(pages.styleNameBox.edited());
}

TEST(StringBoxes, AFontEntryWithABoxIdIsAFontEntryOnly) {
  theme::FontPages pages = fOnPage1();
  theme::readStringTableBlock(span(stringBlock({{8, u"F@[S]Font=a, 9"}})), 2992, theme::PageRouter(pages, cp932()), pages);
  theme::readStringTableBlock(span(stringBlock({{8, u"F@[S]Font=b, 9"}})), 4992, theme::PageRouter(pages, cp932()), pages);
  EXPECT_TRUE(pages.sizeNameBoxes[0].text.empty());
  EXPECT_TRUE(pages.styleNameBox.text.empty());
  EXPECT_EQ(pages.rowCount(1), 2U);
}

TEST(StringBlocks, DataPastTheSixteenthStringTakesTheFollowingIds) {
  std::vector<std::u16string> strings(17);
  strings[16] = u"Sized";  // from first id 2984, the seventeenth string is 3000
  theme::FontPages pages = fOnPage1();
  theme::readStringTableBlock(span(countedStrings(strings)), 2984, theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(pages.sizeNameBoxes[0].text, "Sized");
}

TEST(StringBlocks, TruncatedAndOddBlocksAreReadUpToWhereTheyEnd) {
  theme::FontPages pages = fOnPage1();
  Bytes block = countedStrings({u"F@[S]Font=a, 9", u"F@[S]Font=b, 9"});
  putU16(block, block.size() - std::size_t{2} * 14 - 2, 500);  // the second count runs past the end
  theme::readStringTableBlock(span(block), 0, theme::PageRouter(pages, cp932()), pages);
  EXPECT_EQ(rowsOf(pages, 1), (Rows{{"F", "S", "Font", "a", "9", ""}}));

  theme::FontPages odd = fOnPage1();
  Bytes oddBlock = countedStrings({u"F@[S]Font=a, 9"});
  oddBlock.push_back(7);
  theme::readStringTableBlock(span(oddBlock), 0, theme::PageRouter(odd, cp932()), odd);
  EXPECT_EQ(odd.rowCount(1), 1U);
  theme::readStringTableBlock({}, 0, theme::PageRouter(odd, cp932()), odd);
  EXPECT_EQ(odd.rowCount(1), 1U);
}

TEST(StringLimits, BeyondTheLimitsIsNotListed) {
  const std::u16string f64(64, u'f');
  const std::u16string a32(32, u'あ');  // 64 bytes in code page 932
  EXPECT_EQ(readOne(u"F@[S]Font=" + std::u16string(63, u'f') + u", 9").size(), 1U);
  EXPECT_TRUE(readOne(u"F@[S]Font=" + f64 + u", 9").empty());
  EXPECT_TRUE(readOne(u"F@[" + f64 + u"]Font=a, 9").empty());
  EXPECT_TRUE(readOne(u"F@[S]Font" + f64 + u"=a, 9").empty());
  EXPECT_TRUE(readOne(u"F@[S]Font=a, 9, " + f64).empty());
  EXPECT_TRUE(readOne(u"F@[S]Font=" + a32 + u", 9").empty());
  // 511 units is the longest string read: pad the option's leading blanks.
  const std::u16string head = u"F@[S]Font=a, 9,";
  EXPECT_EQ(readOne(head + std::u16string(511 - head.size() - 1, u' ') + u"B").size(), 1U);
  EXPECT_TRUE(readOne(head + std::u16string(512 - head.size() - 1, u' ') + u"B").empty());
}

}  // namespace
}  // namespace marvento_test
