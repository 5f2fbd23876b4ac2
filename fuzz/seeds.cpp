#include "seeds.h"

#include <exception>
#include <string_view>

#include "codepage.h"
#include "cp932.h"
#include "ini_syntax.h"
#include "theme_builder.h"
#include "theme_image.h"

namespace marvento_fuzz {

namespace {

namespace mt = marvento_test;
using Bytes = std::vector<std::uint8_t>;

constexpr std::u16string_view kBlueIni =
    u"[Globals]\r\nEdgeLightColor = 255 255 255\r\nFont = Tahoma, 10\r\n\r\n"
    u"[Button]\r\nGlyphFont=ms ui gothic,9,Bold\r\n  TextFont = Tahoma ,  8 ,  Bold Italic  \r\n"
    u"; Font = commented, 9\r\n ; Font = blank first, 9\r\nColor = font, 1\r\n"
    u"GlyphFont = Arial, 11\r\n[Window]\r\nCaptionFont = Tahoma, 8, Bold\r\n\r\n\r\nNoComma Font = Tahoma\r\nLastFont = Tahoma, -12";

constexpr std::u16string_view kThemesIni =
    u"[documentation]\r\nDisplayName = Seed\r\n[Sizes.Normal]\r\nCaptionFont = Tahoma, 8, Bold\r\n"
    u"[Sizes.Large]\r\nCaptionFont = Tahoma, 12\r\n";

Bytes withBlockId(std::uint16_t blockId, const Bytes& block) {
  Bytes out{static_cast<std::uint8_t>(blockId & 0xFF), static_cast<std::uint8_t>(blockId >> 8)};
  out.insert(out.end(), block.begin(), block.end());
  return out;
}

// Size names (block 188: ids 2992..3007), the style name (block 313: 4992..5007) and
// font entries for file "BLUE" (block 2: 16..31).
void addStrings(mt::ThemeBuilder& b) {
  b.strings(188, mt::stringBlock({{8, u"Normal size"}, {9, u"Large size"}}));
  b.strings(313, mt::stringBlock({{8, u"Seed style"}}));
  b.strings(2, mt::stringBlock({{0, u"BLUE@[Button]Font=ms ui gothic, 9, Bold"},
                                {1, u"BLUE@[Window]CaptionFont= Tahoma,,  8"},
                                {2, u"OTHER@[Window]Font=Tahoma, 9"},
                                {3, u"BLUE@[Fonts]Title=not an entry, 9"}}));
}

std::vector<Seed> syntheticSeeds() {
  std::vector<Seed> seeds;

  auto oneSize = [](mt::BuildOptions o) {
    mt::ThemeBuilder b = mt::oneSizeTheme(o);
    b.textFile(u"BLUE_INI", kBlueIni).textFile(u"THEMES_INI", kThemesIni);
    addStrings(b);
    return b;
  };
  seeds.push_back({"theme", "one_size", oneSize({}).build().bytes});
  mt::BuildOptions plus;
  plus.pe32Plus = true;
  seeds.push_back({"theme", "one_size_pe32plus", oneSize(plus).build().bytes});

  mt::BuildOptions odd;
  odd.sectionRva = 0x3000;
  odd.sectionFileOffset = 0x400;
  odd.dataAlignment = 4;
  odd.leadingCodeSection = true;
  odd.relocations = true;
  odd.certificate = true;
  odd.appended = {'t', 'a', 'i', 'l'};
  seeds.push_back({"theme", "moved_section", oneSize(odd).build().bytes});

  // Two colours, two sizes, a second language everywhere it matters.
  mt::ThemeBuilder two;
  two.nameLists({u"Blue", u"Olive"}, {u"NORMALBLUE_INI", u"LARGEBLUE_INI", u"NORMALOLIVE_INI", u"LARGEOLIVE_INI"},
                {u"Normal", u"Large"});
  two.textFile(u"NORMALBLUE_INI", kBlueIni).textFile(u"LARGEOLIVE_INI", u"[S]\r\nFont = Arial, 12\r\n");
  two.add(u"TEXTFILE", u"LARGEOLIVE_INI", mt::utf16le(u"[S]\r\nFont = Other language, 1\r\n"), 0x409);
  two.textFile(u"THEMES_INI", kThemesIni);
  two.strings(188, mt::stringBlock({{8, u"Normal"}, {9, u"Large"}}));
  two.add(6, 188, mt::stringBlock({{8, u"Normal (en)"}}), 0x409);
  two.strings(3, mt::countedStrings({u"NORMALBLUE@[S]Font=Arial, 9", u"", u"LARGEOLIVE@[S]Font=Arial, 12, Italic"}));
  two.add(u"PACKTHEM_VERSION", 1, {4, 0});
  seeds.push_back({"theme", "two_colours_two_sizes", two.build().bytes});

  // Settings given twice (a key, a section further down, a string-table entry) and a
  // text that goes on past a U+0000: each setting must keep its own row, and nothing
  // past the U+0000 may be lost.
  const std::u16string repeated = u"[S]\r\nFont = Tahoma, 8\r\nFont = Arial, 9, Bold\r\n[T]\r\nFont = b, 1\r\n"
                                  u"[S]\r\nFont = c, 2\r\n";
  Bytes pastNul = mt::utf16le(repeated + std::u16string(1, u'\0') + u"[U]\r\nFont = d, 3\r\n");
  mt::ThemeBuilder twice = mt::oneSizeTheme();
  twice.add(u"TEXTFILE", u"BLUE_INI", pastNul);
  twice.strings(2, mt::countedStrings({u"BLUE@[S]Font=Tahoma, 8", u"BLUE@[S]Font=Arial, 9, Bold"}));
  seeds.push_back({"theme", "repeated_settings_text_past_nul", twice.build().bytes});
  seeds.push_back({"ini", "repeated_keys_text_past_nul", pastNul});

  seeds.push_back({"ini", "blue_ini", mt::utf16le(kBlueIni)});
  seeds.push_back({"ini", "themes_ini", mt::utf16le(kThemesIni)});
  Bytes nul = mt::utf16le(u"[S]\r\nFont = a, 1\r\n");
  nul.insert(nul.end(), {0, 0, 'x', 0, 1});  // text ends at U+0000; odd final byte
  seeds.push_back({"ini", "nul_and_odd_byte", nul});

  seeds.push_back({"string_table", "size_names", withBlockId(188, mt::stringBlock({{8, u"Normal"}, {11, u"Huge"}}))});
  seeds.push_back({"string_table", "style_name", withBlockId(313, mt::stringBlock({{8, u"Style"}}))});
  seeds.push_back({"string_table", "entries",
                   withBlockId(2, mt::countedStrings({u"F@[S]Font=ms ui gothic, 9, Bold", u"F@[S]Font= ms ui gothic,,  9",
                                                      u"F@[S]Font=ms ui gothic, 9 , Bold", u"F@[S]Title=a, 9, font",
                                                      u"F@[Fonts]Title=a, 9"}))});
  Bytes cut = mt::countedStrings({u"F@[S]Font=a, 9", u"F@[S]Font=b, 10"});
  cut.resize(cut.size() - 3);  // the last string runs past the block
  seeds.push_back({"string_table", "cut_short", withBlockId(2, cut)});
  return seeds;
}

// A line of an INI text worth keeping in a small seed: a section header or a font entry.
bool keepLine(std::u16string_view line) {
  if (!line.empty() && line.front() == u'[') return true;
  const std::size_t eq = line.find(u'=');
  if (eq == std::u16string_view::npos) return false;
  for (std::size_t i = 0; i + 4 <= eq; ++i) {
    std::u16string word(line.substr(i, 4));
    for (char16_t& c : word) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (word == u"font") return true;
  }
  return false;
}

// The INI text with only its first lines, its section headers and its font entries.
std::u16string shortenIni(std::u16string_view text) {
  std::u16string out;
  std::size_t lines = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find(u"\r\n", pos);
    end = end == std::u16string_view::npos ? text.size() : end + 2;
    const std::u16string_view line = text.substr(pos, end - pos);
    if (lines++ < 8 || keepLine(line)) out.append(line);
    pos = end;
  }
  return out;
}

mt::ResId resId(const theme::EntryName& n) {
  if (n.named()) return n.text;
  return n.field;
}

constexpr std::size_t kLanguagesKept = 3;

// A small theme with the name lists, INI texts (shortened) and string blocks of a real
// file; its pictures are left out. Also its INI texts and blocks as seeds of their own.
void cutFromTheme(const std::string& path, const std::string& stem, std::vector<Seed>& seeds) {
  const theme::CodePage& cp = mt::cp932();
  const theme::ThemeImage image = theme::loadThemeImage(path);
  mt::BuildOptions options;
  options.pe32Plus = image.layout.pe32Plus;
  mt::ThemeBuilder b(options);
  std::size_t blocks = 0;
  for (const theme::TypeNode& type : image.tree.types) {
    using theme::ResourceKind;
    const bool lists = type.kind == ResourceKind::ColourNames || type.kind == ResourceKind::SizeNames ||
                       type.kind == ResourceKind::FileNames;
    const bool ini = type.kind == ResourceKind::TextFile;
    const bool strings = type.kind == ResourceKind::StringTable;
    if (!lists && !ini && !strings && !(type.name.named() && type.name.text == u"PACKTHEM_VERSION")) continue;
    for (const theme::ResourceNode& res : type.resources) {
      if (strings && blocks++ >= 6) break;
      for (std::size_t li = 0; li < res.languages.size() && li < kLanguagesKept; ++li) {
        const theme::DataEntry& d = res.languages[li].data;
        const auto data = image.data(d);
        Bytes bytes(data.begin(), data.end());
        if (ini) bytes = mt::utf16le(shortenIni(theme::decodeIniText(bytes)));
        b.add(resId(type.name), resId(res.name), bytes, resId(res.languages[li].name), d.codePage);
        if (li != 0) continue;
        if (ini) seeds.push_back({"ini", stem + "_" + res.name.ansi(cp), bytes});
        if (strings) {
          seeds.push_back({"string_table", stem + "_block" + std::to_string(res.name.field),
                           withBlockId(static_cast<std::uint16_t>(res.name.field), bytes)});
        }
      }
    }
  }
  seeds.push_back({"theme", stem, b.build().bytes});
}

}  // namespace

std::vector<Seed> makeSeeds(const std::vector<std::string>& themeFiles, std::vector<std::string>* skipped) {
  std::vector<Seed> seeds = syntheticSeeds();
  for (std::size_t i = 0; i < themeFiles.size(); ++i) {
    try {
      cutFromTheme(themeFiles[i], "real" + std::to_string(i), seeds);
    } catch (const std::exception& e) {
      if (skipped != nullptr) skipped->push_back(themeFiles[i] + ": " + e.what());
    }
  }
  return seeds;
}

}  // namespace marvento_fuzz
