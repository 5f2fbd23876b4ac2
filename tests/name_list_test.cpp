// Name lists and the page/colour layout they give the file-name table.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "name_list_reader.h"

namespace marvento_test {
namespace {

using List = std::vector<std::u16string>;

std::u16string spell(std::u16string_view prefix, char16_t unit, std::u16string_view suffix = {}) {
  std::u16string s(prefix);
  s.push_back(unit);
  s.append(suffix);
  return s;
}

TEST(NameList, EndsAtEmptyNameOrEndOfData) {
  EXPECT_EQ(theme::readNameList(span(nameList({u"Blue", u"Olive"}))), (List{u"Blue", u"Olive"}));
  EXPECT_EQ(theme::readNameList(span(nameList({u"Blue", u"Olive"}, false))), (List{u"Blue", u"Olive"}));
  // An empty name ends the list even when more follow.
  Bytes gap = nameList({u"A"}, true);
  Bytes more = nameList({u"B"});
  gap.insert(gap.end(), more.begin(), more.end());
  EXPECT_EQ(theme::readNameList(span(gap)), (List{u"A"}));
  EXPECT_TRUE(theme::readNameList({}).empty());
  EXPECT_TRUE(theme::readNameList(span(nameList({}))).empty());
}

TEST(NameList, LastNameWithoutTerminatorEndsAtTheData) {
  EXPECT_EQ(theme::readNameList(span(utf16le(u"AB"))), (List{u"AB"}));
  Bytes odd = utf16le(u"A");
  odd.push_back(0);
  odd.push_back(0);
  odd.push_back('B');  // a final odd byte is no unit
  EXPECT_EQ(theme::readNameList(span(odd)), (List{u"A"}));
}

// Three sizes, three colours, nine INI names listed colour by colour.
Bytes nineFileTheme() {
  ThemeBuilder b;
  b.add(u"COLORNAMES", 1, nameList({u"Blue", u"Olive", u"Silver"}));
  b.add(u"SIZENAMES", 1, nameList({u"Normal", u"Large", u"Huge"}));
  b.add(u"FILERESNAMES", 1,
        nameList({u"C0S0_INI", u"C0S1_INI", u"C0S2_INI", u"C1S0_INI", u"C1S1_INI", u"C1S2_INI", u"C2S0_INI",
                  u"C2S1_INI", u"C2S2_INI"}));
  return b.build().bytes;
}

TEST(NameLists, FileNameTableIsLaidOutColourByColour) {
  theme::FontPages pages;
  loadBytes(nineFileTheme(), pages);
  EXPECT_EQ(pages.pageCount, 3);
  EXPECT_EQ(pages.colourCount, 3);
  EXPECT_EQ(pages.sizeNames[0], u"Normal");
  EXPECT_EQ(pages.sizeNames[2], u"Huge");
  EXPECT_TRUE(pages.sizeNames[3].empty());
  EXPECT_EQ(pages.fileNames[1][1], u"C1S1");  // the fifth name
  for (int c = 0; c < 3; ++c)
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(pages.fileNames.at(k).at(c), spell(u"C", char16_t(u'0' + c)) + spell(u"S", char16_t(u'0' + k)));
  EXPECT_TRUE(pages.fileNames[3][0].empty());
  EXPECT_TRUE(pages.fileNames[0][3].empty());
}

TEST(NameLists, FileNamesAreCutBeforeTheirFirstUnderscoreOrKeptWhole) {
  ThemeBuilder b;
  b.nameLists({u"Blue", u"Olive"}, {u"BLUE_NORMAL_INI", u"PLAIN"}, {u"Normal"});
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  EXPECT_EQ(pages.fileNames[0][0], u"BLUE");
  EXPECT_EQ(pages.fileNames[0][1], u"PLAIN");
}

TEST(NameLists, ListsLongerThanTheirSlotsAreCut) {
  std::u16string longName(80, u'N');
  std::vector<std::u16string> files;
  files.reserve(60);
  for (int i = 0; i < 60; ++i) files.push_back(spell(u"F", char16_t(u'A' + i % 26), u"_INI"));
  Bytes fileList;
  for (const auto& f : files) {
    Bytes n = nameList({f}, false);
    fileList.insert(fileList.end(), n.begin(), n.end());
  }
  ThemeBuilder b;
  b.add(u"COLORNAMES", 1, nameList({u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"11", u"12"}));
  b.add(u"FILERESNAMES", 1, fileList);
  b.add(u"SIZENAMES", 1, nameList({longName, u"S1", u"S2", u"S3", u"S4"}));
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  EXPECT_EQ(pages.pageCount, 5);
  EXPECT_EQ(pages.colourCount, 10);
  EXPECT_EQ(pages.sizeNames[0], std::u16string(63, u'N'));
  EXPECT_EQ(pages.sizeNames[4], u"S4");
  EXPECT_EQ(pages.fileNames[4][9], spell(u"F", char16_t(u'A' + 49 % 26)));  // entry 49
  EXPECT_EQ(pages.fileNames[0][0], u"FA");
}

TEST(NameLists, MoreThanFiveSizeNamesGiveFivePages) {
  ThemeBuilder b;
  b.nameLists({u"Blue"}, {u"A_INI"}, {u"S0", u"S1", u"S2", u"S3", u"S4", u"S5", u"S6"});
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  EXPECT_EQ(pages.pageCount, 5);
  EXPECT_EQ(pages.sizeNames[4], u"S4");
}

TEST(NameLists, WithoutSizeNamesThereAreNoPagesAndNoFileNames) {
  ThemeBuilder b;
  b.add(u"COLORNAMES", 1, nameList({u"Blue"}));
  b.add(u"FILERESNAMES", 1, nameList({u"BLUE_INI"}));
  b.textFile(u"BLUE_INI", u"[S]\r\nFont = Tahoma, 9\r\n");
  b.strings(blockOf(3000), stringBlock({{indexInBlock(3000), u"BLUE@[S]Font=Tahoma, 9"}}));
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  EXPECT_EQ(pages.pageCount, 0);
  for (const auto& page : pages.fileNames)
    for (const auto& name : page) EXPECT_TRUE(name.empty());
  for (int k = 0; k < theme::kMaxPages; ++k) EXPECT_EQ(pages.rowCount(k), 0U);
}

TEST(NameLists, AnEmptySizeNameListGivesNoPages) {
  ThemeBuilder b;
  b.nameLists({u"Blue"}, {u"BLUE_INI"}, {});
  b.textFile(u"BLUE_INI", u"[S]\r\nFont = Tahoma, 9\r\n");
  theme::FontPages pages;
  loadBytes(b.build().bytes, pages);
  EXPECT_EQ(pages.pageCount, 0);
  EXPECT_EQ(pages.rowCount(0), 0U);
}

}  // namespace
}  // namespace marvento_test
