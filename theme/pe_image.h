#pragma once
// The PE/COFF headers of a theme image, as far as the resource walk and the rebuild
// need them. PE32 and PE32+ are both read; RVAs are translated through the sections.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_reader.h"

namespace theme {

struct SectionHeader {
  std::uint32_t headerOffset = 0;  // file offset of the 40-byte header
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t sizeOfRawData = 0;
  std::uint32_t pointerToRawData = 0;
  std::uint32_t characteristics = 0;
  std::string name;  // up to 8 bytes as stored, without the NULs that pad it

  // What the section takes in memory: its virtual size, or its raw size where that is 0.
  [[nodiscard]] std::uint32_t span() const { return virtualSize != 0 ? virtualSize : sizeOfRawData; }
};

// A run of bytes of the file.
struct FileRange {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  [[nodiscard]] std::uint64_t end() const { return offset + size; }
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
  FileRange certificate;  // the security directory: a file offset, not an RVA
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

// What a write carries over unchanged besides the resources: the raw data of every other
// section, and the bytes after the last section less the certificate table (a signature
// that no longer matches once any byte changes).
struct CarriedSection {
  std::size_t index = 0;  // in the section table
  FileRange data;         // cut at the end of the file
  bool cut = false;       // its raw data runs past the end of the file
};
struct CarriedParts {
  std::vector<CarriedSection> sections;  // in table order
  std::vector<FileRange> appended;       // the bytes after the last section, in order
  std::optional<FileRange> certificate;  // the certificate table when the file has one

  [[nodiscard]] std::uint64_t appendedSize() const;
};
CarriedParts carriedParts(const PeLayout& pe, std::uint64_t fileSize);

// Throws ThemeError for a missing or truncated header, a missing MZ or PE signature,
// or a resource directory RVA of 0 or outside every section.
PeLayout readPeLayout(const ByteReader& file);

}  // namespace theme
