// String-table blocks regenerated from the rows and the boxes.
#include <gtest/gtest.h>

#include <string>

#include "page_routing.h"
#include "test_support.h"
#include "shown_text.h"
#include "string_table_reader.h"
#include "string_table_rewriter.h"

namespace marvento_test {
namespace {

using Strings = std::vector<std::u16string>;

// Splits a block into its counted strings, independently of the code under test.
Strings splitBlock(const Bytes& b) {
  Strings out;
  std::size_t at = 0;
  while (at + 2 <= b.size()) {
    const std::size_t n = getU16(b, at);
    at += 2;
    std::u16string s;
    for (std::size_t i = 0; i < n; ++i) s.push_back(static_cast<char16_t>(getU16(b, at + 2 * i)));
    at += 2 * n;
    out.push_back(s);
  }
  EXPECT_EQ(at, b.size()) << "block ends inside a string";
  return out;
}

theme::FontPages fOnPage0() { return pagesWith({u"S0", u"S1"}, 1, {{u"F"}, {u"G"}}); }

Bytes rewrite(const Bytes& old, std::uint32_t firstId, const theme::FontPages& pages,
              theme::KeptNames* kept = nullptr) {
  Bytes out;
  theme::rewriteStringTableBlock(span(old), firstId, theme::PageRouter(pages, cp932()), pages, out, kept);
  return out;
}

// Reads `strings` as a block starting at `firstId`, lets `edit` change the pages and
// rewrites the block.
template <typename Edit>
Strings tableRoundTrip(const Strings& strings, std::uint32_t firstId, Edit edit) {
  theme::FontPages pages = fOnPage0();
  const Bytes old = countedStrings(strings);
  theme::readStringTableBlock(span(old), firstId, theme::PageRouter(pages, cp932()), pages);
  edit(pages);
  return splitBlock(rewrite(old, firstId, pages));
}
Strings tableRoundTrip(const Strings& strings, std::uint32_t firstId = 0) {
  return tableRoundTrip(strings, firstId, [](theme::FontPages&) {});
}

TEST(StringRewrite, BlocksWithoutFontEntriesOrNamesAreReproducedByteForByte) {
  theme::FontPages pages = fOnPage0();
  for (const Bytes& old : {stringBlock({{0, u"Blue"}, {3, u"[Fonts]Title=x, 9"}, {15, u"F@[S]Font a, 9"}}),
                           countedStrings({}), countedStrings({u"", u"", u"x"})}) {
    EXPECT_EQ(rewrite(old, 992, pages), old);
  }
}

TEST(StringRewrite, MalformedAndOverLongEntriesAreCopiedUnchanged) {
  const Strings kept = {
      u"F[S]Font=a,9",  u"F@S]Font=a,9", u"F@[S]Font a,9", u"F@[S]Font=a 9",
      u"F@[S]Font=" + std::u16string(64, u'f') + u",9",
      u"F@[S]Font=" + std::u16string(32, u'あ') + u",9",
      u"F@[S]Font=a,9," + std::u16string(600, u' ') + u"Bold",
  };
  for (const auto& s : kept) {
    theme::FontPages pages = fOnPage0();
    const Bytes old = countedStrings({s});
    theme::readStringTableBlock(span(old), 0, theme::PageRouter(pages, cp932()), pages);
    EXPECT_EQ(pages.rowCount(0), 0U);
    EXPECT_EQ(rewrite(old, 0, pages), old) << theme::utf16ToUtf8(s);
  }
}

TEST(StringRewrite, CutShortAndOddBlocksKeepTheirTail) {
  theme::FontPages pages = fOnPage0();
  Bytes cut = countedStrings({u"Blue", u"F@[S]Font=a,9"});
  putU16(cut, 2 + 8, 400);  // the second string claims more than the block holds
  EXPECT_EQ(rewrite(cut, 0, pages), cut);
  Bytes odd = countedStrings({u"Blue"});
  odd.push_back(0x33);
  EXPECT_EQ(rewrite(odd, 0, pages), odd);
}

TEST(StringCanonicalForm, TheDocumentedExamples) {
  EXPECT_EQ(tableRoundTrip({u"F@[S]Font=ms ui gothic,9"}), (Strings{u"F@[S]Font=ms ui gothic, 9"}));
  EXPECT_EQ(tableRoundTrip({u"F@x[S]Font=ms ui gothic, 9"}), (Strings{u"F@[S]Font=ms ui gothic, 9"}));
  EXPECT_EQ(tableRoundTrip({u"F@[S]Font= ms ui gothic,,  9"}), (Strings{u"F@[S]Font= ms ui gothic, 9"}));
  EXPECT_EQ(tableRoundTrip({u"F@[S]Font=a, 9 , Bold"}), (Strings{u"F@[S]Font=a, 9 , Bold"}));
  EXPECT_EQ(tableRoundTrip({u"F@[S]Font=a, 9,   x, y"}), (Strings{u"F@[S]Font=a, 9, x, y"}));
  const Strings canonical = {u"F@[S]Font=ms ui gothic, 9, Bold", u"", u"F@[T]Font=a, 1"};
  EXPECT_EQ(tableRoundTrip(canonical), canonical);
  EXPECT_EQ(countedStrings(tableRoundTrip(canonical)), countedStrings(canonical));
}

TEST(StringCanonicalForm, EntriesWithoutARowAreNormalisedFromTheirOwnText) {
  theme::FontPages pages = pagesWith({u"S0"}, 1, {{u"OTHER"}});
  EXPECT_EQ(splitBlock(rewrite(countedStrings({u"F@x[S]Font=a,,9"}), 0, pages)), (Strings{u"F@[S]Font=a, 9"}));
}

TEST(StringEdits, TheDocumentedExamples) {
  const Strings bold = {u"F@[S]Font=ms ui gothic, 9, Bold"};
  EXPECT_EQ(tableRoundTrip(bold, 0, [](theme::FontPages& p) { p.setCell(0, 0, theme::kColOption, ""); }),
            (Strings{u"F@[S]Font=ms ui gothic, 9"}));
  EXPECT_EQ(tableRoundTrip(bold, 0, [](theme::FontPages& p) { p.setCell(0, 0, theme::kColSize, "10"); }),
            (Strings{u"F@[S]Font=ms ui gothic, 10, Bold"}));
  EXPECT_EQ(tableRoundTrip({u"F@[S]Font=a, 9"}, 0, [](theme::FontPages& p) { p.setCell(0, 0, theme::kColOption, "Italic"); }),
            (Strings{u"F@[S]Font=a, 9, Italic"}));
}

TEST(StringEdits, IdentifyingFieldsKeepTheirUtf16AndEditedValuesGoThroughTheCodePage) {
  const Strings arabic = {u"F@[\u0639S]Font=Ta\u0639homa, 9"};
  EXPECT_EQ(tableRoundTrip(arabic), arabic);
  const std::string msGothic = sjis({0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E});
  EXPECT_EQ(tableRoundTrip(arabic, 0, [&](theme::FontPages& p) { p.setCell(0, 0, theme::kColFont, msGothic); }),
            (Strings{u"F@[\u0639S]Font=ＭＳ ゴシック, 9"}));
}

// The same entry given twice is two settings: each is written from its own row.
TEST(StringRows, ARepeatedEntryKeepsItsOwnRow) {
  const Strings twice = {u"F@[S]Font=a, 1", u"F@[S]Font=b, 2"};
  EXPECT_EQ(tableRoundTrip(twice), twice);
  EXPECT_EQ(tableRoundTrip(twice, 0, [](theme::FontPages& p) { p.setCell(0, 1, theme::kColFont, "z"); }),
            (Strings{u"F@[S]Font=a, 1", u"F@[S]Font=z, 2"}));
  EXPECT_EQ(tableRoundTrip(twice, 0, [](theme::FontPages& p) { p.setCell(0, 0, theme::kColFont, "z"); }),
            (Strings{u"F@[S]Font=z, 1", u"F@[S]Font=b, 2"}));
}

TEST(StringRows, TheLastVisitedPageWins) {
  const Bytes old = countedStrings({u"F@[S]Font=a, 1"});
  auto pages = [&] {
    theme::FontPages p = pagesWith({u"S0", u"S1"}, 2, {{u"F", u"X"}, {u"F", u"F"}});
    theme::readStringTableBlock(span(old), 0, theme::PageRouter(p, cp932()), p);
    EXPECT_EQ(p.rowCount(0), 1U);
    EXPECT_EQ(p.rowCount(1), 1U);
    return p;
  };
  theme::FontPages onPage1 = pages();
  onPage1.setCell(1, 0, theme::kColFont, "one");
  EXPECT_EQ(splitBlock(rewrite(old, 0, onPage1)), (Strings{u"F@[S]Font=one, 1"}));
  theme::FontPages onPage0 = pages();
  onPage0.setCell(0, 0, theme::kColFont, "zero");
  EXPECT_EQ(splitBlock(rewrite(old, 0, onPage0)), (Strings{u"F@[S]Font=a, 1"}));
}

Strings sizeNameBlock() {
  Strings s(16);
  s[8] = u"Normal";
  s[9] = u"\u0639\u0627\u062F\u064A";
  return s;
}

TEST(StringBoxes, ABoxWithANewNameReplacesItsString) {
  Strings expected = sizeNameBlock();
  expected[8] = u"大きい";
  EXPECT_EQ(tableRoundTrip(sizeNameBlock(), 2992,
                      [](theme::FontPages& p) { p.sizeNameBoxes[0].text = sjis({0x91, 0xE5, 0x82, 0xAB, 0x82, 0xA2}); }),
            expected);
}

TEST(StringBoxes, UneditedBoxesWriteBackTheirExactText) {
  EXPECT_EQ(tableRoundTrip(sizeNameBlock(), 2992), sizeNameBlock());
}

TEST(StringBoxes, AnEmptiedBoxKeepsTheStringAndSaysWhatItKept) {
  theme::FontPages pages = fOnPage0();
  const Bytes old = countedStrings(sizeNameBlock());
  theme::readStringTableBlock(span(old), 2992, theme::PageRouter(pages, cp932()), pages);
  pages.sizeNameBoxes[0].text.clear();
  pages.sizeNameBoxes[1].text.clear();
  theme::KeptNames kept;
  EXPECT_EQ(rewrite(old, 2992, pages, &kept), old);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].first, 3000u);
  EXPECT_EQ(kept[0].second.text, "Normal");
  EXPECT_EQ(kept[1].first, 3001u);
  EXPECT_EQ(kept[1].second.text, "????");
  EXPECT_EQ(kept[1].second.original, u"\u0639\u0627\u062F\u064A");
  EXPECT_TRUE(pages.sizeNameBoxes[0].text.empty()) << "the pages are only read";
  EXPECT_EQ(rewrite(old, 2992, pages), old);  // and a second write gives the same bytes
}

TEST(StringBoxes, BoxesFilledByHandWithoutAReadAreWrittenToo) {
  theme::FontPages pages = fOnPage0();
  pages.styleNameBox.text = "Mine";
  Strings block(16);
  block[8] = u"Theirs";
  Strings expected(16);
  expected[8] = u"Mine";
  EXPECT_EQ(splitBlock(rewrite(countedStrings(block), 4992, pages)), expected);
}

TEST(StringBoxes, AFontEntryWithTheStyleIdStaysAFontEntry) {
  Strings block(16);
  block[8] = u"F@[S]Font=a,1";
  Strings expected(16);
  expected[8] = u"F@[S]Font=a, 1";
  EXPECT_EQ(tableRoundTrip(block, 4992, [](theme::FontPages& p) { p.styleNameBox.text = "Mine"; }), expected);
}

}  // namespace
}  // namespace marvento_test
