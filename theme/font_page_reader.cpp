#include "font_page_reader.h"

#include <algorithm>

#include "codepage.h"
#include "font_pages.h"
#include "page_routing.h"
#include "theme_image.h"
#include "name_list_reader.h"
#include "ini_reader.h"
#include "string_table_reader.h"

namespace theme {

namespace {

std::u16string cutUnits(std::u16string s, std::size_t units) {
  if (s.size() > units) s.resize(units);
  return s;
}

// Lays FILERESNAMES out by the size count of the same file: colour by colour, and
// within a colour size by size. Slots beyond the table are ignored.
void fillFileNameTable(FontPages& pages, const std::vector<std::u16string>& files, std::size_t sizeCount) {
  for (auto& page : pages.fileNames) {
    for (auto& name : page) name.clear();
  }
  if (sizeCount == 0) return;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::size_t page = i % sizeCount;
    const std::size_t colour = i / sizeCount;
    if (page >= static_cast<std::size_t>(kMaxPages) || colour >= static_cast<std::size_t>(kMaxColours)) continue;
    std::u16string name = files[i].substr(0, files[i].find(u'_'));
    pages.fileNames[page][colour] = cutUnits(std::move(name), kMaxFieldUnits);
  }
}

}  // namespace

void readFontPages(const ThemeImage& image, FontPages& pages, const CodePage& cp) {
  const auto dataOf = [&](const ResourceNode& res) { return image.data(res.languages[res.chosen].data); };

  // The name lists decide where every text and table is listed, so they are read
  // first, wherever the directory puts them.
  std::vector<std::u16string> fileNames;
  std::vector<std::u16string> sizeNames;
  bool haveSizes = false;
  for (const TypeNode& type : image.tree.types) {
    for (const ResourceNode& res : type.resources) {
      if (res.languages.empty()) continue;
      if (type.kind == ResourceKind::ColourNames) {
        pages.colourCount = static_cast<int>(std::min<std::size_t>(readNameList(dataOf(res)).size(), kMaxColours));
      } else if (type.kind == ResourceKind::SizeNames) {
        sizeNames = readNameList(dataOf(res));
        haveSizes = true;
      } else if (type.kind == ResourceKind::FileNames) {
        fileNames = readNameList(dataOf(res));
      }
    }
  }
  if (haveSizes) {
    for (int k = 0; k < kMaxPages; ++k) {
      pages.sizeNames[k] = k < static_cast<int>(sizeNames.size()) ? cutUnits(sizeNames[k], kMaxFieldUnits) : u"";
    }
    pages.pageCount = static_cast<int>(std::min<std::size_t>(sizeNames.size(), kMaxPages));
    fillFileNameTable(pages, fileNames, sizeNames.size());
  }

  const PageRouter router(pages, cp);
  for (const TypeNode& type : image.tree.types) {
    for (const ResourceNode& res : type.resources) {
      if (res.languages.empty()) continue;
      if (type.kind == ResourceKind::TextFile) {
        readIniFontEntries(dataOf(res), res.name.wide(), router, pages);
      } else if (isStringBlock(type, res)) {
        readStringTableBlock(dataOf(res), firstStringId(res), router, pages);
      }
    }
  }
}

}  // namespace theme
