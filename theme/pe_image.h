#pragma once
// The PE/COFF headers of a theme image, as far as the resource walk and the rebuild
// need them. PE32 and PE32+ are both read; RVAs are translated through the sections.
#include <cstdint>
#include <vector>

#include "byte_reader.h"

namespace theme {

struct SectionHeader {
  std::uint32_t headerOffset = 0;  // file offset of the 40-byte header
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t sizeOfRawData = 0;
  std::uint32_t pointerToRawData = 0;
};

struct PeLayout {
  std::uint32_t ntOffset = 0;  // e_lfanew
  bool pe32Plus = false;
  std::uint16_t sizeOfOptionalHeader = 0;
  std::uint32_t dataDirectoryCount = 0;
  std::uint32_t sectionAlignment = 0;
  std::uint32_t fileAlignment = 0;
  std::uint32_t sizeOfHeaders = 0;
  std::uint32_t resourceRva = 0;
  std::vector<SectionHeader> sections;

  [[nodiscard]] std::uint32_t optionalHeaderOffset() const { return ntOffset + pe::nt_headers::kOptionalHeader; }
  [[nodiscard]] std::uint32_t dataDirectoryOffset() const {
    return optionalHeaderOffset() + pe::optional_header::dataDirectories(pe32Plus);
  }
  // File offset of `length` bytes at `rva`; throws ThemeError("<what> ...") unless
  // they lie inside one section and are backed by its file data.
  [[nodiscard]] std::uint32_t rvaToOffset(const ByteReader& file, std::uint32_t rva, std::uint32_t length,
                                          const char* what) const;
  // The section that holds the resource directory, or -1.
  [[nodiscard]] int resourceSectionIndex() const;
};

// Throws ThemeError for a missing or truncated header, a missing MZ or PE signature,
// or a resource directory RVA of 0 or outside every section.
PeLayout readPeLayout(const ByteReader& file);

}  // namespace theme
