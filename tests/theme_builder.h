#pragma once
// Assembles synthetic theme images in memory: a DOS header, PE32 or PE32+ headers and
// one resource section holding whatever types, resources and languages a test adds.
// The result records where every structure landed, so tests can corrupt it on purpose.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace marvento_test {

using Bytes = std::vector<std::uint8_t>;

// A resource type, resource or language: a counted name or a number.
class ResId {
 public:
  ResId(std::uint32_t id) : value_(id) {}              // NOLINT(google-explicit-constructor)
  ResId(int id) : value_(static_cast<std::uint32_t>(id)) {}  // NOLINT(google-explicit-constructor)
  ResId(std::u16string name) : value_(std::move(name)) {}    // NOLINT(google-explicit-constructor)
  ResId(const char16_t* name) : value_(std::u16string(name)) {}  // NOLINT(google-explicit-constructor)

  [[nodiscard]] bool named() const { return std::holds_alternative<std::u16string>(value_); }
  [[nodiscard]] const std::u16string& name() const { return std::get<std::u16string>(value_); }
  [[nodiscard]] std::uint32_t id() const { return std::get<std::uint32_t>(value_); }
  bool operator==(const ResId& other) const { return value_ == other.value_; }
  // Directory order: named entries first (by their units), then ids ascending.
  bool operator<(const ResId& other) const;

 private:
  std::variant<std::uint32_t, std::u16string> value_;
};

// ---- resource data ----
Bytes utf16le(std::u16string_view text);
// A name list: NUL-terminated UTF-16 names, closed by an empty name unless told not to.
Bytes nameList(std::initializer_list<std::u16string_view> names, bool closed = true);
// Counted strings exactly as given (a block may hold fewer or more than 16).
Bytes countedStrings(const std::vector<std::u16string>& strings);
// A full block of 16 strings: index (0..15) → text, the others empty.
Bytes stringBlock(std::initializer_list<std::pair<int, std::u16string>> byIndex);
// The block id that holds string `stringId`, and the index of the string in it.
inline std::uint32_t blockOf(std::uint32_t stringId) { return stringId / 16 + 1; }
inline int indexInBlock(std::uint32_t stringId) { return static_cast<int>(stringId % 16); }

// ---- byte patching (for malformed-file tests) ----
void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value);
std::uint16_t getU16(const Bytes& bytes, std::size_t offset);
std::uint32_t getU32(const Bytes& bytes, std::size_t offset);

// 16 bytes of a resource directory header: characteristics, time stamp, version; the
// entry counts are filled in by the builder.
struct DirHeader {
  std::uint32_t characteristics = 0;
  std::uint32_t timeDateStamp = 0;
  std::uint16_t majorVersion = 0;
  std::uint16_t minorVersion = 0;
};

struct BuildOptions {
  bool pe32Plus = false;
  std::uint32_t sectionRva = 0x1000;         // RVA of the resource section
  std::uint32_t sectionFileOffset = 0x1000;  // its raw data in the file
  std::uint32_t fileAlignment = 0x200;
  std::uint32_t sectionAlignment = 0x1000;
  std::uint32_t dataAlignment = 1;   // alignment of each data block inside the section
  bool sortEntries = true;           // directory order as a resource compiler writes it
  bool leadingCodeSection = false;   // a ".text" section (RVA 0x1000) before the resources
  bool relocations = false;          // a trailing ".reloc" section named by data directory 5
  bool certificate = false;          // data directory 4: a signature block after the appended bytes
  Bytes appended;                    // bytes after the last section, as an installer or signer leaves them
  bool debugDirectory = false;       // data directory 6, inside the ".text" section (needs leadingCodeSection)
  std::uint32_t ntOffset = 0x80;     // e_lfanew
};

struct BuiltLanguage {
  ResId id;
  std::uint32_t entryOffset = 0;      // file offset of the 8-byte entry in the language directory
  std::uint32_t dataEntryOffset = 0;  // file offset of the 16-byte data entry
  std::uint32_t dataOffset = 0;       // file offset of the data
  std::uint32_t size = 0;
  std::uint32_t nameOffset = 0;       // the counted name, 0 for an id
};
struct BuiltResource {
  ResId id;
  std::uint32_t entryOffset = 0;  // in the type's name directory
  std::uint32_t dirOffset = 0;    // the language directory
  std::uint32_t nameOffset = 0;   // the counted name, 0 for an id
  std::vector<BuiltLanguage> languages;
};
struct BuiltType {
  ResId id;
  std::uint32_t entryOffset = 0;  // in the root directory
  std::uint32_t dirOffset = 0;    // the name directory
  std::uint32_t nameOffset = 0;
  std::vector<BuiltResource> resources;
};

struct BuiltImage {
  Bytes bytes;
  std::uint32_t ntOffset = 0;
  std::uint32_t optionalHeaderOffset = 0;
  std::uint32_t dataDirectoryOffset = 0;  // data directory 0
  std::uint32_t resourceSectionHeader = 0;  // file offset of its 40-byte header
  std::uint32_t sectionRva = 0;
  std::uint32_t sectionFileOffset = 0;
  std::uint32_t sectionSize = 0;  // bytes of the resource section actually used
  std::uint32_t rootOffset = 0;   // file offset of the root directory
  std::vector<BuiltType> types;   // directory order

  [[nodiscard]] const BuiltType& type(const ResId& id) const;
  [[nodiscard]] const BuiltResource& resource(const ResId& type, const ResId& name) const;
  [[nodiscard]] std::uint32_t rvaOf(std::uint32_t fileOffset) const {
    return fileOffset - sectionFileOffset + sectionRva;
  }
  // The resource directory's data directory entry (VirtualAddress, then Size).
  [[nodiscard]] std::uint32_t resourceDirectoryEntry() const { return dataDirectoryOffset + 2 * 8; }
};

class ThemeBuilder {
 public:
  explicit ThemeBuilder(BuildOptions options = {}) : options_(options) {}

  // Adds one language of a resource; a second call with the same type and name adds a
  // further language to it.
  ThemeBuilder& add(const ResId& type, const ResId& name, Bytes data, const ResId& language = 0x411,
                    std::uint32_t codePage = 0);
  ThemeBuilder& rootHeader(DirHeader h);
  ThemeBuilder& typeHeader(const ResId& type, DirHeader h);
  ThemeBuilder& resourceHeader(const ResId& type, const ResId& name, DirHeader h);

  // COLORNAMES, FILERESNAMES and SIZENAMES (resource 1 each).
  ThemeBuilder& nameLists(std::initializer_list<std::u16string_view> colours,
                          std::initializer_list<std::u16string_view> fileResNames,
                          std::initializer_list<std::u16string_view> sizes);
  ThemeBuilder& textFile(const ResId& name, std::u16string_view text) {
    return add(u"TEXTFILE", name, utf16le(text));
  }
  ThemeBuilder& strings(std::uint32_t blockId, Bytes block) { return add(6, blockId, std::move(block)); }

  [[nodiscard]] BuiltImage build() const;

 private:
  struct Language {
    ResId id;
    Bytes data;
    std::uint32_t codePage;
  };
  struct Resource {
    ResId id;
    DirHeader header;
    std::vector<Language> languages;
  };
  struct Type {
    ResId id;
    DirHeader header;
    std::vector<Resource> resources;
  };
  Type& typeFor(const ResId& id);
  Resource& resourceFor(Type& type, const ResId& id);

  BuildOptions options_;
  DirHeader rootHeader_{};
  std::vector<Type> types_;
};

// A theme with one size ("Normal") and one colour ("Blue"): the file-name table holds
// "BLUE" for page 0 and colour 0, so BLUE_INI and "BLUE@[...]" entries land on page 0.
ThemeBuilder oneSizeTheme(BuildOptions options = {});

// The inverse of the builder, written apart from the core: every resource of an image
// (types, names, languages in directory order) with its data, RVAs translated through
// the section table. Throws std::runtime_error or std::out_of_range on a malformed image.
struct ListedResource {
  ResId type = 0;
  ResId name = 0;
  ResId language = 0;
  std::uint32_t dataRva = 0;
  std::uint32_t codePage = 0;
  Bytes data;
};
std::vector<ListedResource> listResources(const Bytes& image);

// Files on disk for tests that need a path. Removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
  std::string write(std::string_view name, const Bytes& bytes) const;

 private:
  std::string path_;
};

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);

}  // namespace marvento_test
