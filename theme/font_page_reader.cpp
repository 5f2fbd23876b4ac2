#include "font_page_reader.h"

#include <algorithm>

#include "codepage.h"
#include "font_pages.h"
#include "ini_reader.h"
#include "name_list_reader.h"
#include "string_table_reader.h"
#include "theme_image.h"

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

std::span<const std::uint8_t> dataOf(const ThemeImage& image, const ResourceNode& res) {
  return image.data(res.languages[res.chosen].data);
}

// The name lists decide where every text and table is listed, so they are read first,
// wherever the directory puts them. Returns `pages`, for the router.
const FontPages& readNameLists(const ThemeImage& image, FontPages& pages) {
  std::vector<std::u16string> fileNames;
  std::vector<std::u16string> sizeNames;
  bool haveSizes = false;
  for (const TypeNode& type : image.tree.types) {
    for (const ResourceNode& res : type.resources) {
      if (res.languages.empty()) continue;
      if (type.kind == ResourceKind::ColourNames) {
        pages.colourCount =
            static_cast<int>(std::min<std::size_t>(readNameList(dataOf(image, res)).size(), kMaxColours));
      } else if (type.kind == ResourceKind::SizeNames) {
        sizeNames = readNameList(dataOf(image, res));
        haveSizes = true;
      } else if (type.kind == ResourceKind::FileNames) {
        fileNames = readNameList(dataOf(image, res));
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
  return pages;
}

}  // namespace

ThemeSettings::ThemeSettings(const ThemeImage& image, FontPages& pages, const CodePage& cp)
    : router_(readNameLists(image, pages), cp) {
  for (const TypeNode& type : image.tree.types) {
    for (const ResourceNode& res : type.resources) {
      if (res.languages.empty()) continue;
      if (type.kind == ResourceKind::TextFile) {
        Source& s = sources_.emplace_back();
        s.name = res.name.wide();
        s.fileCell = cutToCell(s.name, cp);
        s.text = image.iniText(res.languages[res.chosen].data);
      } else if (isStringBlock(type, res)) {
        std::vector<Routed> strings;
        readStringTableBlock(dataOf(image, res), firstStringId(res), router_, pages,
                             [&strings](ListedStringEntry&& e, const PageList& targets) {
                               strings.push_back(Routed{std::move(e), targets});
                             });
        if (!strings.empty()) sources_.emplace_back().strings = std::move(strings);
      }
    }
  }
}

void ThemeSettings::forEach(const std::function<void(const ListedSetting&)>& visit) const {
  for (const Source& s : sources_) {
    if (s.strings.empty()) {
      forEachIniSetting(*s.text, s.name, s.fileCell, router_, visit);
    } else {
      for (const Routed& r : s.strings) visit(listedSetting(r.entry, r.pages));
    }
  }
}

void readFontPages(const ThemeImage& image, FontPages& pages, const CodePage& cp) {
  const ThemeSettings settings(image, pages, cp);
  settings.forEach([&pages](const ListedSetting& s) { pages.appendSetting(s); });
}

}  // namespace theme
