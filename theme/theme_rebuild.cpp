#include "theme_rebuild.h"

#include <algorithm>
#include <limits>

#include "bulk_memory.h"
#include "byte_writer.h"
#include "codepage.h"
#include "errors.h"
#include "font_pages.h"
#include "page_routing.h"
#include "rewriters.h"
#include "theme_image.h"

namespace theme {

namespace {

constexpr std::uint32_t kSectionFileOffset = 0x1000;  // where the rebuilt resource section starts
constexpr std::uint32_t kPageSize = 0x1000;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000;
constexpr std::uint32_t kResourceDirectory = 2;

std::uint64_t alignUp(std::uint64_t v, std::uint32_t alignment) { return (v + alignment - 1) / alignment * alignment; }
bool isPowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }
// An address or size of the rebuilt image, which must fit the 32 bits of its field.
std::uint32_t to32(std::uint64_t value, const char* what) {
  if (value > std::numeric_limits<std::uint32_t>::max()) throw WriteError(std::string(what) + " would exceed 4 GiB");
  return static_cast<std::uint32_t>(value);
}
std::uint64_t countedNameSize(const EntryName& n) { return n.named() ? 2 + 2ULL * n.text.size() : 0; }

// The offsets, from the section start, of the regions of the rebuilt resource section:
// directories, data entries and names back to back, then the data blocks.
struct SectionLayout {
  std::uint64_t nameDirectories = 0, languageDirectories = 0, dataEntries = 0;
  std::uint64_t typeNames = 0, resourceNames = 0, languageNames = 0, data = 0;

  explicit SectionLayout(const ResourceTree& tree) {
    std::uint64_t nameDirs = 0, langDirs = 0, entries = 0, typeNameBytes = 0, resNameBytes = 0, langNameBytes = 0;
    for (const TypeNode& t : tree.types) {
      nameDirs += 16 + 8ULL * t.resources.size();
      typeNameBytes += countedNameSize(t.name);
      for (const ResourceNode& r : t.resources) {
        langDirs += 16 + 8ULL * r.languages.size();
        resNameBytes += countedNameSize(r.name);
        for (const LanguageNode& l : r.languages) {
          entries += 16;
          langNameBytes += countedNameSize(l.name);
        }
      }
    }
    nameDirectories = 16 + 8ULL * tree.types.size();
    languageDirectories = nameDirectories + nameDirs;
    dataEntries = languageDirectories + langDirs;
    typeNames = dataEntries + entries;
    resourceNames = typeNames + typeNameBytes;
    languageNames = resourceNames + resNameBytes;
    data = languageNames + langNameBytes;
  }
};

class SectionWriter {
  std::vector<std::uint8_t>& out_;
  std::uint32_t start_;  // file offset of the section

 public:
  SectionWriter(std::vector<std::uint8_t>& out, std::uint32_t start, const SectionLayout& layout)
      : out_(out),
        start_(start),
        nameDir_(layout.nameDirectories),
        langDir_(layout.languageDirectories),
        dataEntry_(layout.dataEntries),
        typeName_(layout.typeNames),
        resName_(layout.resourceNames),
        langName_(layout.languageNames) {}

  // Write cursors, one per region.
  std::uint64_t nameDir_, langDir_, dataEntry_, typeName_, resName_, langName_;

  void header(std::uint64_t at, const DirectoryHeader& h) {
    std::copy(h.begin(), h.end(), out_.begin() + static_cast<std::ptrdiff_t>(start_ + at));
  }
  void entry(std::uint64_t at, std::uint32_t name, std::uint32_t offset) {
    putU32(out_, start_ + at, name);
    putU32(out_, start_ + at + 4, offset);
  }
  // Copies a counted name to `cursor` and returns the Name field that points at it.
  std::uint32_t name(const EntryName& n, std::uint64_t& cursor) {
    if (!n.named()) return n.field;
    const std::uint64_t at = cursor;
    putU16(out_, start_ + at, static_cast<std::uint16_t>(n.text.size()));
    for (std::size_t i = 0; i < n.text.size(); ++i) putU16(out_, start_ + at + 2 + 2 * i, n.text[i]);
    cursor += countedNameSize(n);
    return kSubdirectoryBit | static_cast<std::uint32_t>(at);
  }
};

// An image aligned below the page size is mapped as it lies in the file, so its section
// must stay at a file offset equal to its RVA; otherwise it starts at 0x1000.
std::uint32_t sectionFileOffset(const PeLayout& pe) {
  const SectionHeader& kept = pe.sections[static_cast<std::size_t>(pe.resourceSectionIndex())];
  return pe.sectionAlignment < kPageSize ? kept.virtualAddress : kSectionFileOffset;
}

void checkRebuildable(const PeLayout& pe) {
  const int kept = pe.resourceSectionIndex();
  if (kept < 0) throw WriteError("the resource directory lies in no section");
  const std::uint32_t rva = pe.sections[static_cast<std::size_t>(kept)].virtualAddress;
  if (rva == 0 || rva < pe.sizeOfHeaders) throw WriteError("the resource section overlaps the headers");
  if (static_cast<std::uint64_t>(pe.optionalHeaderOffset) + pe.sizeOfOptionalHeader + 40 > sectionFileOffset(pe)) {
    throw WriteError("the headers do not fit before the resource section");
  }
  if (!isPowerOfTwo(pe.fileAlignment) || pe.fileAlignment > kPageSize ||
      sectionFileOffset(pe) % pe.fileAlignment != 0) {
    throw WriteError("the file alignment is not supported");
  }
  if (!isPowerOfTwo(pe.sectionAlignment)) throw WriteError("the section alignment is not supported");
}

void produceData(const ThemeImage& image, ResourceKind kind, const ResourceNode& res, std::size_t language,
                 const PageRouter& router, FontPages& pages, std::vector<std::uint8_t>& out) {
  const DataEntry& d = res.languages[language].data;
  const auto old = image.reader().bytes(d.fileOffset, d.size, "resource data");
  // Only the chosen language is what the tool lists; the others are kept as they are.
  if (language == res.chosen && kind == ResourceKind::TextFile) {
    rewriteIniText(old, res.name.wide(), router, pages, out);
  } else if (language == res.chosen && kind == ResourceKind::StringTable) {
    rewriteStringTableBlock(old, firstStringId(res), router, pages, out);
  } else {
    out.insert(out.end(), old.begin(), old.end());
  }
}

// Headers carried over from the loaded image, brought up to date with the one
// rebuilt section; directories into sections that are gone are cleared.
void writeHeaders(const ThemeImage& image, std::vector<std::uint8_t>& out, std::uint32_t start,
                  std::uint32_t contentSize, std::uint32_t rawSize) {
  const PeLayout& pe = image.layout;
  const ByteReader file = image.reader();
  const SectionHeader& kept = pe.sections[static_cast<std::size_t>(pe.resourceSectionIndex())];

  const auto dos = file.bytes(0, 64, "the DOS header");
  std::copy(dos.begin(), dos.end(), out.begin());
  const auto nt = file.bytes(pe.ntOffset, 24ULL + pe.sizeOfOptionalHeader, "the NT headers");
  std::copy(nt.begin(), nt.end(), out.begin() + pe.ntOffset);
  const std::uint32_t sectionHeader = pe.optionalHeaderOffset + pe.sizeOfOptionalHeader;
  const auto section = file.bytes(kept.headerOffset, 40, "the section table");
  std::copy(section.begin(), section.end(), out.begin() + sectionHeader);

  putU16(out, pe.ntOffset + 6, 1);   // NumberOfSections
  putU32(out, pe.ntOffset + 12, 0);  // PointerToSymbolTable: the symbols are not carried over
  putU32(out, pe.ntOffset + 16, 0);  // NumberOfSymbols

  putU32(out, sectionHeader + 8, contentSize);  // VirtualSize
  putU32(out, sectionHeader + 16, rawSize);     // SizeOfRawData
  putU32(out, sectionHeader + 20, start);
  putU32(out, sectionHeader + 24, 0);  // PointerToRelocations
  putU32(out, sectionHeader + 28, 0);  // PointerToLinenumbers
  putU32(out, sectionHeader + 32, 0);  // NumberOfRelocations, NumberOfLinenumbers

  const std::uint32_t opt = pe.optionalHeaderOffset;
  const std::uint32_t entryPoint = file.u32(opt + 16, "the optional header");
  if (entryPoint != 0 && (entryPoint < kept.virtualAddress || entryPoint - kept.virtualAddress >= contentSize)) {
    putU32(out, opt + 16, 0);  // its code was in a section that is not carried over
  }
  putU32(out, opt + 8, static_cast<std::uint32_t>(out.size()));  // SizeOfInitializedData
  putU32(out, opt + 56, to32(alignUp(static_cast<std::uint64_t>(kept.virtualAddress) + contentSize,
                                     pe.sectionAlignment), "the image size"));  // SizeOfImage
  if (pe.sizeOfHeaders > start) putU32(out, opt + 60, start);

  const std::uint32_t directories = std::min<std::uint32_t>(pe.dataDirectoryCount, 16);
  for (std::uint32_t i = 0; i < directories; ++i) {
    const std::uint32_t at = pe.dataDirectoryOffset + 8 * i;
    if (at + 8 > opt + pe.sizeOfOptionalHeader) break;
    const bool resources = i == kResourceDirectory;
    putU32(out, at, resources ? kept.virtualAddress : 0);
    putU32(out, at + 4, resources ? contentSize : 0);
  }
}

}  // namespace

std::vector<std::uint8_t> rebuildTheme(const ThemeImage& image, FontPages& pages, const CodePage& cp) {
  if (!image.loaded()) throw WriteError("no theme is loaded");
  const PeLayout& pe = image.layout;
  checkRebuildable(pe);
  const SectionHeader& kept = pe.sections[static_cast<std::size_t>(pe.resourceSectionIndex())];
  const ResourceTree& tree = image.tree;

  const SectionLayout layout(tree);
  const std::uint32_t start = sectionFileOffset(pe);
  std::vector<std::uint8_t> out;
  reserveBulk(out, start + layout.data + image.bytes.size() + image.bytes.size() / 16);
  out.resize(start + layout.data, 0);
  SectionWriter w(out, start, layout);
  const PageRouter router(pages, cp);

  w.header(0, tree.rootHeader);
  for (std::size_t ti = 0; ti < tree.types.size(); ++ti) {
    const TypeNode& type = tree.types[ti];
    const std::uint64_t nameDirAt = w.nameDir_;
    w.header(nameDirAt, type.nameHeader);
    w.nameDir_ += 16;
    for (const ResourceNode& res : type.resources) {
      const std::uint64_t langDirAt = w.langDir_;
      w.header(langDirAt, res.languageHeader);
      w.langDir_ += 16;
      for (std::size_t li = 0; li < res.languages.size(); ++li) {
        const LanguageNode& lang = res.languages[li];
        const std::uint64_t dataAt = out.size() - start;
        produceData(image, type.kind, res, li, router, pages, out);
        const std::uint64_t size = out.size() - start - dataAt;
        if (out.size() > std::numeric_limits<std::int32_t>::max()) throw WriteError("the rebuilt file is too large");

        const std::uint64_t entryAt = w.dataEntry_;
        putU32(out, start + entryAt, to32(kept.virtualAddress + dataAt, "a resource's address"));
        putU32(out, start + entryAt + 4, static_cast<std::uint32_t>(size));
        putU32(out, start + entryAt + 8, lang.data.codePage);
        putU32(out, start + entryAt + 12, lang.data.reserved);
        w.dataEntry_ += 16;

        const std::uint32_t langName = w.name(lang.name, w.langName_);
        w.entry(w.langDir_, langName, (lang.offsetField & kSubdirectoryBit) | static_cast<std::uint32_t>(entryAt));
        w.langDir_ += 8;
      }
      const std::uint32_t resName = w.name(res.name, w.resName_);
      w.entry(w.nameDir_, resName, (res.offsetField & kSubdirectoryBit) | static_cast<std::uint32_t>(langDirAt));
      w.nameDir_ += 8;
    }
    const std::uint32_t typeNameField = w.name(type.name, w.typeName_);
    w.entry(16 + 8 * ti, typeNameField, (type.offsetField & kSubdirectoryBit) | static_cast<std::uint32_t>(nameDirAt));
  }

  const auto contentSize = static_cast<std::uint32_t>(out.size() - start);
  const auto rawSize = static_cast<std::uint32_t>(alignUp(contentSize, pe.fileAlignment));
  out.resize(start + static_cast<std::size_t>(rawSize), 0);
  writeHeaders(image, out, start, contentSize, rawSize);
  return out;
}

}  // namespace theme
