// Fonts carried from another theme, and every size grown or scaled at once.
#include <gtest/gtest.h>

#include <array>

#include <optional>
#include <string>
#include <stdexcept>

#include "fonts_from_theme.h"
#include "size_scaling.h"
#include "tsv_row.h"
#include "test_support.h"

namespace marvento_test {
namespace {

struct Setting {
  std::u16string file, section, key, font, size, option;
  std::size_t occurrence = 0;
};

// Pages holding the settings as rows, all on page 0 unless a page is given.
theme::FontPages pagesOf(int pageCount, const std::vector<std::pair<int, Setting>>& rows) {
  theme::FontPages pages = pagesWith(std::vector<std::u16string>(static_cast<std::size_t>(pageCount), u"S"), 1, {});
  for (const auto& [page, s] : rows) {
    const auto cell = [](const std::u16string& w) { return theme::EditableText::fromFile(w, cp932()); };
    pages.appendRow(page, theme::FontRow{theme::cutToCell(s.file, cp932()), theme::cutToCell(s.section, cp932()),
                                         theme::cutToCell(s.key, cp932()), cell(s.font), cell(s.size), cell(s.option),
                                         theme::rowIdentity(s.file, s.section, s.key), s.occurrence});
  }
  return pages;
}

std::u16string written(const theme::FontPages& pages, int page, std::size_t row) {
  const theme::FontRow& r = pages.rows(page)[row];
  return r.font.toWrite(cp932()) + u"|" + r.size.toWrite(cp932()) + u"|" + r.option.toWrite(cp932());
}

TEST(FontsFromTheme, MatchingRules) {
  const theme::FontPages source = pagesOf(1, {
      {0, {u"A_INI", u"Button", u"Font", u"a", u"8", u""}},
      {0, {u"B_INI", u"Button", u"Font", u"b1", u"9", u"Bold"}},
      {0, {u"B_INI", u"Button", u"Font", u"b2", u"10", u"", 1}},
      {0, {u"A_INI", u"Window", u"CaptionFont", u"\u0639rial", u"-16", u"Italic"}},  // no code-page form
  });
  theme::FontPages target = pagesOf(2, {
      {0, {u"b_ini", u"BUTTON", u"font", u"x", u"1", u""}},           // same file, other case: b1
      {0, {u"B_INI", u"Button", u"Font", u"x", u"1", u"", 1}},        // its second occurrence: b2
      {0, {u"C_INI", u"Button", u"Font", u"x", u"1", u""}},           // no such file: the first, a
      {0, {u"A_INI", u"Window", u"CaptionFont", u"x", u"1", u""}},    // UTF-16 carried as it is
      {0, {u"A_INI", u"Window", u"TitleFont", u"x", u"1", u""}},      // no match: kept
      {0, {u"A_INI", u"Button", u"Font", u"a", u"8", u""}},           // already alike
      {1, {u"A_INI", u"Button", u"Font", u"x", u"1", u""}},           // page the source lacks
  });
  const theme::CarriedFonts result = theme::carryFonts(source, target, cp932());
  EXPECT_EQ(written(target, 0, 0), u"b1|9|Bold");
  EXPECT_EQ(written(target, 0, 1), u"b2|10|");
  EXPECT_EQ(written(target, 0, 2), u"a|8|");
  EXPECT_EQ(written(target, 0, 3), u"\u0639rial|-16|Italic");
  EXPECT_EQ(target.rows(0)[3].font.text, "?rial") << "shown in the code page";
  EXPECT_EQ(written(target, 0, 4), u"x|1|");
  EXPECT_EQ(written(target, 1, 0), u"x|1|");
  EXPECT_EQ(result.changed, 4U);
  EXPECT_EQ(result.alreadyAlike, 1U);
  EXPECT_EQ(result.unmatched, (std::vector<theme::RowPlace>{{0, 4}, {1, 0}}));
  EXPECT_EQ(result.pagesMissing, std::vector<int>{1});
}

// The program copies a row's cells as it shows them (UTF-16), the command line prints
// them from the row: one escaping, the same line wherever the code page holds the text.
TEST(TsvLine, CellsInUtf16AndRowsGiveOneLine) {
  std::vector<std::u16string> cells{u"BLUE_INI", u"Ta\tb", u"K\\ey", u"ＭＳ ゴシック", u"9", u""};
  const theme::FontPages pages = pagesOf(1, {{0, {cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]}}});
  std::array<std::string_view, theme::kColumnCount> shown;
  for (int column = 0; column < theme::kColumnCount; ++column) shown[column] = pages.rows(0)[0].cell(column);
  std::string printed;
  theme::appendTsvLine(printed, 0, shown, cp932());
  EXPECT_EQ(theme::tsvLine(0, cells), printed);
  cells[3] = u"Noto \u0639";
  EXPECT_EQ(theme::tsvLine(2, cells), "2\tBLUE_INI\tTa\\tb\tK\\\\ey\tNoto \xD8\xB9\t9\t");
}

// Rows are found again by identity and occurrence; only a setting given twice gets a list
// of occurrences. A copy finds its own rows once the pages it was made from are gone.
TEST(FontPagesIndex, RowsAreFoundByIdentityAndOccurrenceAlsoInACopy) {
  const auto row = [](std::u16string_view key, std::size_t occurrence) {
    const theme::EditableText v = theme::EditableText::loaded(u"x", "x");
    return theme::FontRow{"F", "S", "K", v, v, v, theme::rowIdentity(u"F", u"S", key), occurrence};
  };
  std::optional<theme::FontPages> original(std::in_place);
  original->pageCount = 2;
  original->appendRow(0, row(u"A", 0));  // row 0
  original->appendRow(0, row(u"B", 0));  // row 1
  original->appendRow(0, row(u"A", 1));  // row 2
  original->appendRow(0, row(u"A", 1));  // row 3: the same occurrence again, not found
  original->appendRow(0, row(u"B", 3));  // row 4: B given again, occurrences 1 and 2 missing
  original->appendRow(1, row(u"A", 0));
  struct Case {
    int page;
    std::u16string_view key;
    std::size_t occurrence;
    std::optional<std::size_t> row;
  };
  const Case cases[] = {{0, u"A", 0, 0}, {0, u"A", 1, 2}, {0, u"A", 2, std::nullopt}, {0, u"B", 0, 1},
                        {0, u"B", 1, std::nullopt}, {0, u"B", 3, 4}, {0, u"C", 0, std::nullopt},
                        {1, u"A", 0, 0}, {1, u"A", 1, std::nullopt}, {1, u"B", 0, std::nullopt}};
  const auto check = [&](const theme::FontPages& pages, const char* which) {
    for (const Case& c : cases) {
      const theme::FontRow* found = pages.findRow(c.page, theme::rowIdentity(u"F", u"S", c.key), c.occurrence);
      std::optional<std::size_t> at;
      for (std::size_t i = 0; i < pages.rowCount(c.page); ++i) {
        if (&pages.rows(c.page)[i] == found) at = i;
      }
      EXPECT_EQ(at, c.row) << which << " page " << c.page << " occurrence " << c.occurrence;
    }
    EXPECT_EQ(pages.occurrencesOn(0, theme::rowIdentity(u"F", u"S", u"A")), 2U) << which;
    EXPECT_EQ(pages.occurrencesOn(0, theme::rowIdentity(u"F", u"S", u"B")), 4U) << which;
    EXPECT_EQ(pages.occurrencesOn(1, theme::rowIdentity(u"F", u"S", u"A")), 1U) << which;
    EXPECT_EQ(pages.occurrencesOn(1, theme::rowIdentity(u"F", u"S", u"C")), 0U) << which;
  };
  check(*original, "original");
  theme::FontPages copy = *original;
  original.reset();
  check(copy, "copy");
  const theme::FontPages moved = std::move(copy);
  check(moved, "moved");
}

TEST(SizeScaling, GrowthAndScaleEdges) {
  struct Case {
    std::u16string size;
    int steps;           // growSizes when there is no factor
    std::string factor;  // else scaleSizes, as typed
    std::string now;
    bool stopped;
  };
  const Case cases[] = {
      {u"8", 1, "", "9", false},           {u"-16", 1, "", "-17", false},  {u"+9", 2, "", "11", false},
      {u"1", -1, "", "1", true},           {u"-1", -3, "", "-1", true},    {u"2", -5, "", "1", true},
      {u"2147483647", 1, "", "2147483647", false},
      {u"8", 0, "1.5", "12", false},       {u"9", 0, "1.5", "14", false},  {u"-3", 0, ".5", "-2", false},
      {u"-16", 0, "0.25", "-4", false},    {u"1", 0, "0.25", "1", false},  {u"10", 0, "4", "40", false},
      // exact decimal: in binary floating point these were -14 and 31
      {u"-25", 0, "0.58", "-15", false},   {u"45", 0, "0.7", "32", false}, {u"45", 0, "0.699999999", "31", false},
      {u"2147483647", 0, "4.000000000", "2147483647", false},  {u"2147483647", 0, "0.25", "536870912", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(theme::cutToCell(c.size, cp932()) + " by " + std::to_string(c.steps) + "/" + c.factor);
    theme::FontPages pages = pagesOf(1, {{0, {u"F", u"S", u"Font", u"a", c.size, u""}}});
    const std::optional<theme::ScaleFactor> factor = theme::scaleFactorOf(c.factor);
    ASSERT_EQ(factor.has_value(), !c.factor.empty());
    const theme::ResizedSizes r = factor ? theme::scaleSizes(pages, *factor) : theme::growSizes(pages, c.steps);
    EXPECT_EQ(pages.rows(0)[0].size.text, c.now);
    EXPECT_EQ(r.stopped, c.stopped ? 1U : 0U);
    EXPECT_EQ(r.changed, pages.rows(0)[0].size.edited() ? 1U : 0U);
  }
}

TEST(SizeScaling, OnlyWholeSizesOfTheChosenPages) {
  theme::FontPages pages = pagesOf(2, {{0, {u"F", u"S", u"Font", u"a", u"9.5", u""}},
                                       {0, {u"F", u"S", u"Font2", u"a", u"big", u""}},
                                       {0, {u"F", u"S", u"Font3", u"a", u"8", u""}},
                                       {1, {u"F", u"S", u"Font", u"a", u"8", u""}}});
  const theme::ResizedSizes r = theme::growSizes(pages, 1, {1});
  EXPECT_EQ(pages.rows(0)[2].size.text, "8");
  EXPECT_EQ(pages.rows(1)[0].size.text, "9");
  EXPECT_EQ(r.changed, 1U);
  EXPECT_EQ(theme::growSizes(pages, 1).notWhole, 2U);
  for (const char* bad : {"0", "-1", "0.2", "0.2499999999", "4.5", "4.0000000001", "1.0000000001", "1,5", "1e0", "+1", ".", "", "1.2.3"}) {
    EXPECT_FALSE(theme::scaleFactorOf(bad)) << bad;
  }
  for (const theme::ScaleFactor bad : {theme::ScaleFactor{1, 10}, theme::ScaleFactor{-1, 0}, theme::ScaleFactor{5, 0}}) {
    EXPECT_THROW(theme::scaleSizes(pages, bad), std::invalid_argument) << bad.digits;
  }
}

}  // namespace
}  // namespace marvento_test
