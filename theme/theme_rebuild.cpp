#include "theme_rebuild.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "byte_writer.h"
#include "codepage.h"
#include "errors.h"
#include "font_pages.h"
#include "page_routing.h"
#include "pe_format.h"
#include "theme_image.h"
#include "ini_rewriter.h"
#include "string_table_rewriter.h"
#include "safe_write.h"

namespace theme {

namespace {

constexpr std::uint32_t kSectionFileOffset = 0x1000;  // where the sections start at the earliest
constexpr std::uint32_t kPageSize = 0x1000;
constexpr std::uint32_t kHighBit = pe::resource_entry::kHighBit;
constexpr std::uint64_t kDirectory = pe::resource_directory::kSize;
constexpr std::uint64_t kEntry = pe::resource_entry::kSize;
constexpr std::uint64_t kDataEntry = pe::resource_data_entry::kSize;
constexpr std::uint64_t kRegenerated = std::numeric_limits<std::uint64_t>::max();  // a block not in the loaded file

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

bool lowAlignment(const PeLayout& pe) { return pe.sectionAlignment < kPageSize; }

std::size_t resourceIndex(const PeLayout& pe) { return static_cast<std::size_t>(pe.resourceSectionIndex()); }

std::uint64_t sectionTableEnd(const PeLayout& pe) {
  return std::uint64_t{pe.optionalHeaderOffset()} + pe.sizeOfOptionalHeader +
         std::uint64_t{pe::section_header::kSize} * pe.sections.size();
}

void checkRebuildable(const PeLayout& pe) {
  const int kept = pe.resourceSectionIndex();
  if (kept < 0) throw WriteError("the resource directory lies in no section");
  const std::uint32_t rva = pe.sections[static_cast<std::size_t>(kept)].virtualAddress;
  if (rva == 0 || rva < pe.sizeOfHeaders) throw WriteError("the resource section overlaps the headers");
  if (!isPowerOfTwo(pe.fileAlignment) || pe.fileAlignment > kPageSize) {
    throw WriteError("the file alignment is not supported");
  }
  if (!isPowerOfTwo(pe.sectionAlignment)) throw WriteError("the section alignment is not supported");
  for (std::size_t i = 1; i < pe.sections.size(); ++i) {
    if (pe.sections[i].virtualAddress <= pe.sections[i - 1].virtualAddress) {
      throw WriteError("the sections are not in address order");
    }
  }
  // An image aligned below the page size is mapped as it lies in the file: each section's
  // data must lie at its address, in the loaded file as in the new one.
  if (lowAlignment(pe)) {
    for (const SectionHeader& s : pe.sections) {
      if (s.sizeOfRawData != 0 && (s.pointerToRawData != s.virtualAddress || s.virtualAddress % pe.fileAlignment != 0)) {
        throw WriteError("a section's data does not lie at its address, as an image aligned below the page size needs");
      }
    }
  }
}

// Where each section lies in the rebuilt image. The resource section keeps its address
// and takes its new size; the sections before it keep theirs, the sections after it move
// with its end, by whole section alignments. In the file the sections follow one
// another in table order after the headers.
struct PlacedSection {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t fileOffset = 0;  // 0 for a section without raw data
};

struct ImagePlan {
  std::uint32_t headersEnd = 0;  // where the sections' data may begin
  std::vector<PlacedSection> sections;
  std::uint64_t end = 0;  // the end of the last section's data

  ImagePlan(const PeLayout& pe, std::uint32_t contentSize, std::uint32_t rawSize) {
    const std::size_t kept = resourceIndex(pe);
    const SectionHeader& resources = pe.sections[kept];
    const std::uint64_t oldEnd = alignUp(std::uint64_t{resources.virtualAddress} + resources.span(), pe.sectionAlignment);
    const std::uint64_t newEnd = alignUp(std::uint64_t{resources.virtualAddress} + contentSize, pe.sectionAlignment);
    const std::uint64_t tableEnd = sectionTableEnd(pe);
    if (lowAlignment(pe)) {
      headersEnd = resources.virtualAddress;
      for (const SectionHeader& s : pe.sections) {
        if (s.sizeOfRawData != 0) headersEnd = std::min(headersEnd, s.virtualAddress);
      }
      if (tableEnd > headersEnd) throw WriteError("the headers have no room for the section table");
    } else {
      headersEnd = to32(std::max<std::uint64_t>(kSectionFileOffset, alignUp(tableEnd, pe.fileAlignment)),
                        "the headers");
    }

    std::uint64_t cursor = headersEnd;
    for (std::size_t i = 0; i < pe.sections.size(); ++i) {
      const SectionHeader& s = pe.sections[i];
      PlacedSection& placed = sections.emplace_back();
      placed.virtualAddress = s.virtualAddress;
      placed.virtualSize = i == kept ? contentSize : s.virtualSize;
      placed.rawSize = i == kept ? rawSize : s.sizeOfRawData;
      if (i > kept) {
        if (s.virtualAddress < oldEnd) throw WriteError("a section overlaps the resource section");
        placed.virtualAddress = to32(s.virtualAddress - oldEnd + newEnd, "a section's address");
      }
      if (placed.rawSize == 0) continue;
      const std::uint64_t at = lowAlignment(pe) ? placed.virtualAddress : alignUp(cursor, pe.fileAlignment);
      if (at < cursor) throw WriteError("the sections overlap in the file");
      placed.fileOffset = to32(at, "a section's file offset");
      cursor = at + placed.rawSize;
    }
    end = cursor;
  }
};

// Where `rva` lies in the rebuilt image when it lay in a section that is carried over
// unchanged; nullopt when it lay in the resource section or in none.
std::optional<std::uint32_t> carriedRva(const PeLayout& pe, const ImagePlan& plan, std::uint32_t rva) {
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const SectionHeader& s = pe.sections[i];
    if (i == resourceIndex(pe) || rva < s.virtualAddress ||
        rva - s.virtualAddress >= std::max(s.virtualSize, s.sizeOfRawData)) {
      continue;
    }
    return rva - s.virtualAddress + plan.sections[i].virtualAddress;
  }
  return std::nullopt;
}

// Bytes of the loaded file copied unchanged: a slice of the loaded copy, or a range of
// the file, which is only read when the new file is written.
Piece unchangedRange(const ThemeImage& image, std::uint64_t offset, std::uint64_t size, const char* what) {
  if (!image.file) return image.reader().bytes(offset, size, what);
  const std::uint64_t fileSize = image.file->size();
  if (offset > fileSize || size > fileSize - offset) throw WriteError(std::string(what) + " lies past the end of the file");
  return size == 0 ? Piece() : Piece::ofSource(offset, size);
}

Piece unchangedData(const ThemeImage& image, const DataEntry& entry) {
  return unchangedRange(image, entry.fileOffset, entry.size, "a resource's data");
}

// The data pass: every resource's new data in directory order. Texts and tables of the
// chosen language are regenerated one after the other into `generated`, the one buffer
// they are written from; everything else is copied unchanged, and `loadedAt` says from
// where.
std::vector<Piece> produceData(const ThemeImage& image, const PageRouter& router, const FontPages& pages,
                               std::vector<std::uint8_t>& generated, KeptNames& kept,
                               std::vector<std::uint64_t>& loadedAt) {
  const auto regenerated = [](const TypeNode& type, const ResourceNode& res, std::size_t li) {
    return li == res.chosen && (type.kind == ResourceKind::TextFile || isStringBlock(type, res));
  };
  // Room for them all, with a margin for growth, so that the buffer is not moved as it fills.
  std::uint64_t room = 0;
  for (const TypeNode& type : image.tree.types) {
    for (const ResourceNode& res : type.resources) {
      for (std::size_t li = 0; li < res.languages.size(); ++li) {
        if (regenerated(type, res, li)) room += res.languages[li].data.size * 9 / 8 + 256;
      }
    }
  }
  generated.reserve(static_cast<std::size_t>(room));

  std::vector<Piece> blocks;
  std::vector<std::pair<std::size_t, std::size_t>> starts;  // a regenerated block: its index, where it starts
  for (const TypeNode& type : image.tree.types) {
    for (const ResourceNode& res : type.resources) {
      for (std::size_t li = 0; li < res.languages.size(); ++li) {
        const DataEntry& entry = res.languages[li].data;
        if (!regenerated(type, res, li)) {
          blocks.push_back(unchangedData(image, entry));
          loadedAt.push_back(entry.fileOffset);
          continue;
        }
        starts.emplace_back(blocks.size(), generated.size());
        blocks.emplace_back();
        loadedAt.push_back(kRegenerated);
        if (type.kind == ResourceKind::TextFile) {
          // The text the load read; only the bytes after its end are read again.
          const std::shared_ptr<const std::u16string> text = image.iniText(entry);
          const std::uint64_t textBytes = 2 * std::uint64_t{text->size()};
          const std::span<const std::uint8_t> rest =
              textBytes < entry.size
                  ? image.reader().bytes(std::uint64_t{entry.fileOffset} + textBytes, entry.size - textBytes, "resource data")
                  : std::span<const std::uint8_t>();
          rewriteIniText(*text, rest, res.name.wide(), router, pages, generated);
        } else {
          rewriteStringTableBlock(image.data(entry), firstStringId(res), router, pages, generated, &kept);
        }
      }
    }
  }
  // The buffer is complete: each regenerated block runs up to where the next one starts.
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t end = k + 1 < starts.size() ? starts[k + 1].second : generated.size();
    blocks[starts[k].first] = Piece(std::span<const std::uint8_t>(generated).subspan(starts[k].second, end - starts[k].second));
  }
  return blocks;
}

// Headers carried over from the loaded image (the DOS header and stub, the NT headers,
// the section table), brought up to date with where the sections now lie; directories
// into the old resource section or into no section are cleared, and so is the
// certificate table, which no longer matches the file.
void writeHeaders(const ThemeImage& image, const ImagePlan& plan, std::span<std::uint8_t> out,
                  std::uint32_t contentSize) {
  namespace nt = pe::nt_headers;
  namespace opt = pe::optional_header;
  namespace sec = pe::section_header;
  const PeLayout& pe = image.layout;
  const ByteReader file = image.reader();
  const SectionHeader& kept = pe.sections[resourceIndex(pe)];

  const auto dos = file.bytes(0, pe.ntOffset, "the DOS header");
  std::copy(dos.begin(), dos.end(), out.begin());
  const auto headers = file.bytes(pe.ntOffset, std::uint64_t{nt::kOptionalHeader} + pe.sizeOfOptionalHeader,
                                  "the NT headers");
  std::copy(headers.begin(), headers.end(), out.begin() + pe.ntOffset);
  put(out, pe.ntOffset, nt::kPointerToSymbolTable, 0U);  // the symbols are not carried over
  put(out, pe.ntOffset, nt::kNumberOfSymbols, 0U);

  std::uint64_t imageEnd = 0;
  std::uint64_t initializedData = 0;
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const SectionHeader& from = pe.sections[i];
    const PlacedSection& placed = plan.sections[i];
    const auto header = file.bytes(from.headerOffset, sec::kSize, "the section table");
    std::copy(header.begin(), header.end(), out.begin() + from.headerOffset);
    put(out, from.headerOffset, sec::kVirtualSize, placed.virtualSize);
    put(out, from.headerOffset, sec::kVirtualAddress, placed.virtualAddress);
    put(out, from.headerOffset, sec::kSizeOfRawData, placed.rawSize);
    put(out, from.headerOffset, sec::kPointerToRawData, placed.fileOffset);
    put(out, from.headerOffset, sec::kPointerToRelocations, 0U);
    put(out, from.headerOffset, sec::kPointerToLinenumbers, 0U);
    put(out, from.headerOffset, sec::kNumberOfRelocations, std::uint16_t{0});
    put(out, from.headerOffset, sec::kNumberOfLinenumbers, std::uint16_t{0});
    const std::uint32_t span = placed.virtualSize != 0 ? placed.virtualSize : placed.rawSize;
    imageEnd = std::max(imageEnd, alignUp(std::uint64_t{placed.virtualAddress} + span, pe.sectionAlignment));
    if ((from.characteristics & sec::kInitializedData) != 0) initializedData += placed.rawSize;
  }

  const std::uint32_t optional = pe.optionalHeaderOffset();
  const std::uint32_t entryPoint = file.get(optional, opt::kAddressOfEntryPoint, "the optional header");
  if (entryPoint != 0 && (entryPoint < kept.virtualAddress || entryPoint - kept.virtualAddress >= contentSize)) {
    // Its code lies in a section carried over, or nowhere the new file has.
    put(out, optional, opt::kAddressOfEntryPoint, carriedRva(pe, plan, entryPoint).value_or(0));
  }
  // The raw data of the sections that hold initialized data, the headers not counted.
  put(out, optional, opt::kSizeOfInitializedData, to32(initializedData, "the initialized data"));
  put(out, optional, opt::kSizeOfImage, to32(imageEnd, "the image size"));
  const std::uint32_t headersSize = static_cast<std::uint32_t>(alignUp(sectionTableEnd(pe), pe.fileAlignment));
  put(out, optional, opt::kSizeOfHeaders, std::clamp(pe.sizeOfHeaders, std::min(headersSize, plan.headersEnd),
                                                     plan.headersEnd));

  namespace dir = pe::data_directory;
  const std::uint32_t directories = std::min(pe.dataDirectoryCount, dir::kKnown);
  for (std::uint32_t i = 0; i < directories; ++i) {
    const std::uint32_t at = pe.dataDirectoryOffset() + dir::kSize * i;
    if (at + dir::kSize > optional + pe.sizeOfOptionalHeader) break;
    const std::uint32_t rva = file.get(at, dir::kVirtualAddress, "the data directories");
    std::optional<std::uint32_t> moved;
    if (i == dir::kResources) {
      moved = kept.virtualAddress;
      put(out, at, dir::kSizeField, contentSize);
    } else if (i != dir::kSecurity && rva != 0) {
      moved = carriedRva(pe, plan, rva);
    }
    put(out, at, dir::kVirtualAddress, moved.value_or(0));
    if (!moved) put(out, at, dir::kSizeField, 0U);
  }
}

// Long runs of unchanged data start in the new file at the same place within a page as
// in the loaded one, after a few zeros where needed: the system then copies them page by
// page, where a run shifted by a few bytes splits every page in two on both the copy and
// the flush (a third slower for a picture-heavy theme). Short runs are packed.
constexpr std::uint64_t kPageAlignedRun = std::uint64_t{256} << 10;

// The zeros before each block, for blocks that start in the section at `dataStart`
// bytes from its start, the section at `sectionOffset` in the file. `loadedAt` gives
// where each block lay in the loaded file, kRegenerated for the regenerated ones.
std::vector<std::uint64_t> paddingBefore(std::span<const Piece> blocks, std::span<const std::uint64_t> loadedAt,
                                         std::uint64_t sectionOffset, std::uint64_t dataStart) {
  const auto followsOn = [&](std::size_t k) {
    return k > 0 && loadedAt[k] != kRegenerated && loadedAt[k - 1] != kRegenerated &&
           loadedAt[k - 1] + blocks[k - 1].size() == loadedAt[k];
  };
  std::vector<std::uint64_t> padding(blocks.size(), 0);
  std::uint64_t at = sectionOffset + dataStart;
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    if (loadedAt[k] != kRegenerated && !followsOn(k)) {
      std::uint64_t run = blocks[k].size();
      for (std::size_t j = k + 1; j < blocks.size() && run < kPageAlignedRun && followsOn(j); ++j) run += blocks[j].size();
      if (run >= kPageAlignedRun) padding[k] = (loadedAt[k] % kPageSize + kPageSize - at % kPageSize) % kPageSize;
    }
    at += padding[k] + blocks[k].size();
  }
  return padding;
}

// Pieces in file order; data that follows on in the loaded file as in the new one is
// copied in one go.
class PieceList {
 public:
  explicit PieceList(std::vector<Piece>& pieces) : pieces_(pieces) {}
  void add(const Piece& p) {
    if (p.size() == 0) return;
    if (!pieces_.empty()) {
      Piece& last = pieces_.back();
      if (p.inSource() && last.inSource() && last.sourceOffset + last.sourceLength == p.sourceOffset) {
        last.sourceLength += p.sourceLength;
        return;
      }
    }
    pieces_.push_back(p);
  }
  void zeros(std::uint64_t count) {
    static constexpr std::array<std::uint8_t, kPageSize> kZeros{};
    for (; count > 0; count -= std::min<std::uint64_t>(count, kPageSize)) {
      add(std::span<const std::uint8_t>(kZeros.data(), std::min<std::uint64_t>(count, kPageSize)));
    }
  }

 private:
  std::vector<Piece>& pieces_;
};

}  // namespace

std::uint64_t RebuiltTheme::size() const {
  std::uint64_t total = 0;
  for (const auto& piece : pieces_) total += piece.size();
  return total;
}

std::vector<std::uint8_t> RebuiltTheme::bytes() const { return joinPieces(pieces_, source_); }

RebuiltTheme rebuildTheme(const ThemeImage& image, const FontPages& pages, const CodePage& cp) {
  if (!image.loaded()) throw WriteError("no theme is loaded");
  const PeLayout& pe = image.layout;
  checkRebuildable(pe);
  const std::size_t keptIndex = resourceIndex(pe);
  const SectionHeader& kept = pe.sections[keptIndex];
  const ResourceTree& tree = image.tree;
  const CarriedParts carried = carriedParts(pe, image.reader().size());
  for (const CarriedSection& s : carried.sections) {
    if (s.cut) throw WriteError("a section's data lies past the end of the file");
  }

  RebuiltTheme result;
  result.source_ = image.file.get();
  result.droppedCertificate_ = carried.certificate.has_value();
  const PageRouter router(pages, cp);
  std::vector<std::uint64_t> loadedAt;  // where each block lay in the loaded file
  const std::vector<Piece> blocks = produceData(image, router, pages, result.generated_, result.kept_, loadedAt);

  // Size pass, then the write passes: the resource directory, then the headers.
  const SectionLayout layout(tree);
  // Where the section lies in the new file does not depend on its own size.
  const std::uint64_t sectionOffset = ImagePlan(pe, 1, pe.fileAlignment).sections[keptIndex].fileOffset;
  const std::vector<std::uint64_t> padding = paddingBefore(blocks, loadedAt, sectionOffset, layout.directorySize());
  std::uint64_t contentSize = layout.directorySize();
  for (std::size_t k = 0; k < blocks.size(); ++k) contentSize += padding[k] + blocks[k].size();
  const std::uint64_t rawSize = alignUp(contentSize, pe.fileAlignment);
  if (rawSize > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    throw WriteError("the rebuilt file is too large");
  }
  const ImagePlan plan(pe, static_cast<std::uint32_t>(contentSize), static_cast<std::uint32_t>(rawSize));
  if (plan.end + carried.appendedSize() > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    throw WriteError("the rebuilt file is too large");
  }

  result.directory_.assign(layout.directorySize(), 0);
  SectionWriter w(result.directory_, layout);
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
        dataAt += padding[block];
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
  result.head_.assign(plan.headersEnd, 0);
  writeHeaders(image, plan, result.head_, static_cast<std::uint32_t>(contentSize));

  // The headers, the sections in table order with zeros up to each one's file offset and
  // to the end of the resource section's raw size, then the bytes after the last section.
  PieceList pieces(result.pieces_);
  pieces.add(Piece(result.head_));
  std::uint64_t cursor = plan.headersEnd;
  std::size_t next = 0;  // in carried.sections
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const PlacedSection& placed = plan.sections[i];
    if (i != keptIndex) ++next;
    if (placed.rawSize == 0) continue;
    pieces.zeros(placed.fileOffset - cursor);
    cursor = std::uint64_t{placed.fileOffset} + placed.rawSize;
    if (i != keptIndex) {
      const FileRange& data = carried.sections[next - 1].data;
      pieces.add(unchangedRange(image, data.offset, data.size, "a section's data"));
      continue;
    }
    pieces.add(Piece(result.directory_));
    for (std::size_t k = 0; k < blocks.size(); ++k) {
      pieces.zeros(padding[k]);
      pieces.add(blocks[k]);
    }
    pieces.zeros(rawSize - contentSize);
  }
  for (const FileRange& r : carried.appended) pieces.add(unchangedRange(image, r.offset, r.size, "the appended data"));
  return result;
}

void writeFileAtomically(const std::string& target, const RebuiltTheme& file) {
  if (file.source() == nullptr) {
    writeFileAtomically(target, file.pieces());
  } else {
    writeFileAtomically(target, file, *file.source());
  }
}

void writeFileAtomically(const std::string& target, const RebuiltTheme& file, const DataSource& source) {
  const FileStamp loaded = file.source() != nullptr ? file.source()->openedStamp() : source.stamp();
  checkUnchanged(target, &source, loaded);  // changed before the write began
  writeFileAtomically(target, file.pieces(), &source, loaded);
}

}  // namespace theme
