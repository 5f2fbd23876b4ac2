#include "pe_image.h"

#include <algorithm>

#include "errors.h"

namespace theme {

namespace {
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectory = 2;
}  // namespace

PeLayout readPeLayout(const ByteReader& file) {
  if (file.size() < 64) throw ThemeError("the file is too short for a DOS header");
  if (file.u16(0, "the DOS header") != 0x5A4D) throw ThemeError("the file has no MZ signature");

  PeLayout pe;
  pe.ntOffset = file.u32(0x3C, "the DOS header");
  if (!file.contains(pe.ntOffset, 24)) throw ThemeError("the NT headers lie outside the file");
  if (file.u32(pe.ntOffset, "the NT headers") != 0x00004550) throw ThemeError("the file has no PE signature");

  const std::uint16_t sectionCount = file.u16(pe.ntOffset + 6, "the file header");
  pe.sizeOfOptionalHeader = file.u16(pe.ntOffset + 20, "the file header");
  pe.optionalHeaderOffset = pe.ntOffset + 24;
  const std::uint32_t opt = pe.optionalHeaderOffset;
  file.require(opt, pe.sizeOfOptionalHeader, "the optional header");

  const std::uint16_t magic = file.u16(opt, "the optional header");
  if (magic != kPe32Magic && magic != kPe32PlusMagic) throw ThemeError("the optional header has an unknown magic");
  pe.pe32Plus = magic == kPe32PlusMagic;
  const std::uint32_t countOffset = pe.pe32Plus ? 108 : 92;
  pe.dataDirectoryOffset = opt + (pe.pe32Plus ? 112 : 96);
  if (pe.sizeOfOptionalHeader < countOffset + 4) throw ThemeError("the optional header is truncated");

  pe.sectionAlignment = file.u32(opt + 32, "the optional header");
  pe.fileAlignment = file.u32(opt + 36, "the optional header");
  pe.sizeOfHeaders = file.u32(opt + 60, "the optional header");
  pe.dataDirectoryCount = file.u32(opt + countOffset, "the optional header");

  const std::uint64_t directoriesEnd = pe.dataDirectoryOffset + 8ULL * (kResourceDirectory + 1);
  if (pe.dataDirectoryCount <= kResourceDirectory || directoriesEnd > opt + pe.sizeOfOptionalHeader) {
    throw ThemeError("the file has no resource directory");
  }
  pe.resourceRva = file.u32(pe.dataDirectoryOffset + 8 * kResourceDirectory, "the data directories");
  pe.resourceSize = file.u32(pe.dataDirectoryOffset + 8 * kResourceDirectory + 4, "the data directories");

  const std::uint64_t sectionTable = static_cast<std::uint64_t>(opt) + pe.sizeOfOptionalHeader;
  file.require(sectionTable, 40ULL * sectionCount, "the section table");
  pe.sections.reserve(sectionCount);
  for (std::uint32_t i = 0; i < sectionCount; ++i) {
    const auto at = static_cast<std::uint32_t>(sectionTable + 40ULL * i);
    SectionHeader s;
    s.headerOffset = at;
    s.virtualSize = file.u32(at + 8, "the section table");
    s.virtualAddress = file.u32(at + 12, "the section table");
    s.sizeOfRawData = file.u32(at + 16, "the section table");
    s.pointerToRawData = file.u32(at + 20, "the section table");
    pe.sections.push_back(s);
  }

  if (pe.resourceRva == 0) throw ThemeError("the file has no resource directory");
  static_cast<void>(pe.rvaToOffset(file, pe.resourceRva, 16, "the resource directory"));
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

}  // namespace theme
