#pragma once
// The font pages read from a loaded theme.

namespace theme {

class CodePage;
class FontPages;
struct ThemeImage;

// Walks the resources of `image` into `pages`: name lists, INI texts, string tables.
void readFontPages(const ThemeImage& image, FontPages& pages, const CodePage& cp);

}  // namespace theme
