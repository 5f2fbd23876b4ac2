// Load → write → load gives the same pages; write(write(x)) == write(x); writing twice
// gives the same bytes. The RebuiltSamples suite also keeps its files for the
// pefile/wrestool checkers (MARVENTO_KEEP_REBUILT).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "errors.h"
#include "test_support.h"
#include "theme_rebuild.h"

namespace marvento_test {
namespace {

using Edit = std::function<void(theme::FontPages&)>;

struct Sample {
  const char* name;
  std::function<Bytes()> make;
  Edit edit;
  bool mayBeRefused = false;  // a layout the rebuild may refuse with WriteError
};

BuildOptions opts(bool plus, std::uint32_t rva, std::uint32_t offset, bool extras = false, std::uint32_t align = 1) {
  BuildOptions o;
  o.pe32Plus = plus;
  o.sectionRva = rva;
  o.sectionFileOffset = offset;
  o.leadingCodeSection = extras;
  o.relocations = extras;
  o.certificate = extras;
  o.debugDirectory = extras;
  if (extras) o.appended = {'a', 'p', 'p', 'e', 'n', 'd', 'e', 'd'};
  o.dataAlignment = align;
  return o;
}

// Section alignment below the page size: such an image is mapped as it lies in the
// file, so each section's raw data must stay at its RVA.
Bytes lowAlignmentTheme() {
  BuildOptions o = opts(false, 0x400, 0x400);
  o.sectionAlignment = 0x200;
  return sampleTheme(o);
}

void someEdits(theme::FontPages& p) {
  p.setCell(0, 1, theme::kColSize, "11");        // NORMALBLUE_INI [Button] Font
  p.setCell(0, 3, theme::kColOption, "");        // THEMES_INI CaptionFont loses Bold
  p.setCell(1, 0, theme::kColOption, "Italic");  // LARGEBLUE_INI MenuFont gains one
  p.setCell(1, 3, theme::kColFont, sjis({0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E}));
  p.sizeNameBoxes[1].text = "Bigger";
  p.styleNameBox.text.clear();  // emptied: the file keeps its name
}

const std::vector<Sample>& samples() {
  static const std::vector<Sample> all = {
      {"pe32", [] { return sampleTheme(); }, nullptr},
      {"pe32_edited", [] { return sampleTheme(); }, someEdits},
      {"pe32plus", [] { return sampleTheme(opts(true, 0x1000, 0x1000)); }, someEdits},
      {"translated", [] { return sampleTheme(opts(false, 0x3000, 0x600)); }, someEdits},
      {"translated_plus", [] { return sampleTheme(opts(true, 0x5000, 0x400)); }, nullptr},
      {"code_relocations_signed", [] { return sampleTheme(opts(false, 0x2000, 0x1000, true)); }, someEdits},
      {"code_relocations_signed_plus", [] { return sampleTheme(opts(true, 0x3000, 0x1000, true)); }, nullptr},
      {"aligned_data", [] { return sampleTheme(opts(false, 0x1000, 0x1000, false, 8)); }, nullptr},
      {"low_alignment", [] { return lowAlignmentTheme(); }, someEdits, true},
      {"bulk_font",
       [] { return sampleTheme(); },
       [](theme::FontPages& p) {
         p.setFontOfPage(0, "Arial");
         p.setFontOfPage(1, "Arial");
       }},
  };
  return all;
}

void PrintTo(const Sample& s, std::ostream* os) { *os << s.name; }

class RoundTrip : public ::testing::TestWithParam<Sample> {};

TEST_P(RoundTrip, WriteLoadWriteIsStable) {
  const Bytes original = GetParam().make();
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(original, pages);
  if (GetParam().edit) GetParam().edit(pages);
  Bytes once;
  try {
    once = rebuiltBytes(original, GetParam().edit);  // in memory and streamed from the file alike
    const theme::RebuiltTheme rebuilt = theme::rebuildTheme(image, pages, cp932());
    EXPECT_EQ(rebuilt.bytes(), once) << "writing twice";
    // The pages as a program shows them after the write: emptied boxes show what was kept.
    for (const auto& [id, name] : rebuilt.keptNames()) *pages.nameBox(id) = name;
  } catch (const theme::WriteError& e) {
    if (!GetParam().mayBeRefused) throw;
    GTEST_SKIP() << "refused: " << e.what();
  }

  theme::FontPages reread;
  theme::ThemeImage image2 = loadBytes(once, reread);
  expectSamePages(pages, reread);
  const Bytes twice = theme::rebuildTheme(image2, reread, cp932()).bytes();
  EXPECT_EQ(twice, once) << "write(write(x)) differs from write(x)";
}

INSTANTIATE_TEST_SUITE_P(Samples, RoundTrip, ::testing::ValuesIn(samples()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RoundTrip, EditsReachTheFileAndNothingElseChanges) {
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(sampleTheme(), pages);
  someEdits(pages);
  theme::FontPages reread;
  const theme::RebuiltTheme rebuilt = theme::rebuildTheme(image, pages, cp932());
  loadBytes(rebuilt.bytes(), reread);
  std::vector<Row> page0 = sampleRows(0);
  std::vector<Row> page1 = sampleRows(1);
  page0[1].size = "11";
  page0[3].option = "";
  page1[0].option = "Italic";
  page1[3].font = sjis({0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E});
  EXPECT_EQ(rowsOf(reread, 0), page0);
  EXPECT_EQ(rowsOf(reread, 1), page1);
  EXPECT_EQ(reread.sizeNameBoxes[0].text, "Normal");
  EXPECT_EQ(reread.sizeNameBoxes[1].text, "Bigger");
  EXPECT_EQ(reread.styleNameBox.text, "Sample Style");
  ASSERT_EQ(rebuilt.keptNames().size(), 1u) << "only the emptied box is kept";
  EXPECT_EQ(rebuilt.keptNames()[0].first, 5000u);
  EXPECT_EQ(rebuilt.keptNames()[0].second.text, "Sample Style") << "the kept name, for the box to show again";
}

TEST(RoundTrip, WritingDoesNotChangeTheRows) {
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(sampleTheme(), pages);
  someEdits(pages);
  const std::vector<Row> before0 = rowsOf(pages, 0);
  const std::vector<Row> before1 = rowsOf(pages, 1);
  (void)theme::rebuildTheme(image, pages, cp932());
  EXPECT_EQ(rowsOf(pages, 0), before0);
  EXPECT_EQ(rowsOf(pages, 1), before1);
}

// Kept for check_pe.py: each synthetic sample and both Wine themes, unedited and edited.
TEST(RebuiltSamples, Synthetic) {
  for (const auto& s : samples()) {
    const Bytes original = s.make();
    theme::FontPages pages;
    theme::ThemeImage image = loadBytes(original, pages);
    if (s.edit) s.edit(pages);
    Bytes rebuilt;
    try {
      rebuilt = theme::rebuildTheme(image, pages, cp932()).bytes();
    } catch (const theme::WriteError&) {
      if (!s.mayBeRefused) throw;
      continue;
    }
    EXPECT_EQ(listResources(rebuilt).size(), listResources(original).size()) << s.name;
    keepRebuilt(std::string("synthetic_") + s.name, original, rebuilt);
  }
}

TEST(RebuiltSamples, WineLight) {
  int kept = 0;
  for (const auto& t : wineThemes()) {
    if (!fileExists(t.path)) continue;
    const Bytes original = readFile(t.path);
    for (bool edited : {false, true}) {
      theme::FontPages pages;
      theme::ThemeImage image = loadBytes(original, pages);
      if (edited) pages.setFontOfPage(0, "MS UI Gothic");
      const Bytes rebuilt = theme::rebuildTheme(image, pages, cp932()).bytes();
      EXPECT_EQ(listResources(rebuilt).size(), listResources(original).size());
      keepRebuilt(std::string("light_") + t.label + (edited ? "_font" : ""), original, rebuilt);
      ++kept;
    }
  }
  if (kept == 0) GTEST_SKIP() << "Wine's light.msstyles is not installed (package wine32/wine64)";
}

// Rows are found again by the UTF-16 they were read from: two keys that the code page
// shows alike ("Font?") keep their own values and edits.
TEST(RoundTrip, KeysAlikeInTheCodePageKeepTheirOwnValues) {
  ThemeBuilder b = oneSizeTheme();
  b.textFile(u"BLUE_INI", u"[S]\r\nFont\u0639 = a, 1\r\nFont\u0627 = b, 2\r\n");
  b.strings(1, stringBlock({{0, u"BLUE@[S]Font\u0639=c, 3"}, {1, u"BLUE@[S]Font\u0627=d, 4"}}));
  const Bytes theme = b.build().bytes;
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(theme, pages);
  ASSERT_EQ(pages.rowCount(0), 4U);
  EXPECT_EQ(pages.rows(0)[0].key, pages.rows(0)[1].key);
  const auto data = [](const Bytes& file, const ResId& type) {
    for (const auto& r : listResources(file))
      if (r.type == type) return r.data;
    throw std::out_of_range("missing resource");
  };
  const Bytes unedited = theme::rebuildTheme(image, pages, cp932()).bytes();
  EXPECT_EQ(data(unedited, u"TEXTFILE"), data(theme, u"TEXTFILE"));
  EXPECT_EQ(data(unedited, 6), data(theme, 6));

  pages.setCell(0, 1, theme::kColFont, "x");
  pages.setCell(0, 3, theme::kColFont, "y");
  const Bytes edited = theme::rebuildTheme(image, pages, cp932()).bytes();
  EXPECT_EQ(data(edited, u"TEXTFILE"), utf16le(u"[S]\r\nFont\u0639 = a, 1\r\nFont\u0627 = x, 2\r\n"));
  EXPECT_EQ(data(edited, 6), stringBlock({{0, u"BLUE@[S]Font\u0639=c, 3"}, {1, u"BLUE@[S]Font\u0627=y, 4"}}));
}

// A named STRING block is never loaded by string id, and its Name field says where its
// name lies, which a rebuild moves: it is copied as it is and feeds no row or box.
TEST(RoundTrip, NamedStringBlockIsCopiedAndNotRead) {
  ThemeBuilder b = oneSizeTheme();
  const Bytes block = countedStrings({u"BLUE@[S]Font=Arial,9"});  // not in the form a rewrite gives
  b.add(6, u"NAMED", block);
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(b.build().bytes, pages);
  EXPECT_EQ(pages.rowCount(0), 0U);
  pages.setFontOfPage(0, "Tahoma");
  for (const auto& r : listResources(theme::rebuildTheme(image, pages, cp932()).bytes())) {
    if (r.type == ResId(6)) {
      EXPECT_EQ(r.data, block);
    }
  }
}

}  // namespace
}  // namespace marvento_test
