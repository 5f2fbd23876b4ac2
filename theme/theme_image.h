#pragma once
// The private in-memory copy of a loaded theme file, with its parsed headers and
// resource tree. Reading fills the font pages from it; writing rebuilds a file from it.
#include <cstdint>
#include <string>
#include <vector>

#include "pe_image.h"
#include "resource_tree.h"

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

// Reads the whole file at `path` and parses it; throws ThemeError naming what is wrong.
ThemeImage loadThemeImage(const std::string& path);
// Parses bytes already in memory (tests, fuzzing).
ThemeImage parseThemeImage(std::vector<std::uint8_t> bytes, std::string path = {});

// Walks the resources of `image` into `pages`: name lists, INI texts, string tables.
void readFontPages(const ThemeImage& image, FontPages& pages, const CodePage& cp);

// The Load command without its dialog: empties `pages`, then loads and reads the file.
// On failure `pages` are left empty and ThemeError is thrown.
ThemeImage loadTheme(const std::string& path, FontPages& pages, const CodePage& cp);

}  // namespace theme
