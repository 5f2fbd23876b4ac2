#include "theme_image.h"

#include "ini_syntax.h"

#include <algorithm>

#include "errors.h"
#include "font_pages.h"
#include "font_page_reader.h"

namespace theme {

namespace {

// A visual style lists its sizes, colours and INI texts; a file with none of them (a
// program, a library) would lose everything but its resources when written.
bool holdsVisualStyle(const ResourceTree& tree) {
  return std::any_of(tree.types.begin(), tree.types.end(), [](const TypeNode& t) {
    return t.kind == ResourceKind::TextFile || t.kind == ResourceKind::ColourNames ||
           t.kind == ResourceKind::SizeNames || t.kind == ResourceKind::FileNames;
  });
}

void parse(ThemeImage& image, LanguagePreference language) {
  const ByteReader file = image.reader();
  if (file.size() == 0) throw ThemeError(ThemeReason::Empty, "the file is empty");
  image.layout = readPeLayout(file);
  image.tree = readResourceTree(file, image.layout, language);
  if (!holdsVisualStyle(image.tree)) throw ThemeError(ThemeReason::NotAVisualStyle, "not a visual-style file");
}

}  // namespace

std::shared_ptr<const std::u16string> ThemeImage::iniText(const DataEntry& entry) const {
  std::shared_ptr<const std::u16string>& kept = iniTexts[{entry.fileOffset, entry.size}];
  if (kept == nullptr) {
    std::u16string text = reader().units(entry.fileOffset, entry.size / 2, "resource data");
    text.resize(iniTextLength(text));
    kept = std::make_shared<const std::u16string>(std::move(text));
  }
  return kept;
}

ThemeImage parseThemeImage(std::span<const std::uint8_t> bytes, LanguagePreference language) {
  ThemeImage image;
  image.copy = FileCopy(bytes);
  parse(image, language);
  return image;
}

ThemeImage loadThemeImage(const std::string& path, LanguagePreference language, Reading reading) {
  return loadThemeImage(std::make_unique<PositionedFile>(path), language, reading);
}

ThemeImage loadThemeImage(std::unique_ptr<PositionedFile> file, LanguagePreference language, Reading reading) {
  ThemeImage image;
  if (reading == Reading::WholeFile) {
    image.copy = FileCopy(*file);  // the file is closed again once copied
  } else {
    image.file = std::move(file);
  }
  parse(image, language);
  return image;
}

ThemeImage loadTheme(const std::string& path, FontPages& pages, const CodePage& cp, LanguagePreference language,
                     Reading reading) {
  pages.clear();  // also when the file cannot be opened
  return loadTheme(std::make_unique<PositionedFile>(path), pages, cp, language, reading);
}

ThemeImage loadTheme(std::unique_ptr<PositionedFile> file, FontPages& pages, const CodePage& cp,
                     LanguagePreference language, Reading reading) {
  pages.clear();
  try {
    ThemeImage image = loadThemeImage(std::move(file), language, reading);
    readFontPages(image, pages, cp);
    return image;
  } catch (...) {
    pages.clear();
    throw;
  }
}

}  // namespace theme
