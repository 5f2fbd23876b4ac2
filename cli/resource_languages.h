#pragma once
// The languages a theme's texts, string tables and name lists are stored in: which one a
// load fell back to, which ones each holds, and which differ between two themes outside
// the language that is read and edited; and what else differs between two theme files
// that a write carries over unchanged (other resources, sections, appended bytes).
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "messages.h"

namespace theme {
struct ThemeImage;
}  // namespace theme

namespace cli {

struct JsonValue;

// The first language read instead of `asked` by a resource that lacks it, where that is
// neither language-neutral nor of the same primary language; nullopt when none fell back.
std::optional<std::uint16_t> fallbackLanguage(const theme::ThemeImage& image, std::uint16_t asked);

// Says once on `err` that `path` was read in `fallbackLanguage` where `asked` is missing.
void noteFallback(std::ostream& err, const std::string& path, const theme::ThemeImage& image, std::uint16_t asked,
                  Language language);

// A resource in one language: "TEXTFILE", "THEMES_INI", "0x0411" (UTF-8).
struct ResourceInLanguage {
  std::string type, name, language;
  bool operator==(const ResourceInLanguage&) const = default;
};

// Every text and string table with the languages it holds, in directory order.
struct ResourceLanguages {
  std::string type, name;
  std::vector<std::string> languages;
};
std::vector<ResourceLanguages> listLanguages(const theme::ThemeImage& image);
void printLanguages(std::ostream& out, const std::vector<ResourceLanguages>& resources);
JsonValue languagesDocument(const std::vector<ResourceLanguages>& resources);

// The texts, string tables and name lists whose data differs between `a` and `b` (or that
// only one holds) in a language neither reads; bitmaps and other resources are not compared.
std::vector<ResourceInLanguage> otherLanguageDifferences(const theme::ThemeImage& a, const theme::ThemeImage& b);

// A section other than the resources that differs (header or data) or that only one holds.
struct SectionDifference {
  std::string name;  // UTF-8
  bool inA = true;
  bool inB = true;
};

// What differs outside the font settings: resources of the types the tool does not read
// (every language), the sections other than the resources (the n-th of a name meets the
// other's n-th), and the bytes after the last section (less a certificate table).
struct FilePartsDifference {
  std::vector<ResourceInLanguage> otherResources;
  std::vector<SectionDifference> sections;
  std::optional<std::pair<std::uint64_t, std::uint64_t>> appendedBytes;  // sizes in A and B
  [[nodiscard]] bool empty() const { return otherResources.empty() && sections.empty() && !appendedBytes; }
};
FilePartsDifference filePartsDifferences(const theme::ThemeImage& a, const theme::ThemeImage& b);

}  // namespace cli
