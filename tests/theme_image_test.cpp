// Whole images read into pages: the resource walk, dispatch by type name, the language
// read, PE32+ and section layouts where file offsets differ from RVAs.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <cstdlib>
#include <optional>

#include "errors.h"
#include "positioned_file.h"
#include "resource_tree.h"
#include "ui_language.h"
#include "test_support.h"

namespace marvento_test {
namespace {

void expectSampleRead(const theme::FontPages& pages) {
  EXPECT_EQ(pages.pageCount, 2);
  EXPECT_EQ(pages.colourCount, 2);
  EXPECT_EQ(pages.sizeNames[0], u"NormalSize");
  EXPECT_EQ(pages.sizeNames[1], u"LargeFonts");
  EXPECT_EQ(pages.fileNames[1][1], u"LARGEOLIVE");
  EXPECT_EQ(rowsOf(pages, 0), sampleRows(0));
  EXPECT_EQ(rowsOf(pages, 1), sampleRows(1));
  for (int k = 2; k < theme::kMaxPages; ++k) EXPECT_TRUE(rowsOf(pages, k).empty());
  EXPECT_EQ(pages.sizeNameBoxes[0].text, "Normal");  // language 0x409 comes first
  EXPECT_EQ(pages.sizeNameBoxes[1].text, "Large Fonts");
  EXPECT_EQ(pages.styleNameBox.text, "Sample Style");
}

TEST(ThemeImage, SampleThemeIsReadIntoItsPages) {
  theme::FontPages pages;
  loadBytes(sampleTheme(), pages);
  expectSampleRead(pages);
}

struct Layout {
  const char* label;
  BuildOptions options;
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.label; }

class ThemeLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(ThemeLayouts, ReadTheSameAsTheDefaultLayout) {
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(sampleTheme(GetParam().options), pages);
  expectSampleRead(pages);
  EXPECT_EQ(image.layout.pe32Plus, GetParam().options.pe32Plus);
}

BuildOptions pe32Plus() {
  BuildOptions o;
  o.pe32Plus = true;
  return o;
}
BuildOptions translated(std::uint32_t rva, std::uint32_t fileOffset) {
  BuildOptions o;
  o.sectionRva = rva;
  o.sectionFileOffset = fileOffset;
  return o;
}
BuildOptions withCodeAndRelocations() {
  BuildOptions o = translated(0x2000, 0x1000);
  o.leadingCodeSection = true;
  o.relocations = true;
  return o;
}
BuildOptions alignedData() {
  BuildOptions o;
  o.dataAlignment = 8;
  return o;
}
BuildOptions plusTranslated() {
  BuildOptions o = translated(0x5000, 0x400);
  o.pe32Plus = true;
  return o;
}

INSTANTIATE_TEST_SUITE_P(Layouts, ThemeLayouts,
                         ::testing::Values(Layout{"pe32plus", pe32Plus()},
                                           Layout{"rva_above_offset", translated(0x3000, 0x600)},
                                           Layout{"rva_below_offset", translated(0x1000, 0x2000)},
                                           Layout{"code_and_relocations", withCodeAndRelocations()},
                                           Layout{"aligned_data", alignedData()},
                                           Layout{"pe32plus_translated", plusTranslated()}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ResourceWalk, OnlyTheFirstLanguageIsRead) {
  for (bool sorted : {true, false}) {
    BuildOptions o;
    o.sortEntries = sorted;
    ThemeBuilder b = oneSizeTheme(o);
    b.add(u"TEXTFILE", u"BLUE_INI", utf16le(u"Font = b, 2\r\n"), 0x411);
    b.add(u"TEXTFILE", u"BLUE_INI", utf16le(u"Font = a, 1\r\n"), 0x409);
    b.add(6, blockOf(3000), stringBlock({{indexInBlock(3000), u"second"}}), 0x411);
    b.add(6, blockOf(3000), stringBlock({{indexInBlock(3000), u"first"}}), 0x409);
    theme::FontPages pages;
    loadBytes(b.build().bytes, pages);
    // Directory order decides: sorted puts 0x409 first, unsorted keeps 0x411 first.
    ASSERT_EQ(pages.rowCount(0), 1U);
    EXPECT_EQ(pages.rows(0)[0].font.text, sorted ? "a" : "b");
    EXPECT_EQ(pages.sizeNameBoxes[0].text, sorted ? "first" : "second");
  }
}

TEST(ResourceWalk, TheUsersLanguageElseItsPrimaryLanguageElseTheFirstIsRead) {
  ThemeBuilder b = oneSizeTheme();
  for (const auto& [language, name] : {std::pair<int, std::u16string>{0x401, u"arabic"}, {0x409, u"english"},
                                       {0x411, u"japanese"}}) {
    b.add(u"TEXTFILE", u"BLUE_INI", utf16le(u"Font = " + name + u", 1\r\n"), language);
    b.add(6, blockOf(3000), stringBlock({{indexInBlock(3000), name}}), language);
  }
  const Bytes bytes = b.build().bytes;
  const std::pair<theme::LanguagePreference, std::string> cases[] = {
      {{}, "arabic"}, {0x0409, "english"}, {0x0C09, "english"}, {0x0011, "japanese"}, {0x0407, "arabic"}};
  for (const auto& [language, expected] : cases) {
    theme::FontPages pages;
    loadBytes(bytes, pages, language);
    ASSERT_EQ(pages.rowCount(0), 1U);
    EXPECT_EQ(pages.rows(0)[0].font.text, expected) << language.value_or(0);
    EXPECT_EQ(pages.sizeNameBoxes[0].text, expected) << language.value_or(0);
  }
}

TEST(ResourceWalk, LocalesNameTheirWindowsLanguage) {
  EXPECT_EQ(theme::languageOfLocale("ja_JP.UTF-8"), 0x0411);
  EXPECT_EQ(theme::languageOfLocale("en_GB"), 0x0809);
  EXPECT_EQ(theme::languageOfLocale("pt"), 0x0816);
  EXPECT_EQ(theme::languageOfLocale("sr_RS.UTF-8@latin"), 0x081A);
  for (const char* none : {"C", "C.UTF-8", "POSIX", "", "xx_YY"}) EXPECT_FALSE(theme::languageOfLocale(none)) << none;
#ifndef _WIN32
  // LC_ALL, then LC_MESSAGES, then LANG; an empty variable counts as unset.
  const auto saved = [](const char* name) { const char* v = std::getenv(name); return v ? std::optional<std::string>(v) : std::nullopt; };
  const auto lcAll = saved("LC_ALL"), lcMessages = saved("LC_MESSAGES"), lang = saved("LANG");
  setenv("LC_ALL", "", 1);
  setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
  setenv("LANG", "ja_JP.UTF-8", 1);
  EXPECT_EQ(theme::userInterfaceLanguage(), 0x0407);
  unsetenv("LC_MESSAGES");
  EXPECT_EQ(theme::userInterfaceLanguage(), 0x0411);
  for (const auto& [name, value] : {std::pair{"LC_ALL", lcAll}, {"LC_MESSAGES", lcMessages}, {"LANG", lang}}) {
    if (value) setenv(name, value->c_str(), 1); else unsetenv(name);
  }
#endif
}

TEST(ResourceWalk, TypesAreDispatchedByTheirExactName) {
  const Bytes block = stringBlock({{indexInBlock(3000), u"Normal"}});
  const Bytes text = utf16le(u"Font = a, 1\r\n");
  {
    ThemeBuilder b = oneSizeTheme();
    b.add(24, blockOf(3000), block);            // id 24 is named "24": ignored
    b.add(u"textfile", u"BLUE_INI", text);      // letter case counts
    b.add(u"TEXTFILES", u"BLUE_INI", text);
    b.add(u"6", blockOf(3000), block);
    b.add(16, blockOf(3000), block);  // VERSION
    theme::FontPages pages;
    loadBytes(b.build().bytes, pages);
    EXPECT_EQ(pages.rowCount(0), 0U);
    EXPECT_TRUE(pages.sizeNameBoxes[0].text.empty());
  }
  {
    ThemeBuilder b = oneSizeTheme();
    b.add(u"STRING", blockOf(3000), block);  // a counted type name "STRING" is a string table
    theme::FontPages pages;
    loadBytes(b.build().bytes, pages);
    EXPECT_EQ(pages.sizeNameBoxes[0].text, "Normal");
  }
}

TEST(ResourceWalk, StringBlockIdsGiveTheirFirstStringId) {
  ThemeBuilder b = oneSizeTheme();
  b.strings(1, stringBlock({{0, u"BLUE@[S]Font=id0, 1"}}));
  b.strings(188, stringBlock({{0, u"BLUE@[S]Font=id2992, 1"}, {8, u"Normal"}}));
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  ASSERT_EQ(pages.rowCount(0), 2U);
  EXPECT_EQ(pages.rows(0)[0].font.text, "id0");
  EXPECT_EQ(pages.rows(0)[1].font.text, "id2992");
  EXPECT_EQ(pages.sizeNameBoxes[0].text, "Normal");
}

TEST(ResourceWalk, NumericTextFileNamesMatchNoPage) {
  ThemeBuilder b;
  b.nameLists({u"Blue"}, {u"7_INI"}, {u"Normal"});
  b.add(u"TEXTFILE", 7, utf16le(u"[S]\r\nFont = a, 1\r\n"));
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  EXPECT_EQ(pages.fileNames[0][0], u"7");
  EXPECT_EQ(pages.rowCount(0), 0U);
}

// A one-size, one-colour theme whose file-name list holds `stem`_INI and whose only
// INI text is named `textName`, loaded.
theme::FontPages loadOneText(const std::u16string& stem, const std::u16string& textName) {
  ThemeBuilder b;
  b.add(u"COLORNAMES", 1, nameList({u"Blue"}));
  b.add(u"FILERESNAMES", 1, nameList({stem + u"_INI"}));
  b.add(u"SIZENAMES", 1, nameList({u"Normal"}));
  b.add(u"TEXTFILE", textName, utf16le(u"Font = a, 1\r\n"));
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  return pages;
}

TEST(ResourceWalk, LongResourceNamesAreComparedByTheirFirst63Characters) {
  const std::u16string stem(59, u'A');
  const theme::FontPages pages = loadOneText(stem, stem + u"_INIXYZ");
  ASSERT_EQ(pages.rowCount(0), 1U);
  EXPECT_EQ(pages.rows(0)[0].file, std::string(59, 'A') + "_INI");
}

TEST(ResourceWalk, LongNamesAreCutOnACharacterBoundary) {
  // 29 double-byte characters and "_INI" are 62 bytes; one more character would make 64.
  const std::u16string stem(29, u'あ');
  std::string ansiStem;
  for (int i = 0; i < 29; ++i) ansiStem += sjis({0x82, 0xA0});
  const theme::EntryName name{0x80000000U, stem + u"_INIい"};
  EXPECT_EQ(name.ansi(cp932()), ansiStem + "_INI");
  EXPECT_EQ((theme::EntryName{188, {}}.ansi(cp932())), "188");
  EXPECT_EQ((theme::EntryName{188, {}}.wide()), u"188");
  EXPECT_EQ(theme::classifyType(theme::EntryName{0x00010006, {}}), theme::ResourceKind::StringTable);
  EXPECT_EQ(theme::classifyType(theme::EntryName{23, {}}), theme::ResourceKind::Other);

  const theme::FontPages pages = loadOneText(stem, stem + u"_INIい");
  ASSERT_EQ(pages.rowCount(0), 1U);
  EXPECT_EQ(pages.rows(0)[0].file, ansiStem + "_INI");
}

TEST(ResourceWalk, NameListOrderInTheDirectoryDoesNotMatter) {
  BuildOptions unsorted;
  unsorted.sortEntries = false;
  ThemeBuilder b(unsorted);
  b.add(6, 1, stringBlock({{0, u"P0@[S]Font=b, 2"}}));
  b.add(u"TEXTFILE", u"P1_INI", utf16le(u"[S]\r\nFont = a, 1\r\n"));
  b.add(u"SIZENAMES", 1, nameList({u"S0", u"S1"}));
  b.add(u"COLORNAMES", 1, nameList({u"Blue"}));
  b.add(u"FILERESNAMES", 1, nameList({u"P0_INI", u"P1_INI"}));
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  EXPECT_EQ(pages.fileNames[0][0], u"P0");
  EXPECT_EQ(pages.fileNames[1][0], u"P1");
  EXPECT_EQ(rowsOf(pages, 0), (std::vector<Row>{{"P0", "S", "Font", "b", "2", ""}}));
  EXPECT_EQ(rowsOf(pages, 1), (std::vector<Row>{{"P1_INI", "S", "Font", "a", "1", ""}}));
}

// A program or library has resources too, but none of a visual style's: writing it
// would keep nothing but its resource section.
TEST(LoadTheme, FilesWithoutTheResourcesOfAVisualStyleAreRefused) {
  BuildOptions program;
  program.leadingCodeSection = true;
  program.sectionRva = 0x2000;
  ThemeBuilder b(program);
  b.add(3, 1, Bytes{0x28, 0, 0, 0});
  b.add(6, blockOf(3000), stringBlock({{indexInBlock(3000), u"Normal"}}));
  b.add(16, 1, Bytes(52, 0x5A));
  try {
    (void)theme::parseThemeImage(b.build().bytes);
    ADD_FAILURE() << "a program was read as a theme";
  } catch (const theme::ThemeError& e) {
    EXPECT_STREQ(e.what(), "not a visual-style file");
  }
}

TEST(LoadTheme, ReadsAFileAndASecondLoadReplacesTheFirst) {
  TempDir dir;
  theme::FontPages pages;
  theme::ThemeImage first = theme::loadTheme(dir.write("sample.msstyles", sampleTheme()), pages, cp932());
  expectSampleRead(pages);
  EXPECT_TRUE(first.loaded());

  ThemeBuilder b = oneSizeTheme();
  b.textFile(u"BLUE_INI", u"Font = x, 1\r\n");
  theme::ThemeImage second = theme::loadTheme(dir.write("one.msstyles", b.build().bytes), pages, cp932());
  EXPECT_EQ(pages.pageCount, 1);
  EXPECT_EQ(rowsOf(pages, 0), (std::vector<Row>{{"BLUE_INI", "", "Font", "x", "1", ""}}));
  EXPECT_TRUE(rowsOf(pages, 1).empty());
  EXPECT_TRUE(pages.sizeNameBoxes[0].text.empty());
  EXPECT_TRUE(pages.styleNameBox.text.empty());
  EXPECT_TRUE(pages.sizeNames[1].empty());
}

TEST(LoadTheme, MissingFileIsRefusedAndLeavesThePagesEmpty) {
  TempDir dir;
  theme::FontPages pages;
  theme::loadTheme(dir.write("sample.msstyles", sampleTheme()), pages, cp932());
  EXPECT_THROW(theme::loadTheme(dir.file("absent.msstyles"), pages, cp932()), theme::ThemeError);
  for (int k = 0; k < theme::kMaxPages; ++k) EXPECT_EQ(pages.rowCount(k), 0U);
  EXPECT_TRUE(pages.styleNameBox.text.empty());
  EXPECT_TRUE(pages.sizeNames[0].empty());
}

// What a read handed out stays valid when a longer read from the same block follows: diff
// holds the data of every other resource while it reads the next.
TEST(PositionedFile, WhatWasReadStaysValidAfterALongerReadFromTheSameBlock) {
  TempDir dir;
  Bytes bytes(200000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  const theme::PositionedFile file(dir.write("data.bin", bytes));
  const auto first = file.read(10, 100);
  const auto longer = file.read(20, 100000);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), bytes.begin() + 10));
  EXPECT_TRUE(std::equal(longer.begin(), longer.end(), bytes.begin() + 20));
  // Reads that cross the blocks read ahead, forth and back, near the end too.
  const std::pair<std::uint64_t, std::uint64_t> reads[] = {
      {16380, 8}, {16383, 1}, {4095, 20000}, {65530, 80}, {30, 4}, {131000, 2000}, {199990, 10}, {16384, 16384}};
  for (const auto& [offset, length] : reads) {
    const auto got = file.read(offset, length);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset)) && got.size() == length)
        << offset << "+" << length;
  }
  EXPECT_THROW((void)file.read(199990, 11), theme::ThemeError);
}

}  // namespace
}  // namespace marvento_test
