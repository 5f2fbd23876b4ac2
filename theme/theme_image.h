#pragma once
// The private in-memory copy of a loaded theme file, with its parsed headers and
// resource tree. Reading fills the font pages from it; writing rebuilds a file from it.
#include <cstdint>
#include <string>
#include <vector>

#include "pe_image.h"
#include "resource_tree.h"
#include "ui_language.h"

namespace theme {

class CodePage;
class FontPages;

struct ThemeImage {
  std::string path;
  std::vector<std::uint8_t> bytes;
  PeLayout layout;
  ResourceTree tree;

  [[nodiscard]] bool loaded() const { return !bytes.empty(); }
  [[nodiscard]] ByteReader reader() const { return ByteReader(bytes); }
};

// Reads the whole file at `path` and parses it; throws ThemeError naming what is wrong,
// also for a file that holds none of the resources a visual style is made of. Of a
// resource stored in several languages, `language` chooses the one read and edited;
// without a preference it is the first.
ThemeImage loadThemeImage(const std::string& path, LanguagePreference language = {});
// Parses bytes already in memory (tests, fuzzing).
ThemeImage parseThemeImage(std::vector<std::uint8_t> bytes, std::string path = {}, LanguagePreference language = {});

// Walks the resources of `image` into `pages`: name lists, INI texts, string tables.
void readFontPages(const ThemeImage& image, FontPages& pages, const CodePage& cp);

// The Load command without its dialog: empties `pages`, then loads and reads the file.
// On failure `pages` are left empty and ThemeError is thrown.
ThemeImage loadTheme(const std::string& path, FontPages& pages, const CodePage& cp, LanguagePreference language = {});

}  // namespace theme
