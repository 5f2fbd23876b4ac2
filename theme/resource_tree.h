#pragma once
// The resource directory of a theme image as a tree: types, their resources, and every
// language of each resource with its data entry. Reading and rebuilding both use it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "pe_image.h"
#include "ui_language.h"

namespace theme {

class CodePage;

using DirectoryHeader = std::array<std::uint8_t, 16>;

struct EntryName {
  std::uint32_t field = 0;  // the Name field as stored
  std::u16string text;      // the counted name when bit 31 is set
  [[nodiscard]] bool named() const { return (field & pe::resource_entry::kHighBit) != 0; }
  // The counted name, else the decimal id (32 bits: a resource's name).
  [[nodiscard]] std::u16string wide() const;
  // wide() in the code page, cut to 63 bytes.
  [[nodiscard]] std::string ansi(const CodePage& cp) const;
};

struct DataEntry {
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
  std::vector<LanguageNode> languages;
  std::size_t chosen = 0;  // the language that is read and edited; the others are kept
};

// What the tool does with the resources of a type.
enum class ResourceKind { TextFile, StringTable, ColourNames, SizeNames, FileNames, Other };

struct TypeNode {
  EntryName name;
  std::uint32_t offsetField = 0;
  DirectoryHeader nameHeader{};
  std::vector<ResourceNode> resources;
  ResourceKind kind = ResourceKind::Other;
};

struct ResourceTree {
  DirectoryHeader rootHeader{};
  std::vector<TypeNode> types;
};

// Throws ThemeError for any directory, entry, name or data range outside the file or
// outside every section, a directory reached twice (a loop), or more entries than the
// file could hold. Each resource's chosen language follows `language`: that language,
// else one of the same primary language, else the first.
ResourceTree readResourceTree(const ByteReader& file, const PeLayout& layout, LanguagePreference language);

// The kind of a type, by its exact name: the counted name unit for unit, or for a
// numbered type its name in the type-name table (only 6, "STRING", is read).
ResourceKind classifyType(const EntryName& type);

// A string-table block the system loads strings from: a STRING resource with a numeric
// id. A named one is never found by string id, and its Name field is where its name
// lies, which a rebuild moves; it is copied like any other resource.
bool isStringBlock(const TypeNode& type, const ResourceNode& res);

// The id of the first string of a string-table block: (block id - 1) * 16, 32-bit.
std::uint32_t firstStringId(const ResourceNode& block);

}  // namespace theme
