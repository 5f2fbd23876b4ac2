// Files that are not readable themes: each is refused with ThemeError, leaves the pages
// empty, and never crashes, hangs or reads outside the file.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "errors.h"
#include "test_support.h"
#include "theme_rebuild.h"
#include "font_page_reader.h"

namespace marvento_test {
namespace {

BuiltImage sampleBuilt() {
  ThemeBuilder b = oneSizeTheme();
  b.textFile(u"BLUE_INI", u"[S]\r\nFont = Tahoma, 9\r\n");
  b.strings(blockOf(3000), stringBlock({{indexInBlock(3000), u"Normal"}}));
  return b.build();
}

struct Corruption {
  const char* name;
  std::function<void(BuiltImage&)> apply;
};

std::uint32_t rel(const BuiltImage& img, std::uint32_t fileOffset) { return fileOffset - img.rootOffset; }
const BuiltType& textType(const BuiltImage& img) { return img.type(u"TEXTFILE"); }
const BuiltResource& blueIni(const BuiltImage& img) { return img.resource(u"TEXTFILE", u"BLUE_INI"); }

const std::vector<Corruption>& corruptions() {
  static const std::vector<Corruption> all = {
      {"empty_file", [](BuiltImage& i) { i.bytes.clear(); }},
      {"truncated_dos_header", [](BuiltImage& i) { i.bytes.resize(0x30); }},
      {"no_mz", [](BuiltImage& i) { i.bytes[0] = 'X'; }},
      {"nt_offset_outside", [](BuiltImage& i) { putU32(i.bytes, 0x3C, static_cast<std::uint32_t>(i.bytes.size())); }},
      {"nt_offset_wraps", [](BuiltImage& i) { putU32(i.bytes, 0x3C, 0xFFFFFFF8U); }},
      {"truncated_file_header", [](BuiltImage& i) { i.bytes.resize(i.ntOffset + 12); }},
      {"truncated_optional_header", [](BuiltImage& i) { i.bytes.resize(i.optionalHeaderOffset + 40); }},
      {"no_pe_signature", [](BuiltImage& i) { i.bytes[i.ntOffset + 1] = 'X'; }},
      {"resource_rva_zero", [](BuiltImage& i) { putU32(i.bytes, i.resourceDirectoryEntry(), 0); }},
      {"resource_rva_outside", [](BuiltImage& i) { putU32(i.bytes, i.resourceDirectoryEntry(), 0x7FFFFFF0U); }},
      {"resource_rva_past_section",
       [](BuiltImage& i) { putU32(i.bytes, i.resourceDirectoryEntry(), i.sectionRva + 0x100000); }},
      {"section_table_truncated", [](BuiltImage& i) { i.bytes.resize(i.resourceSectionHeader + 20); }},
      {"absurd_root_entry_count",
       [](BuiltImage& i) {
         putU16(i.bytes, i.rootOffset + 12, 0xFFFF);
         putU16(i.bytes, i.rootOffset + 14, 0xFFFF);
       }},
      {"absurd_name_entry_count", [](BuiltImage& i) { putU16(i.bytes, textType(i).dirOffset + 14, 0xFFFF); }},
      {"root_cut_short", [](BuiltImage& i) { i.bytes.resize(i.rootOffset + 20); }},
      {"name_directory_outside",
       [](BuiltImage& i) { putU32(i.bytes, textType(i).entryOffset + 4, 0x80000000U | 0x7FFFFFF0U); }},
      {"name_directory_past_end",
       [](BuiltImage& i) {
         putU32(i.bytes, textType(i).entryOffset + 4,
                0x80000000U | (static_cast<std::uint32_t>(i.bytes.size()) - i.rootOffset - 8));
       }},
      {"type_name_outside",
       [](BuiltImage& i) { putU32(i.bytes, textType(i).entryOffset, 0x80000000U | 0x7FFFFFF0U); }},
      {"type_name_too_long", [](BuiltImage& i) { putU16(i.bytes, textType(i).nameOffset, 0xFFFF); }},
      {"resource_name_too_long", [](BuiltImage& i) { putU16(i.bytes, blueIni(i).nameOffset, 0xFFFF); }},
      {"language_directory_outside",
       [](BuiltImage& i) { putU32(i.bytes, blueIni(i).entryOffset + 4, 0x80000000U | 0x7FFFFFF0U); }},
      {"data_entry_outside",
       [](BuiltImage& i) { putU32(i.bytes, blueIni(i).languages[0].entryOffset + 4, 0x7FFFFFF0U); }},
      {"data_outside",
       [](BuiltImage& i) { putU32(i.bytes, blueIni(i).languages[0].dataEntryOffset, 0x7FFFFFF0U); }},
      {"data_rva_with_bit_31",
       [](BuiltImage& i) {
         const std::uint32_t at = blueIni(i).languages[0].dataEntryOffset;
         putU32(i.bytes, at, getU32(i.bytes, at) | 0x80000000U);
       }},
      {"data_rva_in_the_headers", [](BuiltImage& i) { putU32(i.bytes, blueIni(i).languages[0].dataEntryOffset, 0x100); }},
      {"data_size_huge",
       [](BuiltImage& i) { putU32(i.bytes, blueIni(i).languages[0].dataEntryOffset + 4, 0xFFFFFFF0U); }},
      {"data_one_byte_past_end",
       [](BuiltImage& i) {
         const auto& l = blueIni(i).languages[0];
         putU32(i.bytes, l.dataEntryOffset + 4, static_cast<std::uint32_t>(i.bytes.size()) - l.dataOffset + 1);
       }},
      {"type_directory_is_the_root",
       [](BuiltImage& i) { putU32(i.bytes, textType(i).entryOffset + 4, 0x80000000U); }},
      {"language_directory_is_its_name_directory",
       [](BuiltImage& i) {
         putU32(i.bytes, blueIni(i).entryOffset + 4, 0x80000000U | rel(i, textType(i).dirOffset));
       }},
      {"language_directory_is_the_root",
       [](BuiltImage& i) { putU32(i.bytes, blueIni(i).entryOffset + 4, 0x80000000U); }},
  };
  return all;
}

void PrintTo(const Corruption& c, std::ostream* os) { *os << c.name; }

class MalformedFile : public ::testing::TestWithParam<Corruption> {};

TEST_P(MalformedFile, IsRefusedWithThemeError) {
  BuiltImage img = sampleBuilt();
  GetParam().apply(img);
  EXPECT_THROW(
      {
        theme::ThemeImage image = theme::parseThemeImage(img.bytes);
        theme::FontPages pages;
        theme::readFontPages(image, pages, cp932());
      },
      theme::ThemeError);
}

TEST_P(MalformedFile, LoadLeavesThePagesEmpty) {
  BuiltImage img = sampleBuilt();
  GetParam().apply(img);
  TempDir dir;
  for (const auto reading : {theme::Reading::WholeFile, theme::Reading::ListedPartsOnly}) {
    theme::FontPages pages;
    theme::loadTheme(dir.write("good.msstyles", sampleTheme()), pages, cp932(), {}, reading);
    ASSERT_GT(pages.rowCount(0), 0U);
    try {
      theme::loadTheme(dir.write("bad.msstyles", img.bytes), pages, cp932(), {}, reading);
      ADD_FAILURE() << "loaded a malformed file";
    } catch (const theme::ThemeError& e) {
      EXPECT_NE(std::string(e.what()), "");
      EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << "one line: " << e.what();
    }
    for (int k = 0; k < theme::kMaxPages; ++k) EXPECT_EQ(pages.rowCount(k), 0U);
    EXPECT_TRUE(pages.sizeNames[0].empty());
    EXPECT_TRUE(pages.sizeNameBoxes[0].text.empty());
    EXPECT_TRUE(pages.styleNameBox.text.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Corruptions, MalformedFile, ::testing::ValuesIn(corruptions()),
                         [](const auto& info) { return std::string(info.param.name); });

// Damage anywhere in the headers and the resource directory is either read or refused
// with ThemeError; reading and rebuilding what was accepted throws nothing else.
TEST(MalformedFile, EveryByteOfTheDirectoryDamaged) {
  const BuiltImage img = sampleBuilt();
  const std::size_t end = img.resource(6, blockOf(3000)).languages[0].dataOffset;
  int refused = 0;
  for (std::size_t at = 0; at < end; ++at) {
    if (at >= 0x200 && at < img.rootOffset) continue;  // padding between headers and section
    for (std::uint8_t value : {std::uint8_t{0xFF}, std::uint8_t{0x00}, std::uint8_t{0x80}}) {
      Bytes bytes = img.bytes;
      if (bytes[at] == value) continue;
      bytes[at] = value;
      try {
        theme::ThemeImage image = theme::parseThemeImage(bytes);
        theme::FontPages pages;
        theme::readFontPages(image, pages, cp932());
        (void)theme::rebuildTheme(image, pages, cp932());
      } catch (const theme::ThemeError&) {
        ++refused;
      } catch (const theme::WriteError&) {
        ++refused;
      } catch (const std::exception& e) {
        ADD_FAILURE() << "byte " << at << " = " << int(value) << ": " << e.what();
      }
    }
  }
  EXPECT_GT(refused, 0);
}

TEST(MalformedFile, EveryTruncationIsRefused) {
  const Bytes bytes = sampleBuilt().bytes;
  const BuiltImage img = sampleBuilt();
  const std::size_t lastData = img.resource(6, blockOf(3000)).languages[0].dataOffset +
                               img.resource(6, blockOf(3000)).languages[0].size;
  for (std::size_t size = 0; size < lastData; size += 7) {
    Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_THROW((void)theme::parseThemeImage(cut), theme::ThemeError) << "cut at " << size;
  }
}

}  // namespace
}  // namespace marvento_test
