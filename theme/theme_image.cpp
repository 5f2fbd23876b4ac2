#include "theme_image.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "bulk_memory.h"
#include "errors.h"
#include "font_pages.h"

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

}  // namespace

ThemeImage parseThemeImage(std::vector<std::uint8_t> bytes, std::string path, LanguagePreference language) {
  ThemeImage image;
  image.path = std::move(path);
  image.bytes = std::move(bytes);
  if (image.bytes.empty()) throw ThemeError("the file is empty");
  const ByteReader file = image.reader();
  image.layout = readPeLayout(file);
  image.tree = readResourceTree(file, image.layout, language);
  if (!holdsVisualStyle(image.tree)) throw ThemeError("not a visual-style file");
  return image;
}

ThemeImage loadThemeImage(const std::string& path, LanguagePreference language) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw ThemeError("it is a folder, not a file");
  errno = 0;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    const int error = errno;
    throw ThemeError(error != 0 ? std::string("cannot open the file: ") + std::strerror(error) : "cannot open the file");
  }
  const std::streamoff size = in.tellg();
  if (size < 0) throw ThemeError("cannot read the file");
  if (static_cast<std::uint64_t>(size) > std::numeric_limits<std::uint32_t>::max()) {
    throw ThemeError("the file is larger than 4 GiB");
  }
  std::vector<std::uint8_t> bytes;
  reserveBulk(bytes, static_cast<std::size_t>(size));
  bytes.resize(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!bytes.empty() && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    throw ThemeError("cannot read the file");
  }
  return parseThemeImage(std::move(bytes), path, language);
}

ThemeImage loadTheme(const std::string& path, FontPages& pages, const CodePage& cp, LanguagePreference language) {
  pages.clear();
  try {
    ThemeImage image = loadThemeImage(path, language);
    readFontPages(image, pages, cp);
    return image;
  } catch (...) {
    pages.clear();
    throw;
  }
}

}  // namespace theme
