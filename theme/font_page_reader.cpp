#include <algorithm>

#include "codepage.h"
#include "font_pages.h"
#include "readers.h"
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

}  // namespace

void readFontPages(const ThemeImage& image, FontPages& pages, const CodePage& cp) {
  const ByteReader file = image.reader();
  std::vector<std::u16string> fileNames;
  std::size_t sizeCount = 0;
  bool haveFileNames = false;
  bool haveSizes = false;

  for (const TypeNode& type : image.tree.types) {
    const std::string typeName = type.typeName(cp);
    for (const ResourceNode& res : type.resources) {
      if (res.languages.empty()) continue;
      const DataEntry& entry = res.languages.front().data;  // only the first language is read
      const auto data = file.bytes(entry.fileOffset, entry.size, "resource data");

      if (typeName == "TEXTFILE") {
        readIniFontEntries(data, res.name.ansi(cp, 32), pages, cp);
      } else if (typeName == "STRING") {
        readStringTableBlock(data, (res.name.field - 1U) * 16U, pages, cp);
      } else if (typeName == "COLORNAMES") {
        pages.colourCount = static_cast<int>(std::min<std::size_t>(readNameList(data).size(), kMaxColours));
      } else if (typeName == "SIZENAMES") {
        const auto names = readNameList(data);
        sizeCount = names.size();
        haveSizes = true;
        for (int k = 0; k < kMaxPages; ++k) {
          pages.sizeNames[k] = k < static_cast<int>(names.size()) ? cutUnits(names[k], kMaxFieldUnits) : u"";
        }
        pages.pageCount = static_cast<int>(std::min<std::size_t>(names.size(), kMaxPages));
        if (haveFileNames) fillFileNameTable(pages, fileNames, sizeCount);
      } else if (typeName == "FILERESNAMES") {
        fileNames = readNameList(data);
        haveFileNames = true;
        if (haveSizes) fillFileNameTable(pages, fileNames, sizeCount);
      }
    }
  }
}

}  // namespace theme
