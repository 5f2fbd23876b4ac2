#include "pe_image.h"

#include <algorithm>

#include "errors.h"

namespace theme {

PeLayout readPeLayout(const ByteReader& file) {
  namespace dos = pe::dos_header;
  namespace nt = pe::nt_headers;
  namespace opt = pe::optional_header;
  if (file.size() < dos::kSize) throw ThemeError("the file is too short for a DOS header");
  if (file.get(0, dos::kMagic, "the DOS header") != dos::kMagicValue) throw ThemeError("the file has no MZ signature");

  PeLayout pe;
  pe.ntOffset = file.get(0, dos::kNtHeadersOffset, "the DOS header");
  if (!file.contains(pe.ntOffset, nt::kOptionalHeader)) throw ThemeError("the NT headers lie outside the file");
  if (file.get(pe.ntOffset, nt::kSignature, "the NT headers") != nt::kSignatureValue) {
    throw ThemeError("the file has no PE signature");
  }

  const std::uint16_t sectionCount = file.get(pe.ntOffset, nt::kNumberOfSections, "the file header");
  pe.sizeOfOptionalHeader = file.get(pe.ntOffset, nt::kSizeOfOptionalHeader, "the file header");
  const std::uint32_t optional = pe.optionalHeaderOffset();
  file.require(optional, pe.sizeOfOptionalHeader, "the optional header");

  const std::uint16_t magic = file.get(optional, opt::kMagic, "the optional header");
  if (magic != opt::kPe32Magic && magic != opt::kPe32PlusMagic) {
    throw ThemeError("the optional header has an unknown magic");
  }
  pe.pe32Plus = magic == opt::kPe32PlusMagic;
  const std::uint32_t countOffset = opt::numberOfRvaAndSizes(pe.pe32Plus);
  if (pe.sizeOfOptionalHeader < countOffset + 4) throw ThemeError("the optional header is truncated");

  pe.sectionAlignment = file.get(optional, opt::kSectionAlignment, "the optional header");
  pe.fileAlignment = file.get(optional, opt::kFileAlignment, "the optional header");
  pe.sizeOfHeaders = file.get(optional, opt::kSizeOfHeaders, "the optional header");
  pe.dataDirectoryCount = file.u32(optional + countOffset, "the optional header");

  namespace dir = pe::data_directory;
  const std::uint64_t resources = pe.dataDirectoryOffset() + std::uint64_t{dir::kSize} * dir::kResources;
  if (pe.dataDirectoryCount <= dir::kResources || resources + dir::kSize > optional + pe.sizeOfOptionalHeader) {
    throw ThemeError("the file has no resource directory");
  }
  pe.resourceRva = file.get(resources, dir::kVirtualAddress, "the data directories");
  const std::uint64_t security = pe.dataDirectoryOffset() + std::uint64_t{dir::kSize} * dir::kSecurity;
  if (pe.dataDirectoryCount > dir::kSecurity && security + dir::kSize <= optional + pe.sizeOfOptionalHeader) {
    pe.certificate.offset = file.get(security, dir::kVirtualAddress, "the data directories");
    pe.certificate.size = file.get(security, dir::kSizeField, "the data directories");
  }

  namespace sec = pe::section_header;
  const std::uint64_t sectionTable = static_cast<std::uint64_t>(optional) + pe.sizeOfOptionalHeader;
  file.require(sectionTable, std::uint64_t{sec::kSize} * sectionCount, "the section table");
  pe.sections.reserve(sectionCount);
  for (std::uint32_t i = 0; i < sectionCount; ++i) {
    const auto at = static_cast<std::uint32_t>(sectionTable + std::uint64_t{sec::kSize} * i);
    SectionHeader s;
    s.headerOffset = at;
    s.virtualSize = file.get(at, sec::kVirtualSize, "the section table");
    s.virtualAddress = file.get(at, sec::kVirtualAddress, "the section table");
    s.sizeOfRawData = file.get(at, sec::kSizeOfRawData, "the section table");
    s.pointerToRawData = file.get(at, sec::kPointerToRawData, "the section table");
    s.characteristics = file.get(at, sec::kCharacteristics, "the section table");
    for (const std::uint8_t c : file.bytes(at, sec::kNameSize, "the section table")) {
      if (c == 0) break;
      s.name += static_cast<char>(c);
    }
    pe.sections.push_back(s);
  }

  if (pe.resourceRva == 0) throw ThemeError("the file has no resource directory");
  static_cast<void>(pe.rvaToOffset(file, pe.resourceRva, pe::resource_directory::kSize, "the resource directory"));
  return pe;
}

std::uint32_t PeLayout::rvaToOffset(const ByteReader& file, std::uint32_t rva, std::uint32_t length,
                                    const char* what) const {
  for (const auto& s : sections) {
    const std::uint64_t span = std::max(s.virtualSize, s.sizeOfRawData);
    // An empty block may sit right at the end of its section.
    if (rva < s.virtualAddress || rva - s.virtualAddress > span || (rva - s.virtualAddress == span && length != 0)) {
      continue;
    }
    const std::uint64_t inSection = rva - s.virtualAddress;
    if (inSection + length > s.sizeOfRawData) throw ThemeError(std::string(what) + " is not stored in the file");
    const std::uint64_t offset = s.pointerToRawData + inSection;
    file.require(offset, length, what);
    return static_cast<std::uint32_t>(offset);
  }
  throw ThemeError(std::string(what) + " lies in no section of the file");
}

int PeLayout::resourceSectionIndex() const {
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const auto& s = sections[i];
    const std::uint64_t span = std::max(s.virtualSize, s.sizeOfRawData);
    if (resourceRva >= s.virtualAddress && resourceRva - s.virtualAddress < span) return static_cast<int>(i);
  }
  return -1;
}

std::uint64_t CarriedParts::appendedSize() const {
  std::uint64_t total = 0;
  for (const FileRange& r : appended) total += r.size;
  return total;
}

CarriedParts carriedParts(const PeLayout& pe, std::uint64_t fileSize) {
  CarriedParts parts;
  const int resources = pe.resourceSectionIndex();
  std::uint64_t sectionsEnd = 0;
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const SectionHeader& s = pe.sections[i];
    CarriedSection carried{i, FileRange{}, false};
    if (s.sizeOfRawData != 0) {  // else it takes room only in memory
      const std::uint64_t end = std::uint64_t{s.pointerToRawData} + s.sizeOfRawData;
      sectionsEnd = std::max(sectionsEnd, end);
      const std::uint64_t from = std::min<std::uint64_t>(s.pointerToRawData, fileSize);
      carried = CarriedSection{i, FileRange{from, std::min(end, fileSize) - from}, end > fileSize};
    }
    if (static_cast<int>(i) != resources) parts.sections.push_back(carried);
  }

  FileRange tail{std::min(sectionsEnd, fileSize), fileSize - std::min(sectionsEnd, fileSize)};
  if (pe.certificate.offset != 0 && pe.certificate.size != 0) {
    parts.certificate = pe.certificate;
    // Its bytes go with it where they lie after the sections; elsewhere only the directory does.
    const std::uint64_t from = std::max(pe.certificate.offset, tail.offset);
    const std::uint64_t to = std::min(pe.certificate.end(), tail.end());
    if (from < to) {
      if (from > tail.offset) parts.appended.push_back(FileRange{tail.offset, from - tail.offset});
      tail = FileRange{to, tail.end() - to};
    }
  }
  if (tail.size != 0) parts.appended.push_back(tail);
  return parts;
}

}  // namespace theme
