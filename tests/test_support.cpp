#include "test_support.h"
#include "font_page_reader.h"

#include <cstdlib>
#include <filesystem>

namespace marvento_test {

const theme::CodePage& cp932() {
  static const theme::CodePage cp(932);
  return cp;
}

void PrintTo(const Row& row, std::ostream* os) {
  auto quoted = [os](const std::string& s) {
    *os << '"';
    for (char c : s) {
      const auto u = static_cast<unsigned char>(c);
      if (u >= 0x20 && u < 0x7F) {
        *os << c;
      } else {
        static const char kHex[] = "0123456789abcdef";
        *os << "\\x" << kHex[u >> 4] << kHex[u & 15];
      }
    }
    *os << '"';
  };
  *os << '{';
  quoted(row.file);
  *os << ", ";
  quoted(row.section);
  *os << ", ";
  quoted(row.key);
  *os << ", ";
  quoted(row.font);
  *os << ", ";
  quoted(row.size);
  *os << ", ";
  quoted(row.option);
  *os << '}';
}

std::vector<Row> rowsOf(const theme::FontPages& pages, int page) {
  std::vector<Row> out;
  for (const auto& r : pages.rows(page))
    out.push_back(Row{r.file, r.section, r.key, r.font.text, r.size.text, r.option.text});
  return out;
}

theme::FontPages pagesWith(const std::vector<std::u16string>& sizeNames, int colourCount,
                           const std::vector<std::vector<std::u16string>>& table) {
  theme::FontPages pages;
  pages.clear();
  pages.pageCount = static_cast<int>(sizeNames.size());
  pages.colourCount = colourCount;
  for (std::size_t k = 0; k < sizeNames.size(); ++k) pages.sizeNames.at(k) = sizeNames[k];
  for (std::size_t k = 0; k < table.size(); ++k)
    for (std::size_t c = 0; c < table[k].size(); ++c) pages.fileNames.at(k).at(c) = table[k][c];
  return pages;
}

std::span<const std::uint8_t> span(const Bytes& b) { return {b.data(), b.size()}; }

theme::ThemeImage loadBytes(const Bytes& bytes, theme::FontPages& pages, theme::LanguagePreference language) {
  pages.clear();
  theme::ThemeImage image = theme::parseThemeImage(bytes, language);
  theme::readFontPages(image, pages, cp932());
  return image;
}

void expectSamePages(const theme::FontPages& a, const theme::FontPages& b) {
  EXPECT_EQ(a.pageCount, b.pageCount);
  EXPECT_EQ(a.colourCount, b.colourCount);
  EXPECT_EQ(a.sizeNames, b.sizeNames);
  EXPECT_EQ(a.fileNames, b.fileNames);
  for (int k = 0; k < theme::kMaxPages; ++k) {
    EXPECT_EQ(rowsOf(a, k), rowsOf(b, k)) << "page " << k;
    EXPECT_EQ(a.sizeNameBoxes.at(static_cast<std::size_t>(k)).text,
              b.sizeNameBoxes.at(static_cast<std::size_t>(k)).text)
        << "size-name box " << k;
  }
  EXPECT_EQ(a.styleNameBox.text, b.styleNameBox.text);
}

Bytes sampleTheme(BuildOptions options) {
  ThemeBuilder b(options);
  b.nameLists({u"Blue", u"Olive"}, {u"NORMALBLUE_INI", u"LARGEBLUE_INI", u"NORMALOLIVE_INI", u"LARGEOLIVE_INI"},
              {u"NormalSize", u"LargeFonts"});
  b.textFile(u"THEMES_INI",
             u"; main text\r\n[documentation]\r\nDisplayName = Sample\r\n\r\n"
             u"[Sizes.NormalSize]\r\nCaptionFont = Tahoma, 8, Bold\r\n"
             u"[Sizes.LargeFonts]\r\nCaptionFont = Tahoma, 12, Bold\r\n");
  b.textFile(u"NORMALBLUE_INI",
             u"[SysMetrics]\r\nMenuFont = Tahoma, 8\r\n\r\n; [Button]\r\nTextColor = 0 0 0\r\n"
             u"[Button]\r\nFont=Tahoma,9,Italic\r\n\r\n[Edit]\r\nFill = 255 255 255");
  b.textFile(u"LARGEBLUE_INI", u"[SysMetrics]\r\nMenuFont = Tahoma, 12\r\n");
  b.textFile(u"NORMALOLIVE_INI", u"[SysMetrics]\r\nMenuFont = Verdana, 8\r\n");
  b.textFile(u"LARGEOLIVE_INI", u"[SysMetrics]\r\nMenuFont = Verdana, 12\r\n");
  b.strings(63, stringBlock({{0, u"Blue"}, {1, u"NORMALBLUE@[Button]Font=Tahoma, 9, Bold"},
                             {5, u"LARGEOLIVE@x[Edit]Font=Verdana,,  13"}}));
  b.add(6, 188, stringBlock({{8, u"Normal"}, {9, u"Large Fonts"}}), 0x409);
  b.add(6, 188, stringBlock({{8, u"\u6a19\u6e96"}, {9, u"\u5927"}}), 0x411);
  b.strings(313, stringBlock({{8, u"Sample Style"}}));
  b.add(2, u"BLUE_BUTTON_BMP", Bytes{'B', 'M', 1, 2, 3});
  b.add(10, 1, Bytes{9, 8, 7, 6, 5, 4, 3});
  b.add(16, 1, Bytes(52, 0x5A));
  return b.build().bytes;
}

std::vector<Row> sampleRows(int page) {
  if (page == 0)
    return {{"NORMALBLUE_INI", "SysMetrics", "MenuFont", "Tahoma", "8", ""},
            {"NORMALBLUE_INI", "Button", "Font", "Tahoma", "9", "Italic"},
            {"NORMALOLIVE_INI", "SysMetrics", "MenuFont", "Verdana", "8", ""},
            {"THEMES_INI", "Sizes.NormalSize", "CaptionFont", "Tahoma", "8", "Bold"},
            {"NORMALBLUE", "Button", "Font", "Tahoma", "9", "Bold"}};
  if (page == 1)
    return {{"LARGEBLUE_INI", "SysMetrics", "MenuFont", "Tahoma", "12", ""},
            {"LARGEOLIVE_INI", "SysMetrics", "MenuFont", "Verdana", "12", ""},
            {"THEMES_INI", "Sizes.LargeFonts", "CaptionFont", "Tahoma", "12", "Bold"},
            {"LARGEOLIVE", "Edit", "Font", "Verdana", "13", ""}};
  return {};
}

const std::vector<WineTheme>& wineThemes() {
  static const std::vector<WineTheme> themes = {
      {"i386", "/usr/lib/i386-linux-gnu/wine/i386-windows/light.msstyles"},
      {"x86_64", "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/light.msstyles"},
  };
  return themes;
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

void keepRebuilt(const std::string& stem, const Bytes& original, const Bytes& rebuilt) {
  const char* dir = std::getenv("MARVENTO_KEEP_REBUILT");
  if (dir == nullptr || *dir == '\0') return;
  std::filesystem::create_directories(dir);
  writeFile(std::string(dir) + "/" + stem + ".orig.msstyles", original);
  writeFile(std::string(dir) + "/" + stem + ".rebuilt.msstyles", rebuilt);
}

}  // namespace marvento_test
