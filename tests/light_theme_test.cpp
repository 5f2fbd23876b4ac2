// Wine's light.msstyles, both builds (i386 is PE32, x86_64 is PE32+). The expected
// rows were taken by hand from its BLUE_INI text, extracted with python3-pefile.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "theme_rebuild.h"

namespace marvento_test {
namespace {

class LightTheme : public ::testing::TestWithParam<WineTheme> {
 protected:
  void SetUp() override {
    if (!fileExists(GetParam().path))
      GTEST_SKIP() << GetParam().path << " is not installed (Debian package wine32 or wine64)";
    original_ = readFile(GetParam().path);
  }
  Bytes original_;
};

Row lightRow(std::string section, std::string key, std::string size, std::string option = "") {
  return Row{"BLUE_INI", std::move(section), std::move(key), "Tahoma", std::move(size), std::move(option)};
}

TEST_P(LightTheme, ListsItsPagesAndRows) {
  theme::FontPages pages;
  theme::ThemeImage image = theme::loadTheme(GetParam().path, pages, cp932());
  EXPECT_EQ(image.layout.pe32Plus, std::string(GetParam().label) == "x86_64");
  EXPECT_EQ(pages.pageCount, 1);
  EXPECT_EQ(pages.colourCount, 1);
  EXPECT_EQ(pages.sizeNames[0], u"NormalSize");
  EXPECT_EQ(pages.fileNames[0][0], u"BLUE");
  const std::vector<Row> rows = rowsOf(pages, 0);
  ASSERT_EQ(rows.size(), 21U);
  EXPECT_EQ(rows[0], lightRow("Button.Commandlink", "Font", "10"));
  EXPECT_EQ(rows[1], lightRow("Button.Commandlink", "BodyFont", "8"));
  EXPECT_EQ(rows[2], lightRow("Edit.Password", "GlyphFont", "9"));
  EXPECT_EQ(rows[5], lightRow("ListView.GroupHeader", "Heading2Font", "9"));
  EXPECT_EQ(rows[7], lightRow("Rebar", "Font", "8"));
  EXPECT_EQ(rows[8], lightRow("TaskDialog.MainInstructionPane", "Font", "-16"));
  EXPECT_EQ(rows[18], lightRow("Tooltip.StandardTitle", "Font", "-12", "bold"));
  EXPECT_EQ(rows[20], lightRow("Tooltip.BallonTitle", "Font", "-16"));
  for (int k = 1; k < theme::kMaxPages; ++k) EXPECT_TRUE(rowsOf(pages, k).empty());
  // The first language of block 188 is Arabic (language 1): string 3000 is "عادي".
  EXPECT_EQ(pages.sizeNameBoxes[0].original, u"\u0639\u0627\u062F\u064A");
  EXPECT_EQ(pages.sizeNameBoxes[0].text, "????");
  EXPECT_TRUE(pages.styleNameBox.text.empty());
}

// Listing reads the headers, the directory, the name lists, the texts and the string
// tables, not the 7 MB of bitmaps, and lists the same as a load of the whole file.
TEST_P(LightTheme, ListingReadsOnlyWhatItLists) {
  theme::FontPages whole;
  theme::loadTheme(GetParam().path, whole, cp932());
  theme::FontPages listed;
  const theme::ThemeImage image =
      theme::loadTheme(GetParam().path, listed, cp932(), {}, theme::Reading::ListedPartsOnly);
  expectSamePages(whole, listed);
  ASSERT_NE(image.file, nullptr);
  EXPECT_LT(image.file->bytesKept(), original_.size() / 8) << "of " << original_.size();
}

TEST_P(LightTheme, UneditedWriteChangesOnlyBlankLinesAfterFontEntries) {
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(original_, pages);
  const Bytes rebuilt = theme::rebuildTheme(image, pages, cp932()).bytes();
  const auto before = listResources(original_);
  const auto after = listResources(rebuilt);
  ASSERT_EQ(after.size(), before.size());
  // 3 name lists, PACKTHEM_VERSION, 2 texts, 482 bitmaps, 148 string-block languages, VERSION.
  ASSERT_EQ(before.size(), 637U);
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].type, before[i].type) << i;
    EXPECT_EQ(after[i].name, before[i].name) << i;
    EXPECT_EQ(after[i].language, before[i].language) << i;
    if (before[i].name == ResId(u"BLUE_INI")) {
      // Two font lines are followed by a blank line, which the rewrite drops.
      EXPECT_EQ(before[i].data.size(), 147294U);
      EXPECT_EQ(after[i].data.size(), 147290U);
    } else {
      EXPECT_EQ(after[i].data, before[i].data) << i;  // the Arabic strings too
    }
  }
}

TEST_P(LightTheme, WriteLoadWriteIsStable) {
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(original_, pages);
  const Bytes once = theme::rebuildTheme(image, pages, cp932()).bytes();
  EXPECT_EQ(theme::rebuildTheme(image, pages, cp932()).bytes(), once);
  theme::FontPages reread;
  theme::ThemeImage image2 = loadBytes(once, reread);
  expectSamePages(pages, reread);
  EXPECT_EQ(theme::rebuildTheme(image2, reread, cp932()).bytes(), once);
}

TEST_P(LightTheme, BulkFontReachesEveryRow) {
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(original_, pages);
  pages.setFontOfPage(0, "MS UI Gothic");
  const Bytes rebuilt = theme::rebuildTheme(image, pages, cp932()).bytes();
  TempDir dir;
  theme::FontPages reread;
  theme::loadTheme(dir.write("light.msstyles", rebuilt), reread, cp932());
  ASSERT_EQ(reread.rowCount(0), 21U);
  for (const auto& row : rowsOf(reread, 0)) EXPECT_EQ(row.font, "MS UI Gothic") << row.section;
  EXPECT_EQ(rowsOf(reread, 0)[18].option, "bold");
}

// String 3000 comes in 34 languages, Arabic first; a Japanese user reads and edits the
// Japanese one (language 0x0011 in the file), and every other language stays as it was.
TEST_P(LightTheme, TheUsersLanguageIsReadAndEditedAlone) {
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(original_, pages, 0x0411);
  EXPECT_EQ(pages.sizeNameBoxes[0].text, sjis({0x95, 0x57, 0x8F, 0x80}));  // 標準
  pages.sizeNameBoxes[0].text = "Big";
  const auto before = listResources(original_);
  const auto after = listResources(theme::rebuildTheme(image, pages, cp932()).bytes());
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i].type == ResId(6) && before[i].name == ResId(188) && before[i].language == ResId(0x0011)) {
      EXPECT_EQ(after[i].data, stringBlock({{8, u"Big"}}));
    } else if (!(before[i].type == ResId(u"TEXTFILE"))) {
      EXPECT_EQ(after[i].data, before[i].data) << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Wine, LightTheme, ::testing::ValuesIn(wineThemes()),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace marvento_test
