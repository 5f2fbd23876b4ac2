#include "resource_languages.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <span>
#include <tuple>
#include <vector>

#include "json_writer.h"
#include "list_printer.h"
#include "messages.h"
#include "theme_image.h"
#include "pe_image.h"
#include "shown_text.h"

namespace cli {
namespace {

using theme::ResourceKind;

const char* typeName(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::TextFile: return "TEXTFILE";
    case ResourceKind::StringTable: return "STRING";
    case ResourceKind::ColourNames: return "COLORNAMES";
    case ResourceKind::SizeNames: return "SIZENAMES";
    case ResourceKind::FileNames: return "FILERESNAMES";
    case ResourceKind::Other: break;
  }
  return "";
}

std::string languageOf(const theme::LanguageNode& node) {
  return node.name.named() ? theme::exactUtf8(node.name.text) : languageId(static_cast<std::uint16_t>(node.name.field));
}

using Key = std::tuple<std::string, std::string, std::string>;  // type, name, language

// Data of every compared resource in a language that is not the one read, by key; and the
// keys of the languages that are read.
void collect(const theme::ThemeImage& image, std::map<Key, std::span<const std::uint8_t>>& others,
             std::vector<Key>& chosen) {
  for (const theme::TypeNode& type : image.tree.types) {
    if (type.kind == ResourceKind::Other) continue;
    for (const theme::ResourceNode& res : type.resources) {
      for (std::size_t li = 0; li < res.languages.size(); ++li) {
        Key key{typeName(type.kind), theme::exactUtf8(res.name.wide()), languageOf(res.languages[li])};
        if (li == res.chosen) {
          chosen.push_back(std::move(key));
        } else {
          others.emplace(std::move(key), image.data(res.languages[li].data));
        }
      }
    }
  }
}

// Every language of every resource of a type the tool does not read, by key.
std::map<Key, theme::DataEntry> otherResources(const theme::ThemeImage& image) {
  std::map<Key, theme::DataEntry> found;
  for (const theme::TypeNode& type : image.tree.types) {
    if (type.kind != ResourceKind::Other) continue;
    for (const theme::ResourceNode& res : type.resources) {
      for (const theme::LanguageNode& lang : res.languages) {
        found.emplace(Key{theme::exactUtf8(type.name.wide()), theme::exactUtf8(res.name.wide()), languageOf(lang)},
                      lang.data);
      }
    }
  }
  return found;
}

bool sameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// Whether two resources hold the same bytes, read a piece at a time and not kept: the
// pictures of two themes are most of their bytes. One pair of buffers serves every pair.
class DataComparer {
 public:
  DataComparer(const theme::ThemeImage& a, const theme::ThemeImage& b) : readerA_(a.reader()), readerB_(b.reader()) {}
  bool same(const theme::DataEntry& x, const theme::DataEntry& y) {
    if (x.size != y.size) return false;
    for (std::uint64_t done = 0; done < x.size;) {
      const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(x.size - done, kPiece));
      pieceA_.resize(std::max(pieceA_.size(), n));
      pieceB_.resize(pieceA_.size());
      readerA_.copyTo(x.fileOffset + done, std::span(pieceA_).first(n), "resource data");
      readerB_.copyTo(y.fileOffset + done, std::span(pieceB_).first(n), "resource data");
      if (!sameBytes(std::span(pieceA_).first(n), std::span(pieceB_).first(n))) return false;
      done += n;
    }
    return true;
  }

 private:
  static constexpr std::uint64_t kPiece = 1U << 18;
  theme::ByteReader readerA_, readerB_;
  std::vector<std::uint8_t> pieceA_, pieceB_;
};

std::vector<std::uint8_t> bytesOf(const theme::ByteReader& file, const std::vector<theme::FileRange>& ranges) {
  std::vector<std::uint8_t> out;
  for (const theme::FileRange& r : ranges) {
    const auto bytes = file.bytes(r.offset, r.size, "the file");
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

// A section's name as stored (8 bytes at most), each byte one character.
std::string sectionName(const std::string& stored) { return theme::exactUtf8(std::u16string(stored.begin(), stored.end())); }

}  // namespace

std::optional<std::uint16_t> fallbackLanguage(const theme::ThemeImage& image, std::uint16_t asked) {
  for (const theme::TypeNode& type : image.tree.types) {
    if (type.kind == ResourceKind::Other) continue;
    for (const theme::ResourceNode& res : type.resources) {
      if (res.languages.empty()) continue;
      const theme::EntryName& found = res.languages[res.chosen].name;
      if (!found.named() && !theme::servesLanguage(static_cast<std::uint16_t>(found.field), asked)) {
        return static_cast<std::uint16_t>(found.field);
      }
    }
  }
  return std::nullopt;
}

void noteFallback(std::ostream& err, const std::string& path, const theme::ThemeImage& image, std::uint16_t asked,
                  Language language) {
  if (const auto found = fallbackLanguage(image, asked)) {
    err << "marvento-cli: "
        << say(language, "{0}: has no texts in language {1}; {2} is shown where it is missing",
               {theme::shown(path), languageId(asked), languageId(*found)})
        << '\n';
  }
}

std::vector<ResourceLanguages> listLanguages(const theme::ThemeImage& image) {
  std::vector<ResourceLanguages> list;
  for (const theme::TypeNode& type : image.tree.types) {
    if (type.kind != ResourceKind::TextFile && type.kind != ResourceKind::StringTable) continue;
    for (const theme::ResourceNode& res : type.resources) {
      ResourceLanguages& r = list.emplace_back(ResourceLanguages{typeName(type.kind), theme::exactUtf8(res.name.wide()), {}});
      for (const theme::LanguageNode& lang : res.languages) r.languages.push_back(languageOf(lang));
    }
  }
  return list;
}

void printLanguages(std::ostream& out, const std::vector<ResourceLanguages>& resources) {
  for (const ResourceLanguages& r : resources) {
    out << r.type << ' ' << theme::shown(r.name) << ':';
    for (const std::string& language : r.languages) out << ' ' << theme::shown(language);
    out << '\n';
  }
}

JsonValue languagesDocument(const std::vector<ResourceLanguages>& resources) {
  JsonValue doc = jsonObject();
  JsonValue& list = addMember(doc, "resources", jsonArray());
  for (const ResourceLanguages& r : resources) {
    JsonValue entry = jsonObject();
    addMember(entry, "type", jsonText(r.type));
    addMember(entry, "name", jsonText(r.name));
    JsonValue& languages = addMember(entry, "languages", jsonArray());
    for (const std::string& language : r.languages) languages.items.push_back(jsonText(language));
    list.items.push_back(std::move(entry));
  }
  return doc;
}

std::vector<ResourceInLanguage> otherLanguageDifferences(const theme::ThemeImage& a, const theme::ThemeImage& b) {
  std::map<Key, std::span<const std::uint8_t>> inA;
  std::map<Key, std::span<const std::uint8_t>> inB;
  std::vector<Key> read;
  collect(a, inA, read);
  collect(b, inB, read);
  const auto isRead = [&](const Key& key) { return std::find(read.begin(), read.end(), key) != read.end(); };

  std::vector<ResourceInLanguage> differences;
  const auto add = [&](const Key& key) {
    ResourceInLanguage r{std::get<0>(key), std::get<1>(key), std::get<2>(key)};
    if (std::find(differences.begin(), differences.end(), r) == differences.end()) differences.push_back(std::move(r));
  };
  for (const auto& [key, data] : inA) {
    if (isRead(key)) continue;
    const auto other = inB.find(key);
    if (other == inB.end() || !std::equal(data.begin(), data.end(), other->second.begin(), other->second.end())) add(key);
  }
  for (const auto& [key, data] : inB) {
    if (!isRead(key) && !inA.contains(key)) add(key);
  }
  return differences;
}

FilePartsDifference filePartsDifferences(const theme::ThemeImage& a, const theme::ThemeImage& b) {
  FilePartsDifference d;
  const auto inA = otherResources(a);
  const auto inB = otherResources(b);
  DataComparer comparer(a, b);
  for (const auto& [key, data] : inA) {
    const auto other = inB.find(key);
    if (other == inB.end() || !comparer.same(data, other->second)) {
      d.otherResources.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key)});
    }
  }
  for (const auto& [key, data] : inB) {
    if (!inA.contains(key)) d.otherResources.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key)});
  }

  const theme::ByteReader fileA = a.reader();
  const theme::ByteReader fileB = b.reader();
  const theme::CarriedParts partsA = theme::carriedParts(a.layout, fileA.size());
  const theme::CarriedParts partsB = theme::carriedParts(b.layout, fileB.size());
  // Sections pair by name and occurrence: A's n-th of a name meets B's n-th.
  std::vector<bool> pairedB(partsB.sections.size(), false);
  for (const theme::CarriedSection& x : partsA.sections) {
    const theme::SectionHeader& hx = a.layout.sections[x.index];
    bool paired = false;
    for (std::size_t j = 0; j < partsB.sections.size() && !paired; ++j) {
      const theme::SectionHeader& hy = b.layout.sections[partsB.sections[j].index];
      if (pairedB[j] || hy.name != hx.name) continue;
      pairedB[j] = paired = true;
      if (hx.virtualSize != hy.virtualSize || hx.characteristics != hy.characteristics ||
          bytesOf(fileA, {x.data}) != bytesOf(fileB, {partsB.sections[j].data})) {
        d.sections.push_back({sectionName(hx.name), true, true});
      }
    }
    if (!paired) d.sections.push_back({sectionName(hx.name), true, false});
  }
  for (std::size_t j = 0; j < partsB.sections.size(); ++j) {
    if (!pairedB[j]) d.sections.push_back({sectionName(b.layout.sections[partsB.sections[j].index].name), false, true});
  }

  if (bytesOf(fileA, partsA.appended) != bytesOf(fileB, partsB.appended)) {
    d.appendedBytes = std::pair{partsA.appendedSize(), partsB.appendedSize()};
  }
  return d;
}

}  // namespace cli
