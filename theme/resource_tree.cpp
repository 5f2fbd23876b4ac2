#include "resource_tree.h"

#include <algorithm>
#include <unordered_set>

#include "codepage.h"
#include "errors.h"
#include "font_pages.h"

namespace theme {

namespace {

// The offset in a Name or OffsetToData field whose high bit marks a name or subdirectory.
constexpr std::uint32_t offsetIn(std::uint32_t field) { return field & ~pe::resource_entry::kHighBit; }

// Guards the walk of an untrusted directory: each directory may be visited once, and
// no more entries may be read than the file has room for, so a crafted directory can
// neither loop nor make the walk explode.
class WalkGuard {
 public:
  explicit WalkGuard(const ByteReader& file) : entryBudget_(file.size() / pe::resource_entry::kSize) {}

  void enterDirectory(std::uint64_t offset) {
    if (!visited_.insert(offset).second) throw ThemeError("the resource directory loops back on itself");
  }
  void spendEntries(std::uint64_t count) {
    if (count > entryBudget_) throw ThemeError("the resource directory has more entries than the file can hold");
    entryBudget_ -= count;
  }

 private:
  std::unordered_set<std::uint64_t> visited_;
  std::uint64_t entryBudget_;
};

struct RawEntry {
  std::uint32_t name;
  std::uint32_t offset;
};

struct Directory {
  DirectoryHeader header{};
  std::vector<RawEntry> entries;
};

Directory readDirectory(const ByteReader& file, std::uint64_t at, WalkGuard& guard, const char* what) {
  namespace directory = pe::resource_directory;
  namespace entry = pe::resource_entry;
  guard.enterDirectory(at);
  Directory dir;
  const auto head = file.bytes(at, directory::kSize, what);
  std::copy(head.begin(), head.end(), dir.header.begin());
  const std::uint32_t count = static_cast<std::uint32_t>(file.get(at, directory::kNumberOfNamedEntries, what)) +
                              file.get(at, directory::kNumberOfIdEntries, what);
  guard.spendEntries(count);
  const std::uint64_t entries = at + directory::kSize;
  file.require(entries, std::uint64_t{entry::kSize} * count, what);
  dir.entries.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t e = entries + std::uint64_t{entry::kSize} * i;
    dir.entries.push_back({file.get(e, entry::kName, what), file.get(e, entry::kOffsetToData, what)});
  }
  return dir;
}

EntryName readName(const ByteReader& file, std::uint64_t root, std::uint32_t field) {
  EntryName name{field, {}};
  if (name.named()) {
    const std::uint64_t at = root + offsetIn(field);
    const std::uint16_t length = file.u16(at, "a resource name");
    name.text = file.units(at + 2, length, "a resource name");
  }
  return name;
}

}  // namespace

std::u16string EntryName::wide() const {
  if (named()) return text;
  const std::string digits = std::to_string(field);
  return {digits.begin(), digits.end()};
}

std::string EntryName::ansi(const CodePage& cp) const {
  if (named()) return cutToCell(text, cp);
  return std::to_string(field);
}

ResourceKind classifyType(const EntryName& type) {
  constexpr std::uint32_t kStringTableType = 6;
  if (!type.named()) return (type.field & 0xFFFF) == kStringTableType ? ResourceKind::StringTable : ResourceKind::Other;
  if (type.text == u"TEXTFILE") return ResourceKind::TextFile;
  if (type.text == u"STRING") return ResourceKind::StringTable;
  if (type.text == u"COLORNAMES") return ResourceKind::ColourNames;
  if (type.text == u"SIZENAMES") return ResourceKind::SizeNames;
  if (type.text == u"FILERESNAMES") return ResourceKind::FileNames;
  return ResourceKind::Other;
}

bool isStringBlock(const TypeNode& type, const ResourceNode& res) {
  return type.kind == ResourceKind::StringTable && !res.name.named();
}

std::uint32_t firstStringId(const ResourceNode& block) { return (block.name.field - 1U) * 16U; }

namespace {

// The language the system would load: exactly the one asked for, else the first of
// the same primary language, else the first.
std::size_t chooseLanguage(const std::vector<LanguageNode>& languages, LanguagePreference preferred) {
  if (!preferred) return 0;
  for (std::size_t i = 0; i < languages.size(); ++i) {
    if (!languages[i].name.named() && languages[i].name.field == *preferred) return i;
  }
  for (std::size_t i = 0; i < languages.size(); ++i) {
    const EntryName& n = languages[i].name;
    if (!n.named() && n.field <= 0xFFFF && samePrimaryLanguage(static_cast<std::uint16_t>(n.field), *preferred)) {
      return i;
    }
  }
  return 0;
}

}  // namespace

ResourceTree readResourceTree(const ByteReader& file, const PeLayout& layout, LanguagePreference language) {
  const std::uint64_t root =
      layout.rvaToOffset(file, layout.resourceRva, pe::resource_directory::kSize, "the resource directory");
  WalkGuard guard(file);
  ResourceTree tree;

  const Directory types = readDirectory(file, root, guard, "the resource directory");
  tree.rootHeader = types.header;
  tree.types.reserve(types.entries.size());
  for (const RawEntry& t : types.entries) {
    TypeNode type;
    type.name = readName(file, root, t.name);
    type.offsetField = t.offset;
    type.kind = classifyType(type.name);
    const Directory names = readDirectory(file, root + offsetIn(t.offset), guard, "a resource type directory");
    type.nameHeader = names.header;
    type.resources.reserve(names.entries.size());
    for (const RawEntry& r : names.entries) {
      ResourceNode res;
      res.name = readName(file, root, r.name);
      res.offsetField = r.offset;
      const Directory langs = readDirectory(file, root + offsetIn(r.offset), guard, "a language directory");
      res.languageHeader = langs.header;
      res.languages.reserve(langs.entries.size());
      for (const RawEntry& l : langs.entries) {
        LanguageNode lang;
        lang.name = readName(file, root, l.name);
        lang.offsetField = l.offset;
        namespace data = pe::resource_data_entry;
        const std::uint64_t at = root + offsetIn(l.offset);
        guard.enterDirectory(at);
        const std::uint32_t rva = file.get(at, data::kOffsetToData, "a resource data entry");
        lang.data.size = file.get(at, data::kSizeField, "a resource data entry");
        lang.data.codePage = file.get(at, data::kCodePage, "a resource data entry");
        lang.data.reserved = file.get(at, data::kReserved, "a resource data entry");
        lang.data.fileOffset = layout.rvaToOffset(file, rva, lang.data.size, "resource data");
        res.languages.push_back(std::move(lang));
      }
      res.chosen = chooseLanguage(res.languages, language);
      type.resources.push_back(std::move(res));
    }
    tree.types.push_back(std::move(type));
  }
  return tree;
}

}  // namespace theme
