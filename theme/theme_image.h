#pragma once
// A loaded theme file with its parsed headers and resource tree. Reading fills the font
// pages from it; writing rebuilds a file from it.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pe_image.h"
#include "positioned_file.h"
#include "resource_tree.h"
#include "ui_language.h"

namespace theme {

class CodePage;
class FontPages;

// How much of the file a load reads: all of it into a private copy that a write can be
// made from at any later time, or only what the font pages list.
enum class Reading { WholeFile, ListedPartsOnly };

struct ThemeImage {
  PeLayout layout;
  ResourceTree tree;
  FileCopy copy;                         // the whole file, for Reading::WholeFile
  std::unique_ptr<PositionedFile> file;  // the open file, for Reading::ListedPartsOnly

  [[nodiscard]] bool loaded() const { return file != nullptr || !copy.bytes().empty(); }
  [[nodiscard]] ByteReader reader() const { return file ? ByteReader(*file) : ByteReader(copy.bytes()); }
  // The data of one language of a resource.
  [[nodiscard]] std::span<const std::uint8_t> data(const DataEntry& entry) const {
    return reader().bytes(entry.fileOffset, entry.size, "resource data");
  }
  // The data of a TEXTFILE resource as its text (decodeIniText), read straight into
  // UTF-16 on first use and kept: a long text from a file is held once, not also as
  // bytes, and a write rewrites the text the load read.
  [[nodiscard]] std::shared_ptr<const std::u16string> iniText(const DataEntry& entry) const;

  // by file offset and size
  mutable std::map<std::pair<std::uint32_t, std::uint32_t>, std::shared_ptr<const std::u16string>> iniTexts;
};

// Reads the file at `path` and parses it; throws ThemeError naming what is wrong, also
// for a file that holds none of the resources a visual style is made of. Of a resource
// stored in several languages, `language` chooses the one read and edited; without a
// preference it is the first.
ThemeImage loadThemeImage(const std::string& path, LanguagePreference language = {},
                          Reading reading = Reading::WholeFile);
// The same for a file already open (PositionedFile::standardInput()).
ThemeImage loadThemeImage(std::unique_ptr<PositionedFile> file, LanguagePreference language = {},
                          Reading reading = Reading::WholeFile);
// Parses bytes already in memory (tests, fuzzing).
ThemeImage parseThemeImage(std::span<const std::uint8_t> bytes, LanguagePreference language = {});

// The Load command without its dialog: empties `pages`, then loads and reads the file.
// On failure `pages` are left empty and ThemeError is thrown.
ThemeImage loadTheme(const std::string& path, FontPages& pages, const CodePage& cp, LanguagePreference language = {},
                     Reading reading = Reading::WholeFile);
ThemeImage loadTheme(std::unique_ptr<PositionedFile> file, FontPages& pages, const CodePage& cp,
                     LanguagePreference language = {}, Reading reading = Reading::WholeFile);

}  // namespace theme
