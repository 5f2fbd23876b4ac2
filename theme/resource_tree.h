#pragma once
// The resource directory of a theme image as a tree: types, their resources, and every
// language of each resource with its data entry. Reading and rebuilding both use it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "pe_image.h"

namespace theme {

class CodePage;

using DirectoryHeader = std::array<std::uint8_t, 16>;

struct EntryName {
  std::uint32_t field = 0;  // the Name field as stored
  std::u16string text;      // the counted name when bit 31 is set
  [[nodiscard]] bool named() const { return (field & 0x80000000U) != 0; }
  // The counted name in the code page, cut to 63 bytes; else the decimal id
  // (`idBits` = 16 for types, 32 for resources).
  [[nodiscard]] std::string ansi(const CodePage& cp, int idBits) const;
};

struct DataEntry {
  std::uint32_t offsetToData = 0;  // an RVA
  std::uint32_t size = 0;
  std::uint32_t codePage = 0;
  std::uint32_t reserved = 0;
  std::uint32_t fileOffset = 0;    // where the data lies in the image
};

struct LanguageNode {
  EntryName name;
  std::uint32_t offsetField = 0;
  DataEntry data;
};

struct ResourceNode {
  EntryName name;
  std::uint32_t offsetField = 0;
  DirectoryHeader languageHeader{};
  std::vector<LanguageNode> languages;  // the first one is the one the tool reads
};

struct TypeNode {
  EntryName name;
  std::uint32_t offsetField = 0;
  DirectoryHeader nameHeader{};
  std::vector<ResourceNode> resources;
  // The dispatch name: the counted name, the type-name table, or the decimal id.
  [[nodiscard]] std::string typeName(const CodePage& cp) const;
};

struct ResourceTree {
  DirectoryHeader rootHeader{};
  std::vector<TypeNode> types;
};

// Throws ThemeError for any directory, entry, name or data range outside the file, a
// directory reached twice (a loop), or more entries than the file could hold.
ResourceTree readResourceTree(const ByteReader& file, const PeLayout& layout);

// The name of numeric resource type `id` (table for 0..22, else decimal).
std::string resourceTypeName(std::uint32_t id);

}  // namespace theme
