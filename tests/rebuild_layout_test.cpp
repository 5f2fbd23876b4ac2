// The rebuilt resource section and headers: layout arithmetic, blocks moved by growth
// and shrink, packing, every language kept, headers brought up to date.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "errors.h"
#include "test_support.h"
#include "theme_rebuild.h"

namespace marvento_test {
namespace {

struct Rebuilt {
  Bytes bytes;
  std::vector<ListedResource> resources;
};

Rebuilt rebuildBytes(const Bytes& original, const std::function<void(theme::FontPages&)>& edit = {},
                     theme::LanguagePreference language = {}) {
  Rebuilt r;
  r.bytes = rebuiltBytes(original, edit, language);
  r.resources = listResources(r.bytes);
  return r;
}

struct Headers {
  std::uint32_t nt, opt, dirs, firstSection;
  std::uint16_t sectionCount;
  bool plus;
};
// The header fields these checks read, at their offsets in the PE/COFF structures as
// Microsoft's PE format documentation gives them: written out here, not taken from the
// core, so that a wrong offset in the core cannot agree with itself.
template <typename T>
struct Field {
  std::uint32_t offset;
};
namespace dos {
constexpr std::uint32_t kSize = 64;  // IMAGE_DOS_HEADER; the stub follows
constexpr Field<std::uint32_t> kNtHeadersOffset{0x3C};  // e_lfanew
}  // namespace dos
namespace nt {  // "PE\0\0", then IMAGE_FILE_HEADER
constexpr std::uint32_t kOptionalHeader = 24;
constexpr Field<std::uint16_t> kNumberOfSections{6};
constexpr Field<std::uint16_t> kSizeOfOptionalHeader{20};
}  // namespace nt
namespace opt {  // IMAGE_OPTIONAL_HEADER32 / 64
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr Field<std::uint16_t> kMagic{0};
constexpr Field<std::uint32_t> kSizeOfInitializedData{8};
constexpr Field<std::uint32_t> kSectionAlignment{32};
constexpr Field<std::uint32_t> kFileAlignment{36};
constexpr Field<std::uint32_t> kSizeOfImage{56};
constexpr std::uint32_t dataDirectories(bool pe32Plus) { return pe32Plus ? 112 : 96; }
}  // namespace opt
namespace sec {  // IMAGE_SECTION_HEADER
constexpr Field<std::uint32_t> kVirtualSize{8};
constexpr Field<std::uint32_t> kVirtualAddress{12};
constexpr Field<std::uint32_t> kSizeOfRawData{16};
constexpr Field<std::uint32_t> kPointerToRawData{20};
}  // namespace sec
namespace dir {  // IMAGE_DATA_DIRECTORY
constexpr std::uint32_t kSize = 8;
constexpr std::uint32_t kResources = 2;
constexpr std::uint32_t kBaseRelocations = 5;
constexpr Field<std::uint32_t> kVirtualAddress{0};
constexpr Field<std::uint32_t> kSizeField{4};
}  // namespace dir

// A header field of the structure at `base`.
template <typename T>
T field(const Bytes& b, std::uint32_t base, Field<T> named) {
  if constexpr (sizeof(T) == 2) {
    return getU16(b, base + named.offset);
  } else {
    return getU32(b, base + named.offset);
  }
}
// Data directory `index`.
std::uint32_t directory(const Headers& h, std::uint32_t index) { return h.dirs + dir::kSize * index; }

Headers headersOf(const Bytes& b) {
  Headers h{};
  h.nt = field(b, 0, dos::kNtHeadersOffset);
  h.opt = h.nt + nt::kOptionalHeader;
  h.plus = field(b, h.opt, opt::kMagic) == opt::kPe32PlusMagic;
  h.dirs = h.opt + opt::dataDirectories(h.plus);
  h.sectionCount = field(b, h.nt, nt::kNumberOfSections);
  h.firstSection = h.opt + field(b, h.nt, nt::kSizeOfOptionalHeader);
  return h;
}

std::uint32_t alignUp(std::uint32_t v, std::uint32_t a) { return (v + a - 1) / a * a; }

TEST(RebuildLayout, TwoTypesThreeResourcesAtTheDocumentedOffsets) {
  const std::u16string one = u"ONE_INI";        // L1 = 7
  const std::u16string second = u"SECOND_INI";  // L2 = 10
  const Bytes text1 = utf16le(u"[S]\r\nColor = 1 2 3\r\n");
  const Bytes text2 = utf16le(u"; nothing\r\n");
  const Bytes block = stringBlock({{0, u"zero"}, {3, u"three"}});
  ThemeBuilder b;
  b.add(u"TEXTFILE", one, text1, 0x411, 932);
  b.add(u"TEXTFILE", second, text2, 0x409, 1252);
  b.add(6, 1, block, 0x411);
  b.rootHeader({0x11111111, 0x22222222, 3, 4});
  b.typeHeader(u"TEXTFILE", {0, 0x33333333, 5, 6});
  b.resourceHeader(6, 1, {7, 0x44444444, 8, 9});
  BuiltImage built = b.build();
  for (std::uint32_t i = dos::kSize; i < built.ntOffset; ++i) built.bytes[i] = static_cast<std::uint8_t>(i);
  const Bytes out = rebuildBytes(built.bytes).bytes;

  const std::uint32_t S = 0x1000;
  const Headers h = headersOf(out);
  EXPECT_EQ(h.sectionCount, 1);
  EXPECT_EQ(field(out, h.firstSection, sec::kPointerToRawData), S) << "PointerToRawData";
  EXPECT_EQ(field(out, h.firstSection, sec::kVirtualAddress), 0x1000U) << "VirtualAddress";
  // Headers of the root and the directories as loaded, entry counts included.
  for (std::uint32_t at = 0; at < 16; ++at) EXPECT_EQ(out.at(S + at), built.bytes.at(built.rootOffset + at)) << at;
  // Root: TEXTFILE then 6.
  EXPECT_EQ(getU32(out, S + 16), 0x80000000U | 208);
  EXPECT_EQ(getU32(out, S + 20), 0x80000000U | 32);
  EXPECT_EQ(getU32(out, S + 24), 6U);
  EXPECT_EQ(getU32(out, S + 28), 0x80000000U | 64);
  // Name directories at 32 (two entries) and 64 (one entry).
  EXPECT_EQ(getU32(out, S + 32 + 4), 0x33333333U);
  EXPECT_EQ(getU16(out, S + 32 + 12), 2);
  EXPECT_EQ(getU32(out, S + 48), 0x80000000U | 226);
  EXPECT_EQ(getU32(out, S + 52), 0x80000000U | 88);
  EXPECT_EQ(getU32(out, S + 56), 0x80000000U | (226 + 2 + 2 * 7));
  EXPECT_EQ(getU32(out, S + 60), 0x80000000U | 112);
  EXPECT_EQ(getU16(out, S + 64 + 14), 1);
  EXPECT_EQ(getU32(out, S + 80), 1U);
  EXPECT_EQ(getU32(out, S + 84), 0x80000000U | 136);
  // Language directories at 88, 112, 136, each pointing at its data entry.
  EXPECT_EQ(getU32(out, S + 136 + 4), 0x44444444U);
  const std::uint32_t langs[] = {0x411, 0x409, 0x411};
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(getU32(out, S + 88 + 24 * i + 16), langs[i]);
    EXPECT_EQ(getU32(out, S + 88 + 24 * i + 20), 160 + 16 * i);
  }
  // Data entries at 160: RVAs from the first data block on, back to back.
  const std::uint32_t firstData = S + 230 + 2 * (7 + 10);
  const std::uint32_t sizes[] = {static_cast<std::uint32_t>(text1.size()), static_cast<std::uint32_t>(text2.size()),
                                 static_cast<std::uint32_t>(block.size())};
  const std::uint32_t codePages[] = {932, 1252, 0};
  std::uint32_t at = firstData;
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(getU32(out, S + 160 + 16 * i), at) << "data entry " << i;
    EXPECT_EQ(getU32(out, S + 160 + 16 * i + 4), sizes[i]);
    EXPECT_EQ(getU32(out, S + 160 + 16 * i + 8), codePages[i]);
    at += sizes[i];
  }
  // Names: the type at 208 (2 + 16 bytes), then the resources.
  EXPECT_EQ(getU16(out, S + 208), 8);
  EXPECT_EQ(Bytes(out.begin() + S + 210, out.begin() + S + 226), utf16le(u"TEXTFILE"));
  EXPECT_EQ(getU16(out, S + 226), 7);
  EXPECT_EQ(Bytes(out.begin() + S + 228, out.begin() + S + 242), utf16le(one));
  EXPECT_EQ(getU16(out, S + 242), 10);
  EXPECT_EQ(Bytes(out.begin() + S + 244, out.begin() + S + 264), utf16le(second));
  // Data: copied texts and block, unchanged since they hold no font entry.
  Bytes data = text1;
  data.insert(data.end(), text2.begin(), text2.end());
  data.insert(data.end(), block.begin(), block.end());
  EXPECT_EQ(Bytes(out.begin() + firstData, out.begin() + firstData + static_cast<std::ptrdiff_t>(data.size())), data);

  // Headers brought up to date with the new section.
  const std::uint32_t sectionSize = firstData - S + static_cast<std::uint32_t>(data.size());
  const std::uint32_t fileAlignment = field(out, h.opt, opt::kFileAlignment);
  EXPECT_EQ(field(out, h.firstSection, sec::kVirtualSize), sectionSize) << "VirtualSize";
  EXPECT_EQ(field(out, h.firstSection, sec::kSizeOfRawData), alignUp(sectionSize, fileAlignment)) << "SizeOfRawData";
  EXPECT_EQ(out.size(), S + alignUp(sectionSize, fileAlignment));
  EXPECT_EQ(field(out, h.opt, opt::kSizeOfImage), alignUp(S + sectionSize, field(out, h.opt, opt::kSectionAlignment))) << "SizeOfImage";
  EXPECT_EQ(field(out, directory(h, dir::kResources), dir::kVirtualAddress), 0x1000U);
  EXPECT_EQ(field(out, directory(h, dir::kResources), dir::kSizeField), sectionSize);
  for (std::uint32_t i = 0; i < built.ntOffset; ++i) EXPECT_EQ(out.at(i), built.bytes.at(i)) << "DOS header or stub byte " << i;
}

// BLUE_INI comes first; every later block moves with its growth or shrink.
ThemeBuilder growthThemeBuilder() {
  ThemeBuilder b = oneSizeTheme();
  b.textFile(u"BLUE_INI", u"[S]\r\nFont = ms ui gothic, 9, Bold\r\n");
  b.textFile(u"THEMES_INI", u"[documentation]\r\nName = x\r\n");
  b.strings(188, stringBlock({{8, u"Normal"}}));
  b.add(10, 1, Bytes{1, 2, 3});
  b.add(10, 2, Bytes{4, 5, 6, 7, 8});
  return b;
}
Bytes growthTheme() { return growthThemeBuilder().build().bytes; }

void expectShifted(const Rebuilt& base, const Rebuilt& changed, int delta) {
  ASSERT_EQ(base.resources.size(), changed.resources.size());
  bool after = false;
  for (std::size_t i = 0; i < base.resources.size(); ++i) {
    const auto& a = base.resources[i];
    const auto& c = changed.resources[i];
    EXPECT_EQ(c.dataRva, a.dataRva + static_cast<std::uint32_t>(after ? delta : 0)) << "resource " << i;
    if (a.type == ResId(u"TEXTFILE") && a.name == ResId(u"BLUE_INI")) {
      EXPECT_EQ(static_cast<int>(c.data.size()), static_cast<int>(a.data.size()) + delta);
      after = true;
    } else {
      EXPECT_EQ(c.data, a.data) << "resource " << i;
    }
  }
  EXPECT_TRUE(after);
  const Headers h = headersOf(base.bytes);
  EXPECT_EQ(static_cast<int>(field(changed.bytes, h.firstSection, sec::kVirtualSize)),
            static_cast<int>(field(base.bytes, h.firstSection, sec::kVirtualSize)) + delta);
}

TEST(RebuildLayout, GrowthAndShrinkMoveEveryLaterBlock) {
  const Bytes theme = growthTheme();
  const Rebuilt base = rebuildBytes(theme);
  const Rebuilt grown = rebuildBytes(theme, [](theme::FontPages& p) {
    p.setCell(0, 0, theme::kColSize, "12");
    p.setCell(0, 0, theme::kColOption, "Italic");
  });
  expectShifted(base, grown, 6);
  const Rebuilt shrunk = rebuildBytes(theme, [](theme::FontPages& p) { p.setCell(0, 0, theme::kColOption, ""); });
  expectShifted(base, shrunk, -12);
}

TEST(RebuildLayout, BlocksArePackedWithoutGapsEvenAtOddOffsets) {
  BuildOptions aligned;
  aligned.dataAlignment = 16;
  ThemeBuilder b = oneSizeTheme(aligned);
  b.add(10, 1, Bytes{1, 2, 3});
  b.add(10, 2, Bytes{4, 5, 6, 7, 8});
  b.add(10, 3, Bytes{9});
  b.add(2, u"ODD_BMP", Bytes{'B', 'M', 0});
  const Bytes theme = b.build().bytes;
  const Rebuilt r = rebuildBytes(theme);
  const auto before = listResources(theme);
  ASSERT_EQ(r.resources.size(), before.size());
  bool sawOdd = false;
  for (std::size_t i = 0; i + 1 < r.resources.size(); ++i) {
    EXPECT_EQ(r.resources[i + 1].dataRva, r.resources[i].dataRva + r.resources[i].data.size()) << i;
    sawOdd = sawOdd || (r.resources[i + 1].dataRva % 2 == 1);
  }
  EXPECT_TRUE(sawOdd);
  for (std::size_t i = 0; i < r.resources.size(); ++i) EXPECT_EQ(r.resources[i].data, before[i].data) << i;
}

// A run of pictures of 256 KiB or more keeps its place within a page whatever the text
// before it grows by (the kernel then copies it page by page); shorter blocks stay packed.
// rebuildBytes also checks that a theme loaded from memory is laid out as one streamed.
TEST(RebuildLayout, LongUnchangedRunsKeepTheirPlaceWithinAPage) {
  ThemeBuilder b = growthThemeBuilder();
  Bytes picture(300 * 1024);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(i * 7);
  b.add(2, u"ZZ_BMP", picture);
  const Bytes theme = b.build().bytes;
  const auto pictureOf = [](const std::vector<ListedResource>& list) {
    for (const ListedResource& r : list) {
      if (r.name == ResId(u"ZZ_BMP")) return r;
    }
    ADD_FAILURE() << "no ZZ_BMP";
    return ListedResource{};
  };
  const ListedResource before = pictureOf(listResources(theme));
  for (const char* size : {"9", "12", "123456"}) {
    const Rebuilt r = rebuildBytes(theme, [size](theme::FontPages& p) { p.setCell(0, 0, theme::kColSize, size); });
    const ListedResource after = pictureOf(r.resources);
    EXPECT_EQ(after.data, picture) << size;
    EXPECT_EQ(after.dataRva % 0x1000, before.dataRva % 0x1000) << size;
    for (std::size_t i = 0; i + 1 < r.resources.size(); ++i) {  // the small blocks before it: packed
      if (r.resources[i + 1].name == ResId(u"ZZ_BMP")) continue;
      EXPECT_EQ(r.resources[i + 1].dataRva, r.resources[i].dataRva + r.resources[i].data.size()) << size << " " << i;
    }
  }
}

TEST(RebuildLayout, AnImageEndingPast4GiBIsRefused) {
  BuildOptions o;
  o.sectionRva = 0xFFFFF000;  // the section fits; aligned up, the image size does not
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(sampleTheme(o), pages);
  EXPECT_THROW((void)theme::rebuildTheme(image, pages, cp932()), theme::WriteError);
}

TEST(RebuildLayout, EveryLanguageIsKeptAndOnlyTheChosenRegenerated) {
  ThemeBuilder b = oneSizeTheme();
  b.add(u"TEXTFILE", u"BLUE_INI", utf16le(u"Font=a,1\r\n"), 0x401);
  b.add(u"TEXTFILE", u"BLUE_INI", utf16le(u"Font=b,2\r\n"), 0x409);
  b.add(u"TEXTFILE", u"BLUE_INI", utf16le(u"Font=c,3\r\n"), 0x411);
  b.add(6, 188, stringBlock({{8, u"first"}, {1, u"BLUE@[S]Font=x,1"}}), 0x401, 1256);
  b.add(6, 188, stringBlock({{8, u"second"}, {1, u"BLUE@[S]Font=y,1"}}), 0x409, 1252);
  b.resourceHeader(6, 188, {0, 0x12345678, 1, 2});
  const Bytes theme = b.build().bytes;
  const Rebuilt r = rebuildBytes(theme, [](theme::FontPages& p) { p.sizeNameBoxes[0].text = "Big"; });
  const auto before = listResources(theme);
  ASSERT_EQ(r.resources.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(r.resources[i].type, before[i].type);
    EXPECT_EQ(r.resources[i].name, before[i].name);
    EXPECT_EQ(r.resources[i].language, before[i].language);
    EXPECT_EQ(r.resources[i].codePage, before[i].codePage);
  }
  const auto dataOf = [](const Rebuilt& rebuilt, const ResId& type, const ResId& lang) {
    for (const auto& x : rebuilt.resources)
      if (x.type == type && x.language == lang) return x.data;
    throw std::out_of_range("missing resource");
  };
  EXPECT_EQ(dataOf(r, u"TEXTFILE", 0x401), utf16le(u"Font = a, 1\r\n"));
  EXPECT_EQ(dataOf(r, u"TEXTFILE", 0x409), utf16le(u"Font=b,2\r\n"));
  EXPECT_EQ(dataOf(r, u"TEXTFILE", 0x411), utf16le(u"Font=c,3\r\n"));
  EXPECT_EQ(dataOf(r, 6, 0x401), stringBlock({{8, u"Big"}, {1, u"BLUE@[S]Font=x, 1"}}));
  EXPECT_EQ(dataOf(r, 6, 0x409), stringBlock({{8, u"second"}, {1, u"BLUE@[S]Font=y,1"}}));

  const Rebuilt english = rebuildBytes(theme, [](theme::FontPages& p) { p.sizeNameBoxes[0].text = "Big"; }, 0x0809);
  EXPECT_EQ(dataOf(english, u"TEXTFILE", 0x401), utf16le(u"Font=a,1\r\n"));
  EXPECT_EQ(dataOf(english, u"TEXTFILE", 0x409), utf16le(u"Font = b, 2\r\n"));
  EXPECT_EQ(dataOf(english, 6, 0x401), stringBlock({{8, u"first"}, {1, u"BLUE@[S]Font=x,1"}}));
  EXPECT_EQ(dataOf(english, 6, 0x409), stringBlock({{8, u"Big"}, {1, u"BLUE@[S]Font=y, 1"}}));
}

TEST(RebuildLayout, DirectoryHeadersAreKept) {
  BuildOptions o;
  ThemeBuilder b = oneSizeTheme(o);
  b.add(u"TEXTFILE", u"BLUE_INI", utf16le(u"Font=a,1\r\n"));
  b.add(u"TEXTFILE", u"BLUE_INI", utf16le(u"Font=b,2\r\n"), 0x409);
  b.rootHeader({1, 2, 3, 4});
  b.typeHeader(u"TEXTFILE", {5, 6, 7, 8});
  b.resourceHeader(u"TEXTFILE", u"BLUE_INI", {9, 10, 11, 12});
  const BuiltImage built = b.build();
  const Bytes out = rebuildBytes(built.bytes).bytes;
  // Find the same directories in the rebuilt file by walking it.
  const Headers h = headersOf(out);
  const std::uint32_t root = field(out, h.firstSection, sec::kPointerToRawData);
  auto header = [](const Bytes& bytes, std::uint32_t at) { return Bytes(bytes.begin() + at, bytes.begin() + at + 16); };
  EXPECT_EQ(header(out, root), header(built.bytes, built.rootOffset));
  const auto& type = built.type(u"TEXTFILE");
  const std::size_t typeIndex = static_cast<std::size_t>(&type - built.types.data());
  const std::uint32_t nameDir = root + (getU32(out, root + 16 + 8 * static_cast<std::uint32_t>(typeIndex) + 4) & 0x7FFFFFFFU);
  EXPECT_EQ(header(out, nameDir), header(built.bytes, type.dirOffset));
  const std::uint32_t langDir = root + (getU32(out, nameDir + 16 + 4) & 0x7FFFFFFFU);
  EXPECT_EQ(header(out, langDir), header(built.bytes, type.resources[0].dirOffset));
}

// A section before the resources, one after them, bytes appended and a signature: the
// write used to keep only the resource section.
BuildOptions everyPart(std::uint32_t dataAlignment = 1) {
  BuildOptions o;
  o.leadingCodeSection = true;
  o.relocations = true;
  o.certificate = true;
  o.debugDirectory = true;
  o.sectionRva = 0x2000;
  o.dataAlignment = dataAlignment;
  for (int i = 0; i < 21; ++i) o.appended.push_back(static_cast<std::uint8_t>(0xA0 + i));
  return o;
}

// The raw data of section `index`.
Bytes sectionData(const Bytes& b, const Headers& h, std::uint32_t index) {
  const std::uint32_t at = h.firstSection + 40 * index;
  const std::uint32_t from = field(b, at, sec::kPointerToRawData);
  return {b.begin() + from, b.begin() + from + field(b, at, sec::kSizeOfRawData)};
}

TEST(RebuildLayout, EverySectionAndAppendedByteIsCarriedAndTheSignatureDropped) {
  // Resources aligned to pages shrink by pages when packed: the section after them moves down.
  for (const std::uint32_t alignment : {1U, 0x1000U}) {
    const Bytes theme = sampleTheme(everyPart(alignment));
    theme::FontPages pages;
    const theme::ThemeImage image = loadBytes(theme, pages);
    const theme::RebuiltTheme rebuilt = theme::rebuildTheme(image, pages, cp932());
    EXPECT_TRUE(rebuilt.droppedCertificate());
    const Bytes out = rebuilt.bytes();
    const Headers before = headersOf(theme);
    const Headers h = headersOf(out);
    ASSERT_EQ(h.sectionCount, 3);
    const auto header = [&](std::uint32_t i) { return h.firstSection + 40 * i; };
    EXPECT_EQ(std::string(out.begin() + header(0), out.begin() + header(0) + 5), ".text");
    EXPECT_EQ(field(out, header(0), sec::kVirtualAddress), 0x1000U);
    EXPECT_EQ(field(out, header(1), sec::kVirtualAddress), 0x2000U);
    const std::uint32_t relocRva = alignUp(0x2000 + field(out, header(1), sec::kVirtualSize), 0x1000);
    EXPECT_EQ(field(out, header(2), sec::kVirtualAddress), relocRva) << "the section after the resources follows them";
    for (const std::uint32_t i : {0U, 2U}) EXPECT_EQ(sectionData(out, h, i), sectionData(theme, before, i)) << i;
    for (std::uint32_t i = 0; i < 3; ++i) {
      EXPECT_EQ(field(out, header(i), sec::kPointerToRawData) % 0x200, 0U) << i;
      EXPECT_GE(field(out, header(i), sec::kPointerToRawData), i == 0 ? 0x1000U : field(out, header(i - 1), sec::kPointerToRawData) + field(out, header(i - 1), sec::kSizeOfRawData));
    }
    // Directories follow their sections; the certificate's goes with it.
    EXPECT_EQ(field(out, directory(h, dir::kBaseRelocations), dir::kVirtualAddress), relocRva);
    EXPECT_EQ(field(out, directory(h, dir::kBaseRelocations), dir::kSizeField), 12U);
    EXPECT_EQ(field(out, directory(h, 6), dir::kVirtualAddress), 0x1000U) << "debug directory in .text";
    EXPECT_EQ(field(out, directory(h, 4), dir::kVirtualAddress), 0U) << "certificate table";
    EXPECT_EQ(field(out, directory(h, 4), dir::kSizeField), 0U);
    EXPECT_EQ(field(out, directory(h, dir::kResources), dir::kVirtualAddress), 0x2000U);
    EXPECT_EQ(field(out, h.opt, opt::kSizeOfImage), alignUp(relocRva + 12, 0x1000));
    // Initialized data: the resources and relocations, not the code and not the headers.
    EXPECT_EQ(field(out, h.opt, opt::kSizeOfInitializedData),
              field(out, header(1), sec::kSizeOfRawData) + field(out, header(2), sec::kSizeOfRawData));
    // The appended bytes close the file, the signature after them is gone.
    const std::uint32_t end = field(out, header(2), sec::kPointerToRawData) + field(out, header(2), sec::kSizeOfRawData);
    EXPECT_EQ(Bytes(out.begin() + end, out.end()), everyPart().appended);
    for (const auto& res : listResources(out)) {
      EXPECT_GE(res.dataRva, 0x2000U);
      EXPECT_LT(res.dataRva, 0x2000U + field(out, header(1), sec::kVirtualSize));
    }
  }
  theme::FontPages pages;
  EXPECT_FALSE(theme::rebuildTheme(loadBytes(sampleTheme(), pages), pages, cp932()).droppedCertificate());
}

// Each is refused as a whole, never written with parts lost or overlapping.
TEST(RebuildLayout, LayoutsTheCarriedPartsCannotTakeAreRefused) {
  const Bytes theme = sampleTheme(everyPart());
  const Headers h = headersOf(theme);
  const std::uint32_t reloc = h.firstSection + 80;
  const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> cases = {
      {"sections out of address order", [&](Bytes& b) { putU32(b, reloc + sec::kVirtualAddress.offset, 0x1800); }},
      {"section overlapping the resources", [&](Bytes& b) { putU32(b, reloc + sec::kVirtualAddress.offset, 0x2800); }},
      {"section data past the end", [&](Bytes& b) { putU32(b, reloc + sec::kSizeOfRawData.offset, 0x100000); }},
  };
  for (const auto& [name, corrupt] : cases) {
    Bytes bad = theme;
    corrupt(bad);
    theme::FontPages pages;
    theme::ThemeImage image;
    try {
      image = loadBytes(bad, pages);
    } catch (const theme::ThemeError&) {
      ADD_FAILURE() << name << ": refused at load";
      continue;
    }
    EXPECT_THROW((void)theme::rebuildTheme(image, pages, cp932()), theme::WriteError) << name;
  }
}

TEST(RebuildLayout, TranslatedSectionsAreWrittenAtFileOffset0x1000WithTheirRva) {
  for (const auto& [rva, offset] : {std::pair<std::uint32_t, std::uint32_t>{0x3000, 0x600}, {0x1000, 0x2000}}) {
    BuildOptions o;
    o.sectionRva = rva;
    o.sectionFileOffset = offset;
    const Bytes theme = sampleTheme(o);
    const Rebuilt r = rebuildBytes(theme);
    const Headers h = headersOf(r.bytes);
    EXPECT_EQ(field(r.bytes, h.firstSection, sec::kVirtualAddress), rva);
    EXPECT_EQ(field(r.bytes, h.firstSection, sec::kPointerToRawData), 0x1000U);
    EXPECT_EQ(field(r.bytes, directory(h, dir::kResources), dir::kVirtualAddress), rva);
    const auto before = listResources(theme);
    ASSERT_EQ(r.resources.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
      if (!(before[i].type == ResId(u"TEXTFILE")) && !(before[i].type == ResId(6))) {
        EXPECT_EQ(r.resources[i].data, before[i].data) << i;
      }
  }
}

// Below the page size an image is mapped as the file lies, so a section's raw data
// must stay at its RVA; the rebuild keeps it there or refuses the layout.
TEST(RebuildLayout, LowSectionAlignmentKeepsRawDataAtItsRva) {
  BuildOptions o;
  o.sectionAlignment = 0x200;
  o.sectionRva = 0x400;
  o.sectionFileOffset = 0x400;
  const Bytes theme = sampleTheme(o);
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(theme, pages);
  Bytes out;
  try {
    out = theme::rebuildTheme(image, pages, cp932()).bytes();
  } catch (const theme::WriteError& e) {
    SUCCEED() << "refused: " << e.what();
    return;
  }
  const Headers h = headersOf(out);
  EXPECT_EQ(field(out, h.firstSection, sec::kPointerToRawData), field(out, h.firstSection, sec::kVirtualAddress))
      << "PointerToRawData differs from VirtualAddress in an image mapped as it lies";
}

TEST(RebuildLayout, Pe32PlusKeepsItsOwnHeaderSizes) {
  BuildOptions o;
  o.pe32Plus = true;
  const Bytes theme = sampleTheme(o);
  const Rebuilt r = rebuildBytes(theme);
  const Headers h = headersOf(r.bytes);
  EXPECT_TRUE(h.plus);
  EXPECT_EQ(field(r.bytes, h.nt, nt::kSizeOfOptionalHeader), 240);
  EXPECT_EQ(h.sectionCount, 1);
  EXPECT_EQ(field(r.bytes, directory(h, dir::kResources), dir::kVirtualAddress), 0x1000U);
  EXPECT_EQ(field(r.bytes, h.firstSection, sec::kPointerToRawData), 0x1000U);
  // The 64-bit image base (8 bytes at 24, where PE32 has its data base and image base) survives the copy.
  EXPECT_EQ(getU32(r.bytes, h.opt + 24), getU32(theme, h.opt + 24));
  EXPECT_EQ(getU32(r.bytes, h.opt + 28), getU32(theme, h.opt + 28));
}

TEST(RebuildLayout, NumericTextFilesAreRegeneratedToo) {
  ThemeBuilder b = oneSizeTheme();
  b.add(u"TEXTFILE", 7, utf16le(u"Font=a,1"));
  const Rebuilt r = rebuildBytes(b.build().bytes);
  bool seen = false;
  for (const auto& x : r.resources)
    if (x.type == ResId(u"TEXTFILE") && x.name == ResId(7)) {
      EXPECT_EQ(x.data, utf16le(u"Font = a, 1\r\n"));
      seen = true;
    }
  EXPECT_TRUE(seen);
}

// Growth far beyond 512 KiB either fits or is refused with WriteError; nothing is
// ever written past a buffer (the sanitizer build watches).
TEST(RebuildLayout, LargeGrowthIsBuiltOrRefusedCleanly) {
  std::u16string text;
  for (int i = 0; i < 120000; ++i) text += u"Font=a,1\r\n";
  ThemeBuilder b = oneSizeTheme();
  b.textFile(u"BLUE_INI", text);
  b.add(10, 1, Bytes{1, 2, 3});
  theme::FontPages pages;
  theme::ThemeImage image = loadBytes(b.build().bytes, pages);
  try {
    const Bytes out = theme::rebuildTheme(image, pages, cp932()).bytes();
    const auto listed = listResources(out);
    ASSERT_FALSE(listed.empty());
    for (const auto& x : listed)
      if (x.type == ResId(u"TEXTFILE")) {
        EXPECT_EQ(x.data.size(), text.size() * 2 + std::size_t{120000} * 6);
      }
    EXPECT_EQ(listed.back().data, (Bytes{1, 2, 3}));
  } catch (const theme::WriteError& e) {
    SUCCEED() << "refused: " << e.what();
  }
}

}  // namespace
}  // namespace marvento_test
