#include "theme_rebuild.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include "byte_writer.h"
#include "codepage.h"
#include "errors.h"
#include "font_pages.h"
#include "page_routing.h"
#include "pe_format.h"
#include "theme_image.h"
#include "ini_rewriter.h"
#include "string_table_rewriter.h"

namespace theme {

namespace {

constexpr std::uint32_t kSectionFileOffset = 0x1000;  // where the rebuilt resource section starts
constexpr std::uint32_t kPageSize = 0x1000;
constexpr std::uint32_t kHighBit = pe::resource_entry::kHighBit;
constexpr std::uint64_t kDirectory = pe::resource_directory::kSize;
constexpr std::uint64_t kEntry = pe::resource_entry::kSize;
constexpr std::uint64_t kDataEntry = pe::resource_data_entry::kSize;

std::uint64_t alignUp(std::uint64_t v, std::uint32_t alignment) { return (v + alignment - 1) / alignment * alignment; }
bool isPowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }
std::uint64_t countedNameSize(const EntryName& n) { return n.named() ? 2 + 2ULL * n.text.size() : 0; }

// An address or size of the rebuilt image, which must fit the 32 bits of its field.
std::uint32_t to32(std::uint64_t value, const char* what) {
  if (value > std::numeric_limits<std::uint32_t>::max()) throw WriteError(std::string(what) + " would exceed 4 GiB");
  return static_cast<std::uint32_t>(value);
}

// The regions of the rebuilt resource section, in their order: directories, data
// entries and names back to back, then the data blocks.
enum Region : std::size_t {
  kRoot,
  kNameDirectories,
  kLanguageDirectories,
  kDataEntries,
  kTypeNames,
  kResourceNames,
  kLanguageNames,
  kRegionCount
};

// The size pass: where each region starts, from the section start, computed from the
// tree before anything is written. `start[kRegionCount]` is where the data begins.
struct SectionLayout {
  std::array<std::uint64_t, kRegionCount + 1> start{};

  explicit SectionLayout(const ResourceTree& tree) {
    std::array<std::uint64_t, kRegionCount> size{};
    size[kRoot] = kDirectory + kEntry * tree.types.size();
    for (const TypeNode& t : tree.types) {
      size[kNameDirectories] += kDirectory + kEntry * t.resources.size();
      size[kTypeNames] += countedNameSize(t.name);
      for (const ResourceNode& r : t.resources) {
        size[kLanguageDirectories] += kDirectory + kEntry * r.languages.size();
        size[kResourceNames] += countedNameSize(r.name);
        for (const LanguageNode& l : r.languages) {
          size[kDataEntries] += kDataEntry;
          size[kLanguageNames] += countedNameSize(l.name);
        }
      }
    }
    for (std::size_t region = 0; region < kRegionCount; ++region) start[region + 1] = start[region] + size[region];
  }
  [[nodiscard]] std::uint64_t directorySize() const { return start[kRegionCount]; }
};

// The write pass over the directory part of the section: each region is filled from
// its start as laid out by the size pass, at a cursor of its own.
class SectionWriter {
 public:
  SectionWriter(std::span<std::uint8_t> section, const SectionLayout& layout) : section_(section) {
    std::copy(layout.start.begin(), layout.start.end() - 1, cursor_.begin());
    std::copy(layout.start.begin() + 1, layout.start.end(), end_.begin());
  }

  // A directory: its header, with room for `entries` entries after it. Returns its offset.
  std::uint32_t directory(Region region, const DirectoryHeader& header, std::size_t entries) {
    const std::uint64_t at = take(region, kDirectory + kEntry * entries);
    std::copy(header.begin(), header.end(), section_.begin() + static_cast<std::ptrdiff_t>(at));
    return static_cast<std::uint32_t>(at);
  }
  void entry(std::uint32_t directory, std::size_t index, std::uint32_t name, std::uint32_t offsetToData) {
    const std::uint64_t at = directory + kDirectory + kEntry * index;
    put(section_, at, pe::resource_entry::kName, name);
    put(section_, at, pe::resource_entry::kOffsetToData, offsetToData);
  }
  std::uint32_t dataEntry(std::uint32_t rva, std::uint32_t size, const DataEntry& loaded) {
    namespace data = pe::resource_data_entry;
    const std::uint64_t at = take(kDataEntries, kDataEntry);
    put(section_, at, data::kOffsetToData, rva);
    put(section_, at, data::kSizeField, size);
    put(section_, at, data::kCodePage, loaded.codePage);
    put(section_, at, data::kReserved, loaded.reserved);
    return static_cast<std::uint32_t>(at);
  }
  // The Name field for `name`: a number as it is, a counted name copied into `region`.
  std::uint32_t name(Region region, const EntryName& name) {
    if (!name.named()) return name.field;
    const std::uint64_t at = take(region, countedNameSize(name));
    putLittleEndian(section_, at, static_cast<std::uint16_t>(name.text.size()));
    for (std::size_t i = 0; i < name.text.size(); ++i) putLittleEndian(section_, at + 2 + 2 * i, name.text[i]);
    return kHighBit | static_cast<std::uint32_t>(at);
  }

 private:
  std::uint64_t take(Region region, std::uint64_t bytes) {
    const std::uint64_t at = cursor_[region];
    if (bytes > end_[region] - at) throw std::logic_error("the resource section outgrew its layout");
    cursor_[region] += bytes;
    return at;
  }

  std::span<std::uint8_t> section_;
  std::array<std::uint64_t, kRegionCount> cursor_{};
  std::array<std::uint64_t, kRegionCount> end_{};
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
  if (static_cast<std::uint64_t>(pe.optionalHeaderOffset()) + pe.sizeOfOptionalHeader + pe::section_header::kSize >
      sectionFileOffset(pe)) {
    throw WriteError("the headers do not fit before the resource section");
  }
  if (!isPowerOfTwo(pe.fileAlignment) || pe.fileAlignment > kPageSize ||
      sectionFileOffset(pe) % pe.fileAlignment != 0) {
    throw WriteError("the file alignment is not supported");
  }
  if (!isPowerOfTwo(pe.sectionAlignment)) throw WriteError("the section alignment is not supported");
}

// Resource data copied unchanged: a slice of the loaded copy, or a range of the file,
// which is only read when the new file is written.
Piece unchangedData(const ThemeImage& image, const DataEntry& entry) {
  if (!image.file) return image.data(entry);
  const std::uint64_t fileSize = image.file->size();
  if (entry.fileOffset > fileSize || entry.size > fileSize - entry.fileOffset) {
    throw WriteError("a resource's data lies past the end of the file");
  }
  return entry.size == 0 ? Piece() : Piece::ofSource(entry.fileOffset, entry.size);
}

// The data pass: every resource's new data in directory order. Texts and tables of the
// chosen language are regenerated into `generated`; everything else is copied unchanged.
std::vector<Piece> produceData(const ThemeImage& image, const PageRouter& router, const FontPages& pages,
                               std::vector<std::vector<std::uint8_t>>& generated, KeptNames& kept) {
  std::vector<Piece> blocks;
  for (const TypeNode& type : image.tree.types) {
    for (const ResourceNode& res : type.resources) {
      for (std::size_t li = 0; li < res.languages.size(); ++li) {
        const DataEntry& entry = res.languages[li].data;
        const bool listed = li == res.chosen;
        if (listed && type.kind == ResourceKind::TextFile) {
          rewriteIniText(image.data(entry), res.name.wide(), router, pages, generated.emplace_back());
        } else if (listed && isStringBlock(type, res)) {
          rewriteStringTableBlock(image.data(entry), firstStringId(res), router, pages, generated.emplace_back(),
                                  &kept);
        } else {
          blocks.push_back(unchangedData(image, entry));
          continue;
        }
        blocks.emplace_back(generated.back());
      }
    }
  }
  return blocks;
}

// Headers carried over from the loaded image (the DOS header and stub, the NT headers,
// the resource section's header), brought up to date with the one rebuilt section;
// directories into sections that are gone are cleared.
void writeHeaders(const ThemeImage& image, std::span<std::uint8_t> out, std::uint32_t start, std::uint32_t contentSize,
                  std::uint32_t rawSize) {
  namespace nt = pe::nt_headers;
  namespace opt = pe::optional_header;
  namespace sec = pe::section_header;
  const PeLayout& pe = image.layout;
  const ByteReader file = image.reader();
  const SectionHeader& kept = pe.sections[static_cast<std::size_t>(pe.resourceSectionIndex())];

  const auto dos = file.bytes(0, pe.ntOffset, "the DOS header");
  std::copy(dos.begin(), dos.end(), out.begin());
  const auto headers = file.bytes(pe.ntOffset, std::uint64_t{nt::kOptionalHeader} + pe.sizeOfOptionalHeader,
                                  "the NT headers");
  std::copy(headers.begin(), headers.end(), out.begin() + pe.ntOffset);
  const std::uint32_t section = pe.optionalHeaderOffset() + pe.sizeOfOptionalHeader;
  const auto sectionHeader = file.bytes(kept.headerOffset, sec::kSize, "the section table");
  std::copy(sectionHeader.begin(), sectionHeader.end(), out.begin() + section);

  put(out, pe.ntOffset, nt::kNumberOfSections, std::uint16_t{1});
  put(out, pe.ntOffset, nt::kPointerToSymbolTable, 0U);  // the symbols are not carried over
  put(out, pe.ntOffset, nt::kNumberOfSymbols, 0U);

  put(out, section, sec::kVirtualSize, contentSize);
  put(out, section, sec::kSizeOfRawData, rawSize);
  put(out, section, sec::kPointerToRawData, start);
  put(out, section, sec::kPointerToRelocations, 0U);
  put(out, section, sec::kPointerToLinenumbers, 0U);
  put(out, section, sec::kNumberOfRelocations, std::uint16_t{0});
  put(out, section, sec::kNumberOfLinenumbers, std::uint16_t{0});

  const std::uint32_t optional = pe.optionalHeaderOffset();
  const std::uint32_t entryPoint = file.get(optional, opt::kAddressOfEntryPoint, "the optional header");
  if (entryPoint != 0 && (entryPoint < kept.virtualAddress || entryPoint - kept.virtualAddress >= contentSize)) {
    put(out, optional, opt::kAddressOfEntryPoint, 0U);  // its code was in a section that is not carried over
  }
  put(out, optional, opt::kSizeOfInitializedData, start + rawSize);
  put(out, optional, opt::kSizeOfImage,
      to32(alignUp(std::uint64_t{kept.virtualAddress} + contentSize, pe.sectionAlignment), "the image size"));
  if (pe.sizeOfHeaders > start) put(out, optional, opt::kSizeOfHeaders, start);

  namespace dir = pe::data_directory;
  const std::uint32_t directories = std::min(pe.dataDirectoryCount, dir::kKnown);
  for (std::uint32_t i = 0; i < directories; ++i) {
    const std::uint32_t at = pe.dataDirectoryOffset() + dir::kSize * i;
    if (at + dir::kSize > optional + pe.sizeOfOptionalHeader) break;
    const bool resources = i == dir::kResources;
    put(out, at, dir::kVirtualAddress, resources ? kept.virtualAddress : 0U);
    put(out, at, dir::kSizeField, resources ? contentSize : 0U);
  }
}

}  // namespace

std::uint64_t RebuiltTheme::size() const {
  std::uint64_t total = 0;
  for (const auto& piece : pieces_) total += piece.size();
  return total;
}

std::vector<std::uint8_t> RebuiltTheme::bytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(size());
  for (const Piece& piece : pieces_) {
    if (!piece.inSource()) {
      out.insert(out.end(), piece.memory.begin(), piece.memory.end());
      continue;
    }
    const std::size_t at = out.size();
    out.resize(at + piece.sourceLength);
    source_->readInto(piece.sourceOffset, std::span(out).subspan(at));
  }
  return out;
}

RebuiltTheme rebuildTheme(const ThemeImage& image, const FontPages& pages, const CodePage& cp) {
  if (!image.loaded()) throw WriteError("no theme is loaded");
  const PeLayout& pe = image.layout;
  checkRebuildable(pe);
  const SectionHeader& kept = pe.sections[static_cast<std::size_t>(pe.resourceSectionIndex())];
  const ResourceTree& tree = image.tree;

  RebuiltTheme result;
  result.source_ = image.file.get();
  const PageRouter router(pages, cp);
  const std::vector<Piece> blocks = produceData(image, router, pages, result.generated_, result.kept_);

  // Size pass, then the write pass into the head: headers, then the directory.
  const SectionLayout layout(tree);
  const std::uint32_t start = sectionFileOffset(pe);
  std::uint64_t contentSize = layout.directorySize();
  for (const auto& block : blocks) contentSize += block.size();
  const std::uint64_t rawSize = alignUp(contentSize, pe.fileAlignment);
  if (start + rawSize > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    throw WriteError("the rebuilt file is too large");
  }
  result.head_.assign(start + layout.directorySize(), 0);
  const std::span<std::uint8_t> section = std::span(result.head_).subspan(start);
  SectionWriter w(section, layout);

  const std::uint32_t root = w.directory(kRoot, tree.rootHeader, tree.types.size());
  std::size_t block = 0;
  std::uint64_t dataAt = layout.directorySize();
  for (std::size_t ti = 0; ti < tree.types.size(); ++ti) {
    const TypeNode& type = tree.types[ti];
    const std::uint32_t nameDir = w.directory(kNameDirectories, type.nameHeader, type.resources.size());
    for (std::size_t ri = 0; ri < type.resources.size(); ++ri) {
      const ResourceNode& res = type.resources[ri];
      const std::uint32_t langDir = w.directory(kLanguageDirectories, res.languageHeader, res.languages.size());
      for (std::size_t li = 0; li < res.languages.size(); ++li) {
        const LanguageNode& lang = res.languages[li];
        const auto size = static_cast<std::uint32_t>(blocks[block++].size());
        const std::uint32_t entry = w.dataEntry(to32(kept.virtualAddress + dataAt, "a resource's address"), size,
                                                lang.data);
        dataAt += size;
        w.entry(langDir, li, w.name(kLanguageNames, lang.name), (lang.offsetField & kHighBit) | entry);
      }
      w.entry(nameDir, ri, w.name(kResourceNames, res.name), (res.offsetField & kHighBit) | langDir);
    }
    w.entry(root, ti, w.name(kTypeNames, type.name), (type.offsetField & kHighBit) | nameDir);
  }
  writeHeaders(image, result.head_, start, static_cast<std::uint32_t>(contentSize),
               static_cast<std::uint32_t>(rawSize));

  // The section is padded with zeros to the file alignment (at most one page).
  static constexpr std::array<std::uint8_t, kPageSize> kZeros{};
  result.pieces_.reserve(blocks.size() + 2);
  result.pieces_.emplace_back(result.head_);
  for (const Piece& b : blocks) {
    if (b.size() == 0) continue;
    // Data that follows on in the file as in the new file is copied in one go.
    Piece& last = result.pieces_.back();
    if (b.inSource() && last.inSource() && last.sourceOffset + last.sourceLength == b.sourceOffset) {
      last.sourceLength += b.sourceLength;
    } else {
      result.pieces_.push_back(b);
    }
  }
  if (rawSize > contentSize) result.pieces_.emplace_back(std::span<const std::uint8_t>(kZeros.data(), rawSize - contentSize));
  return result;
}

}  // namespace theme
