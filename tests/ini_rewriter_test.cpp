// INI texts regenerated from the rows: canonical font lines, everything else byte for
// byte, first row of a page wins, last visited page wins, unedited values exact.
#include <gtest/gtest.h>

#include <string>

#include "page_routing.h"
#include "test_support.h"
#include "shown_text.h"
#include "ini_reader.h"
#include "ini_rewriter.h"

namespace marvento_test {
namespace {

std::u16string decode(const Bytes& b) {
  std::u16string s;
  for (std::size_t i = 0; i + 1 < b.size(); i += 2) s.push_back(static_cast<char16_t>(getU16(b, i)));
  return s;
}

Bytes rewrite(const Bytes& old, std::u16string_view name, const theme::FontPages& pages) {
  Bytes out;
  theme::rewriteIniText(span(old), name, theme::PageRouter(pages, cp932()), pages, out);
  return out;
}

// Reads `text` as BLUE_INI onto page 0, lets `edit` change the rows, rewrites it.
template <typename Edit>
std::u16string roundTrip(std::u16string_view text, Edit edit) {
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  const Bytes old = utf16le(text);
  theme::readIniFontEntries(span(old), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  edit(pages);
  return decode(rewrite(old, u"BLUE_INI", pages));
}
std::u16string roundTrip(std::u16string_view text) {
  return roundTrip(text, [](theme::FontPages&) {});
}

TEST(IniRewrite, TextsWithoutFontEntriesAreReproducedByteForByte) {
  const std::u16string texts[] = {
      u"",
      u"; comment Font = a, 1\r\n[Globals]\r\nColor = font, 9\r\n\r\n\r\nA=1\rB=2\nC\r\n",
      u"\uFEFF[S]\r\n  spaced = yes  \r\n\r\n",
      u"[S]\r\nFill = 1 2 3",  // last line without CR LF stays without
      u" = Tahoma, 9\r\nFont Tahoma, 9\r\n",
  };
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  for (const auto& t : texts) {
    const Bytes old = utf16le(t);
    EXPECT_EQ(rewrite(old, u"BLUE_INI", pages), old) << theme::utf16ToUtf8(t);
  }
}

TEST(IniRewrite, EntriesBeyondTheLimitsAreCopiedUnchanged) {
  const std::u16string longLine = u"Font =" + std::u16string(520, u' ') + u"a,1\r\n";
  const std::u16string longField = u"Font = " + std::u16string(64, u'f') + u",1\r\n";
  const std::u16string wideCell = u"Font = " + std::u16string(32, u'あ') + u",1\r\n";
  const std::u16string noComma = u"Font=Tahoma  \r\n\r\n";
  const std::u16string longSection = u"[" + std::u16string(64, u's') + u"]\r\nFont=a,1\r\n";
  for (const auto& t : {longLine, longField, wideCell, noComma, longSection})
    EXPECT_EQ(roundTrip(t), t) << theme::utf16ToUtf8(t);
  // ...while the ordinary entries around them are still rewritten, as are those at the
  // limits: 63 units, 63 bytes in the code page.
  EXPECT_EQ(roundTrip(u"Font=a,1\r\n" + noComma + u"Font2=b,2"),
            u"Font = a, 1\r\n" + noComma + u"Font2 = b, 2\r\n");
  const std::u16string units63(63, u'f');
  const std::u16string bytes63 = std::u16string(31, u'あ') + u"x";
  EXPECT_EQ(roundTrip(u"Font=" + units63 + u",1\r\nFont2=" + bytes63 + u",2"),
            u"Font = " + units63 + u", 1\r\nFont2 = " + bytes63 + u", 2\r\n");
}

// The text is read up to its first U+0000; that unit and all after it are kept as they are.
TEST(IniRewrite, WhatFollowsTheFirstNulIsKept) {
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  Bytes old = utf16le(std::u16string(u"A = 1\r\n") + u'\0' + u'\0');
  EXPECT_EQ(rewrite(old, u"BLUE_INI", pages), old);
  old = utf16le(u"A = 1\r\n");
  old.push_back(0x41);  // odd final byte
  EXPECT_EQ(rewrite(old, u"BLUE_INI", pages), old);
  old = utf16le(std::u16string(u"Font=a,1") + u'\0' + u"Font=b,2\r\n");
  EXPECT_EQ(rewrite(old, u"BLUE_INI", pages), utf16le(std::u16string(u"Font = a, 1\r\n") + u'\0' + u"Font=b,2\r\n"));
}

TEST(IniRewrite, AppendsToTheOutput) {
  theme::FontPages pages = pagesWith({u"Normal"}, 1, {{u"BLUE"}});
  Bytes out{1, 2, 3};
  theme::rewriteIniText(span(utf16le(u"Font=a,1")), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages, out);
  Bytes expected{1, 2, 3};
  Bytes line = utf16le(u"Font = a, 1\r\n");
  expected.insert(expected.end(), line.begin(), line.end());
  EXPECT_EQ(out, expected);
}

TEST(IniCanonicalForm, EveryFontEntryIsNormalisedWithOrWithoutARow) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"Font=ms ui gothic,9", u"Font = ms ui gothic, 9\r\n"},
      {u"  Font = ms ui gothic , 10 ,  Bold Italic  \r\n", u"  Font = ms ui gothic, 10, Bold Italic\r\n"},
      {u"Font = a, 1\r\n\r\n\r\nX = 2\r\n\r\n", u"Font = a, 1\r\nX = 2\r\n\r\n"},
      {u"Font = a, b, c, d\n\r\n", u"Font = a, b, c, d\r\n"},
      {u"[S]\r\nFont =   ,   ,   \r\n", u"[S]\r\nFont = , \r\n"},
  };
  theme::FontPages noRows = pagesWith({u"Normal"}, 1, {{u"OTHER"}});
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(roundTrip(in), out) << theme::utf16ToUtf8(in);
    EXPECT_EQ(decode(rewrite(utf16le(in), u"BLUE_INI", noRows)), out) << theme::utf16ToUtf8(in);
  }
}

TEST(IniEdits, TheDocumentedExamples) {
  const std::u16string line = u"Font = ms ui gothic, 9, Bold\r\n";
  const std::u16string grown = roundTrip(line, [](theme::FontPages& p) {
    p.setCell(0, 0, theme::kColSize, "12");
    p.setCell(0, 0, theme::kColOption, "Italic");
  });
  EXPECT_EQ(grown, u"Font = ms ui gothic, 12, Italic\r\n");
  EXPECT_EQ(grown.size() * 2, line.size() * 2 + 6);
  const std::u16string shrunk = roundTrip(line, [](theme::FontPages& p) { p.setCell(0, 0, theme::kColOption, ""); });
  EXPECT_EQ(shrunk, u"Font = ms ui gothic, 9\r\n");
  EXPECT_EQ(shrunk.size() * 2 + 12, line.size() * 2);
  EXPECT_EQ(roundTrip(u"Font = a, 9\r\n", [](theme::FontPages& p) { p.setCell(0, 0, theme::kColOption, "Bold"); }),
            u"Font = a, 9, Bold\r\n");
  EXPECT_EQ(roundTrip(u"Font = a, 9\r\n", [](theme::FontPages& p) { p.setCell(0, 0, theme::kColFont, ""); }),
            u"Font = , 9\r\n");
}

TEST(IniEdits, UneditedValuesKeepTheirUtf16AndEditedOnesGoThroughTheCodePage) {
  const std::u16string text = u"[S]\r\nFont = Ta\u0639homa, 9\r\nFont2 = b, 2\r\n";
  EXPECT_EQ(roundTrip(text), text);
  const std::string msGothic = sjis({0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E});
  EXPECT_EQ(roundTrip(text, [&](theme::FontPages& p) { p.setCell(0, 1, theme::kColFont, msGothic); }),
            u"[S]\r\nFont = Ta\u0639homa, 9\r\nFont2 = ＭＳ ゴシック, 2\r\n");
  // Set back to what it showed, the value counts as unedited again.
  EXPECT_EQ(roundTrip(text, [](theme::FontPages& p) {
              p.setCell(0, 0, theme::kColFont, "x");
              p.setCell(0, 0, theme::kColFont, "Ta?homa");
            }),
            text);
  EXPECT_EQ(roundTrip(text, [](theme::FontPages& p) { p.setFontOfPage(0, "Arial"); }),
            u"[S]\r\nFont = Arial, 9\r\nFont2 = Arial, 2\r\n");
}

// "]" before "[" keeps a line from setting the section; a new face without the "]"
// would turn it into a section header for every later line. Such lines stay unlisted;
// a lone bracket cannot do that.
TEST(IniEdits, EntriesHoldingBothBracketsAreNeitherListedNorRewritten) {
  const std::u16string text = u"[S]\r\nFont = a], 9, [b\r\nFont2 = c], 2\r\n";
  EXPECT_EQ(roundTrip(text, [](theme::FontPages& p) {
              ASSERT_EQ(p.rowCount(0), 1U);
              p.setFontOfPage(0, "Arial");
            }),
            u"[S]\r\nFont = a], 9, [b\r\nFont2 = Arial, 2\r\n");
}

TEST(IniEdits, ValueWithoutCommaNeverTakesAnotherLinesValues) {
  EXPECT_EQ(roundTrip(u"Font = a, 1, Bold\r\nFont2 = Tahoma\r\nFont3 = b, 2\r\n",
                      [](theme::FontPages& p) { p.setCell(0, 0, theme::kColFont, "z"); }),
            u"Font = z, 1, Bold\r\nFont2 = Tahoma\r\nFont3 = b, 2\r\n");
}

// A key given twice is two settings: each is written from its own row.
TEST(IniRows, ARepeatedKeyKeepsItsOwnRow) {
  const std::u16string text = u"[S]\r\nFont = a, 1\r\nFont = b, 2\r\n";
  EXPECT_EQ(roundTrip(text), text);
  EXPECT_EQ(roundTrip(text, [](theme::FontPages& p) { p.setCell(0, 1, theme::kColFont, "z"); }),
            u"[S]\r\nFont = a, 1\r\nFont = z, 2\r\n");
  EXPECT_EQ(roundTrip(text, [](theme::FontPages& p) { p.setCell(0, 0, theme::kColFont, "z"); }),
            u"[S]\r\nFont = z, 1\r\nFont = b, 2\r\n");
  // A section given again further down: its key there is the second row of the setting.
  EXPECT_EQ(roundTrip(u"[S]\r\nFont = a, 1\r\n[T]\r\n[S]\r\nFont = b, 2\r\n",
                      [](theme::FontPages& p) { p.setCell(0, 1, theme::kColFont, "z"); }),
            u"[S]\r\nFont = a, 1\r\n[T]\r\n[S]\r\nFont = z, 2\r\n");
  // Same key in another section is another row.
  EXPECT_EQ(roundTrip(u"[S]\r\nFont = a, 1\r\n[T]\r\nFont = b, 2\r\n",
                      [](theme::FontPages& p) { p.setCell(0, 1, theme::kColFont, "z"); }),
            u"[S]\r\nFont = a, 1\r\n[T]\r\nFont = z, 2\r\n");
}

TEST(IniRows, TheLastVisitedPageWins) {
  // DUP names page 0 and page 1 in colour 0, and page 1 in colour 1: reading lists
  // the entry on page 0 (colour 0) and page 1 (colour 1); writing visits 0, 1, 1.
  const Bytes old = utf16le(u"[S]\r\nFont = a, 1\r\n");
  auto pages = [&] {
    theme::FontPages p = pagesWith({u"S0", u"S1"}, 2, {{u"DUP", u"OTHER"}, {u"DUP", u"DUP"}});
    theme::readIniFontEntries(span(old), u"DUP_INI", theme::PageRouter(p, cp932()), p);
    EXPECT_EQ(p.rowCount(0), 1U);
    EXPECT_EQ(p.rowCount(1), 1U);
    return p;
  };
  theme::FontPages onPage1 = pages();
  onPage1.setCell(1, 0, theme::kColFont, "one");
  EXPECT_EQ(decode(rewrite(old, u"DUP_INI", onPage1)), u"[S]\r\nFont = one, 1\r\n");
  theme::FontPages onPage0 = pages();
  onPage0.setCell(0, 0, theme::kColFont, "zero");
  EXPECT_EQ(decode(rewrite(old, u"DUP_INI", onPage0)), u"[S]\r\nFont = a, 1\r\n");
}

TEST(IniRows, MainTextIsRoutedBySectionOnRewriteToo) {
  const Bytes old = utf16le(u"[Sizes.Large]\r\nFont = a, 1\r\n[Sizes.Normal]\r\nFont = b, 2\r\n");
  theme::FontPages pages = pagesWith({u"Normal", u"Large"}, 1, {});
  theme::readIniFontEntries(span(old), u"THEMES_INI", theme::PageRouter(pages, cp932()), pages);
  ASSERT_EQ(pages.rowCount(0), 1U);
  ASSERT_EQ(pages.rowCount(1), 1U);
  pages.setCell(0, 0, theme::kColSize, "10");
  pages.setCell(1, 0, theme::kColSize, "20");
  EXPECT_EQ(decode(rewrite(old, u"THEMES_INI", pages)),
            u"[Sizes.Large]\r\nFont = a, 20\r\n[Sizes.Normal]\r\nFont = b, 10\r\n");
}

TEST(IniRows, ARowOfAnotherTextIsNotUsed) {
  theme::FontPages pages = pagesWith({u"Normal"}, 2, {{u"BLUE", u"OLIVE"}});
  const Bytes blue = utf16le(u"[S]\r\nFont = a, 1\r\n");
  theme::readIniFontEntries(span(blue), u"BLUE_INI", theme::PageRouter(pages, cp932()), pages);
  pages.setCell(0, 0, theme::kColFont, "z");
  EXPECT_EQ(decode(rewrite(utf16le(u"[S]\r\nFont = b, 2\r\n"), u"OLIVE_INI", pages)), u"[S]\r\nFont = b, 2\r\n");
}

}  // namespace
}  // namespace marvento_test
