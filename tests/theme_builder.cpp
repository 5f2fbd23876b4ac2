#include "theme_builder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace marvento_test {

namespace fs = std::filesystem;

bool ResId::operator<(const ResId& other) const {
  if (named() != other.named()) return named();
  if (named()) return name() < other.name();
  return id() < other.id();
}

Bytes utf16le(std::u16string_view text) {
  Bytes out;
  out.reserve(text.size() * 2);
  for (char16_t u : text) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return out;
}

Bytes nameList(std::initializer_list<std::u16string_view> names, bool closed) {
  Bytes out;
  for (auto name : names) {
    Bytes n = utf16le(name);
    out.insert(out.end(), n.begin(), n.end());
    out.push_back(0);
    out.push_back(0);
  }
  if (closed) {
    out.push_back(0);
    out.push_back(0);
  }
  return out;
}

Bytes countedStrings(const std::vector<std::u16string>& strings) {
  Bytes out;
  for (const auto& s : strings) {
    const auto count = static_cast<std::uint16_t>(s.size());
    out.push_back(static_cast<std::uint8_t>(count & 0xFF));
    out.push_back(static_cast<std::uint8_t>(count >> 8));
    Bytes units = utf16le(s);
    out.insert(out.end(), units.begin(), units.end());
  }
  return out;
}

Bytes stringBlock(std::initializer_list<std::pair<int, std::u16string>> byIndex) {
  std::vector<std::u16string> strings(16);
  for (const auto& [index, text] : byIndex) strings.at(static_cast<std::size_t>(index)) = text;
  return countedStrings(strings);
}

void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value & 0xFF);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  putU16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
  putU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t getU16(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

std::uint32_t getU32(const Bytes& bytes, std::size_t offset) {
  return getU16(bytes, offset) | (static_cast<std::uint32_t>(getU16(bytes, offset + 2)) << 16);
}

const BuiltType& BuiltImage::type(const ResId& id) const {
  for (const auto& t : types)
    if (t.id == id) return t;
  throw std::out_of_range("no such type in the built image");
}

const BuiltResource& BuiltImage::resource(const ResId& typeId, const ResId& name) const {
  for (const auto& r : type(typeId).resources)
    if (r.id == name) return r;
  throw std::out_of_range("no such resource in the built image");
}

ThemeBuilder::Type& ThemeBuilder::typeFor(const ResId& id) {
  for (auto& t : types_)
    if (t.id == id) return t;
  types_.push_back(Type{id, {}, {}});
  return types_.back();
}

ThemeBuilder::Resource& ThemeBuilder::resourceFor(Type& type, const ResId& id) {
  for (auto& r : type.resources)
    if (r.id == id) return r;
  type.resources.push_back(Resource{id, {}, {}});
  return type.resources.back();
}

ThemeBuilder& ThemeBuilder::add(const ResId& type, const ResId& name, Bytes data, const ResId& language,
                                std::uint32_t codePage) {
  resourceFor(typeFor(type), name).languages.push_back(Language{language, std::move(data), codePage});
  return *this;
}

ThemeBuilder& ThemeBuilder::rootHeader(DirHeader h) {
  rootHeader_ = h;
  return *this;
}

ThemeBuilder& ThemeBuilder::typeHeader(const ResId& type, DirHeader h) {
  typeFor(type).header = h;
  return *this;
}

ThemeBuilder& ThemeBuilder::resourceHeader(const ResId& type, const ResId& name, DirHeader h) {
  resourceFor(typeFor(type), name).header = h;
  return *this;
}

ThemeBuilder& ThemeBuilder::nameLists(std::initializer_list<std::u16string_view> colours,
                                      std::initializer_list<std::u16string_view> fileResNames,
                                      std::initializer_list<std::u16string_view> sizes) {
  add(u"COLORNAMES", 1, nameList(colours));
  add(u"FILERESNAMES", 1, nameList(fileResNames));
  add(u"SIZENAMES", 1, nameList(sizes));
  return *this;
}

namespace {

std::uint32_t alignUp(std::uint32_t value, std::uint32_t alignment) {
  if (alignment <= 1) return value;
  return (value + alignment - 1) / alignment * alignment;
}

void putBytes(Bytes& bytes, std::size_t offset, const Bytes& data) {
  if (offset + data.size() > bytes.size()) throw std::out_of_range("builder wrote past its image");
  std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void putDirHeader(Bytes& bytes, std::size_t offset, const DirHeader& h, std::size_t named, std::size_t ids) {
  putU32(bytes, offset, h.characteristics);
  putU32(bytes, offset + 4, h.timeDateStamp);
  putU16(bytes, offset + 8, h.majorVersion);
  putU16(bytes, offset + 10, h.minorVersion);
  putU16(bytes, offset + 12, static_cast<std::uint16_t>(named));
  putU16(bytes, offset + 14, static_cast<std::uint16_t>(ids));
}

template <typename T>
std::pair<std::size_t, std::size_t> countNamed(const std::vector<T>& entries) {
  std::size_t named = 0;
  for (const auto& e : entries) named += e.id.named() ? 1 : 0;
  return {named, entries.size() - named};
}

void putSectionHeader(Bytes& bytes, std::size_t offset, const char* name, std::uint32_t virtualSize,
                      std::uint32_t rva, std::uint32_t rawSize, std::uint32_t rawOffset,
                      std::uint32_t characteristics) {
  for (std::size_t i = 0; i < 8 && name[i] != '\0'; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(name[i]);
  putU32(bytes, offset + 8, virtualSize);
  putU32(bytes, offset + 12, rva);
  putU32(bytes, offset + 16, rawSize);
  putU32(bytes, offset + 20, rawOffset);
  putU32(bytes, offset + 36, characteristics);
}

}  // namespace

BuiltImage ThemeBuilder::build() const {
  const BuildOptions& o = options_;
  std::vector<Type> types = types_;
  if (o.sortEntries) {
    auto byId = [](const auto& a, const auto& b) { return a.id < b.id; };
    std::stable_sort(types.begin(), types.end(), byId);
    for (auto& t : types) {
      std::stable_sort(t.resources.begin(), t.resources.end(), byId);
      for (auto& r : t.resources) std::stable_sort(r.languages.begin(), r.languages.end(), byId);
    }
  }

  // Offsets inside the resource section: root, name directories, language directories,
  // data entries, counted names, then the data blocks.
  BuiltImage img;
  std::uint32_t cursor = 16 + 8 * static_cast<std::uint32_t>(types.size());
  img.types.reserve(types.size());
  for (const auto& t : types) {
    BuiltType bt{t.id, 0, cursor, 0, {}};
    cursor += 16 + 8 * static_cast<std::uint32_t>(t.resources.size());
    for (const auto& r : t.resources) bt.resources.push_back(BuiltResource{r.id, 0, 0, 0, {}});
    img.types.push_back(std::move(bt));
  }
  for (std::size_t ti = 0; ti < types.size(); ++ti) {
    for (std::size_t ri = 0; ri < types[ti].resources.size(); ++ri) {
      const auto& r = types[ti].resources[ri];
      auto& br = img.types[ti].resources[ri];
      br.dirOffset = cursor;
      cursor += 16 + 8 * static_cast<std::uint32_t>(r.languages.size());
      for (const auto& l : r.languages) br.languages.push_back(BuiltLanguage{l.id, 0, 0, 0, 0, 0});
    }
  }
  for (auto& bt : img.types)
    for (auto& br : bt.resources)
      for (auto& bl : br.languages) {
        bl.dataEntryOffset = cursor;
        cursor += 16;
      }
  auto nameSize = [](const ResId& id) { return id.named() ? 2 + 2 * static_cast<std::uint32_t>(id.name().size()) : 0; };
  for (auto& bt : img.types) {
    if (bt.id.named()) bt.nameOffset = cursor;
    cursor += nameSize(bt.id);
  }
  for (auto& bt : img.types)
    for (auto& br : bt.resources) {
      if (br.id.named()) br.nameOffset = cursor;
      cursor += nameSize(br.id);
    }
  for (auto& bt : img.types)
    for (auto& br : bt.resources)
      for (auto& bl : br.languages) {
        if (bl.id.named()) bl.nameOffset = cursor;
        cursor += nameSize(bl.id);
      }
  for (std::size_t ti = 0; ti < types.size(); ++ti)
    for (std::size_t ri = 0; ri < types[ti].resources.size(); ++ri)
      for (std::size_t li = 0; li < types[ti].resources[ri].languages.size(); ++li) {
        auto& bl = img.types[ti].resources[ri].languages[li];
        cursor = alignUp(cursor, o.dataAlignment);
        bl.dataOffset = cursor;
        bl.size = static_cast<std::uint32_t>(types[ti].resources[ri].languages[li].data.size());
        cursor += bl.size;
      }
  const std::uint32_t sectionSize = cursor;

  // Headers and section table.
  const std::uint32_t optionalSize = o.pe32Plus ? 240 : 224;
  const std::uint32_t sectionCount = 1 + (o.leadingCodeSection ? 1 : 0) + (o.relocations ? 1 : 0);
  const std::uint32_t headersEnd = o.ntOffset + 24 + optionalSize + 40 * sectionCount;
  const std::uint32_t sizeOfHeaders = alignUp(headersEnd, o.fileAlignment);
  const std::uint32_t codeFileOffset = sizeOfHeaders;
  const std::uint32_t codeRawSize = o.fileAlignment;
  if (o.sectionFileOffset < sizeOfHeaders + (o.leadingCodeSection ? codeRawSize : 0))
    throw std::invalid_argument("resource section overlaps the headers");
  if (o.leadingCodeSection && o.sectionRva < 0x1000 + o.sectionAlignment)
    throw std::invalid_argument("resource section overlaps the code section");
  const std::uint32_t rsrcRawSize = alignUp(sectionSize, o.fileAlignment);
  const std::uint32_t relocRva = alignUp(o.sectionRva + sectionSize, o.sectionAlignment);
  const std::uint32_t relocFileOffset = o.sectionFileOffset + rsrcRawSize;
  const std::uint32_t relocRawSize = o.fileAlignment;
  const std::uint32_t sectionsEnd = o.relocations ? relocFileOffset + relocRawSize : o.sectionFileOffset + rsrcRawSize;
  const std::uint32_t certificateSize = 24;
  const std::uint32_t certificateAt = sectionsEnd + static_cast<std::uint32_t>(o.appended.size());
  const std::uint32_t fileSize = certificateAt + (o.certificate ? certificateSize : 0);
  const std::uint32_t imageEnd = o.relocations ? relocRva + 12 : o.sectionRva + sectionSize;

  Bytes& b = img.bytes;
  b.assign(fileSize, 0);
  b[0] = 'M';
  b[1] = 'Z';
  putU16(b, 2, 0x90);
  putU16(b, 4, 3);
  putU16(b, 8, 4);
  putU16(b, 0x18, 0x40);
  putU32(b, 0x3C, o.ntOffset);
  static const char kStub[] = "This program cannot be run in DOS mode.\r\r\n$";
  for (std::size_t i = 0; i + 1 < sizeof kStub && 0x4E + i < o.ntOffset; ++i)
    b[0x4E + i] = static_cast<std::uint8_t>(kStub[i]);

  const std::uint32_t nt = o.ntOffset;
  img.ntOffset = nt;
  b[nt] = 'P';
  b[nt + 1] = 'E';
  putU16(b, nt + 4, o.pe32Plus ? 0x8664 : 0x014C);
  putU16(b, nt + 6, static_cast<std::uint16_t>(sectionCount));
  putU32(b, nt + 8, 0x5F5E1000);
  putU16(b, nt + 20, static_cast<std::uint16_t>(optionalSize));
  putU16(b, nt + 22, o.pe32Plus ? 0x2022 : 0x210E);
  const std::uint32_t opt = nt + 24;
  img.optionalHeaderOffset = opt;
  putU16(b, opt, o.pe32Plus ? 0x20B : 0x10B);
  b[opt + 2] = 2;
  b[opt + 3] = 0x22;
  std::uint32_t initialized = rsrcRawSize + (o.relocations ? relocRawSize : 0);
  putU32(b, opt + 4, o.leadingCodeSection ? codeRawSize : 0);
  putU32(b, opt + 8, initialized);
  if (o.leadingCodeSection) putU32(b, opt + 20, 0x1000);
  if (o.pe32Plus) {
    putU32(b, opt + 24, 0x10000000);  // ImageBase, low half
  } else {
    putU32(b, opt + 24, o.sectionRva);  // BaseOfData
    putU32(b, opt + 28, 0x10000000);
  }
  putU32(b, opt + 32, o.sectionAlignment);
  putU32(b, opt + 36, o.fileAlignment);
  putU16(b, opt + 40, 5);
  putU16(b, opt + 42, 1);
  putU16(b, opt + 48, 5);
  putU16(b, opt + 50, 1);
  putU32(b, opt + 56, alignUp(imageEnd, o.sectionAlignment));
  putU32(b, opt + 60, sizeOfHeaders);
  putU16(b, opt + 68, 2);  // Windows GUI
  const std::uint32_t dirs = o.pe32Plus ? opt + 112 : opt + 96;
  if (o.pe32Plus) {
    putU32(b, opt + 72, 0x100000);
    putU32(b, opt + 80, 0x1000);
    putU32(b, opt + 88, 0x100000);
    putU32(b, opt + 96, 0x1000);
    putU32(b, opt + 108, 16);
  } else {
    putU32(b, opt + 72, 0x100000);
    putU32(b, opt + 76, 0x1000);
    putU32(b, opt + 80, 0x100000);
    putU32(b, opt + 84, 0x1000);
    putU32(b, opt + 92, 16);
  }
  img.dataDirectoryOffset = dirs;
  putU32(b, dirs + 2 * 8, o.sectionRva);
  putU32(b, dirs + 2 * 8 + 4, sectionSize);
  if (o.relocations) {
    putU32(b, dirs + 5 * 8, relocRva);
    putU32(b, dirs + 5 * 8 + 4, 12);
  }
  if (o.certificate) {  // WIN_CERTIFICATE: length, revision 2, type PKCS#7, then content
    putU32(b, dirs + 4 * 8, certificateAt);
    putU32(b, dirs + 4 * 8 + 4, certificateSize);
    putU32(b, certificateAt, certificateSize);
    putU16(b, certificateAt + 4, 0x0200);
    putU16(b, certificateAt + 6, 0x0002);
  }
  putBytes(b, sectionsEnd, o.appended);
  if (o.debugDirectory) {
    if (!o.leadingCodeSection) throw std::invalid_argument("a debug directory needs the code section");
    putU32(b, dirs + 6 * 8, 0x1000);
    putU32(b, dirs + 6 * 8 + 4, 28);
  }

  std::uint32_t sh = opt + optionalSize;
  if (o.leadingCodeSection) {
    putSectionHeader(b, sh, ".text", 0x40, 0x1000, codeRawSize, codeFileOffset, 0x60000020);
    if (o.debugDirectory) {  // one IMAGE_DEBUG_DIRECTORY of an unknown type and no data
      putU32(b, codeFileOffset + 4, 0x5F5E1000);
    } else {
      for (std::uint32_t i = 0; i < 0x10; ++i) b[codeFileOffset + i] = 0xC3;
    }
    sh += 40;
  }
  img.resourceSectionHeader = sh;
  putSectionHeader(b, sh, ".rsrc", sectionSize, o.sectionRva, rsrcRawSize, o.sectionFileOffset, 0x40000040);
  sh += 40;
  if (o.relocations) {
    putSectionHeader(b, sh, ".reloc", 12, relocRva, relocRawSize, relocFileOffset, 0x42000040);
    putU32(b, relocFileOffset, o.sectionRva);  // one block with two padding entries
    putU32(b, relocFileOffset + 4, 12);
  }

  // The resource section itself.
  const std::uint32_t base = o.sectionFileOffset;
  img.sectionRva = o.sectionRva;
  img.sectionFileOffset = base;
  img.sectionSize = sectionSize;
  img.rootOffset = base;
  auto [namedTypes, idTypes] = countNamed(types);
  putDirHeader(b, base, rootHeader_, namedTypes, idTypes);
  auto putName = [&](std::uint32_t at, const ResId& id) {
    putU16(b, base + at, static_cast<std::uint16_t>(id.name().size()));
    putBytes(b, base + at + 2, utf16le(id.name()));
  };
  auto nameField = [](const ResId& id, std::uint32_t nameOffset) {
    return id.named() ? (0x80000000U | nameOffset) : id.id();
  };
  for (std::size_t ti = 0; ti < types.size(); ++ti) {
    const Type& t = types[ti];
    BuiltType& bt = img.types[ti];
    const std::uint32_t typeEntry = 16 + 8 * static_cast<std::uint32_t>(ti);
    if (t.id.named()) putName(bt.nameOffset, t.id);
    putU32(b, base + typeEntry, nameField(t.id, bt.nameOffset));
    putU32(b, base + typeEntry + 4, 0x80000000U | bt.dirOffset);
    auto [namedRes, idRes] = countNamed(t.resources);
    putDirHeader(b, base + bt.dirOffset, t.header, namedRes, idRes);
    for (std::size_t ri = 0; ri < t.resources.size(); ++ri) {
      const Resource& r = t.resources[ri];
      BuiltResource& br = bt.resources[ri];
      const std::uint32_t resEntry = bt.dirOffset + 16 + 8 * static_cast<std::uint32_t>(ri);
      if (r.id.named()) putName(br.nameOffset, r.id);
      putU32(b, base + resEntry, nameField(r.id, br.nameOffset));
      putU32(b, base + resEntry + 4, 0x80000000U | br.dirOffset);
      auto [namedLang, idLang] = countNamed(r.languages);
      putDirHeader(b, base + br.dirOffset, r.header, namedLang, idLang);
      for (std::size_t li = 0; li < r.languages.size(); ++li) {
        const Language& l = r.languages[li];
        BuiltLanguage& bl = br.languages[li];
        const std::uint32_t langEntry = br.dirOffset + 16 + 8 * static_cast<std::uint32_t>(li);
        if (l.id.named()) putName(bl.nameOffset, l.id);
        putU32(b, base + langEntry, nameField(l.id, bl.nameOffset));
        putU32(b, base + langEntry + 4, bl.dataEntryOffset);
        putU32(b, base + bl.dataEntryOffset, o.sectionRva + bl.dataOffset);
        putU32(b, base + bl.dataEntryOffset + 4, bl.size);
        putU32(b, base + bl.dataEntryOffset + 8, l.codePage);
        putBytes(b, base + bl.dataOffset, l.data);
        bl.entryOffset = base + langEntry;
        bl.dataEntryOffset += base;
        bl.dataOffset += base;
        if (l.id.named()) bl.nameOffset += base;
      }
      br.entryOffset = base + resEntry;
      br.dirOffset += base;
      if (r.id.named()) br.nameOffset += base;
    }
    bt.entryOffset = base + typeEntry;
    bt.dirOffset += base;
    if (t.id.named()) bt.nameOffset += base;
  }
  return img;
}

ThemeBuilder oneSizeTheme(BuildOptions options) {
  ThemeBuilder b(options);
  b.nameLists({u"Blue"}, {u"BLUE_INI"}, {u"Normal"});
  return b;
}

// ---- the independent walk ----

namespace {

struct Walk {
  const Bytes& b;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> sections;  // (rva, size) → raw
  std::vector<std::uint32_t> raws;
  std::uint32_t root = 0;

  std::uint32_t toOffset(std::uint32_t rva) const {
    for (std::size_t i = 0; i < sections.size(); ++i)
      if (rva >= sections[i].first && rva - sections[i].first < sections[i].second)
        return raws[i] + (rva - sections[i].first);
    throw std::runtime_error("RVA outside every section");
  }
  ResId name(std::uint32_t field) const {
    if ((field & 0x80000000U) == 0) return field;
    const std::uint32_t at = root + (field & 0x7FFFFFFFU);
    std::u16string s(getU16(b, at), u'\0');
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char16_t>(getU16(b, at + 2 + 2 * i));
    return s;
  }
  std::vector<std::pair<std::uint32_t, std::uint32_t>> entries(std::uint32_t dir) const {
    const std::uint32_t n = static_cast<std::uint32_t>(getU16(b, dir + 12)) + getU16(b, dir + 14);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
    for (std::uint32_t i = 0; i < n; ++i) out.emplace_back(getU32(b, dir + 16 + 8 * i), getU32(b, dir + 20 + 8 * i));
    return out;
  }
};

}  // namespace

std::vector<ListedResource> listResources(const Bytes& image) {
  if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') throw std::runtime_error("no MZ header");
  const std::uint32_t nt = getU32(image, 0x3C);
  if (getU32(image, nt) != 0x00004550U) throw std::runtime_error("no PE signature");
  const std::uint16_t sectionCount = getU16(image, nt + 6);
  const std::uint16_t optionalSize = getU16(image, nt + 20);
  const std::uint32_t opt = nt + 24;
  const bool plus = getU16(image, opt) == 0x20B;
  const std::uint32_t dirs = opt + (plus ? 112 : 96);
  const std::uint32_t resourceRva = getU32(image, dirs + 16);
  Walk w{image, {}, {}, 0};
  for (std::uint32_t i = 0; i < sectionCount; ++i) {
    const std::uint32_t sh = opt + optionalSize + 40 * i;
    const std::uint32_t vsize = getU32(image, sh + 8);
    const std::uint32_t rawSize = getU32(image, sh + 16);
    w.sections.emplace_back(getU32(image, sh + 12), std::max(vsize, rawSize));
    w.raws.push_back(getU32(image, sh + 20));
  }
  w.root = w.toOffset(resourceRva);
  std::vector<ListedResource> out;
  for (auto [typeName, typeOff] : w.entries(w.root)) {
    for (auto [resName, resOff] : w.entries(w.root + (typeOff & 0x7FFFFFFFU))) {
      for (auto [langName, langOff] : w.entries(w.root + (resOff & 0x7FFFFFFFU))) {
        const std::uint32_t de = w.root + (langOff & 0x7FFFFFFFU);
        ListedResource r;
        r.type = w.name(typeName);
        r.name = w.name(resName);
        r.language = w.name(langName);
        r.dataRva = getU32(image, de);
        const std::uint32_t size = getU32(image, de + 4);
        r.codePage = getU32(image, de + 8);
        const std::uint32_t at = w.toOffset(r.dataRva);
        if (at > image.size() || size > image.size() - at) throw std::runtime_error("data outside the file");
        r.data.assign(image.begin() + at, image.begin() + at + size);
        out.push_back(std::move(r));
      }
    }
  }
  return out;
}

// ---- files ----

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() /
                 ("marvento-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      path_ = p.string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::write(std::string_view name, const Bytes& bytes) const {
  std::string p = file(name);
  writeFile(p, bytes);
  return p;
}

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace marvento_test
