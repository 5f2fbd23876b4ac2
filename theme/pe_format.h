#pragma once
// The PE/COFF structures a theme image is made of, as named little-endian fields at
// their offsets from the start of their structure. The image reader and the rebuild
// read and write headers only through these names, and so do the rebuild's tests.
#include <cstdint>

namespace theme::pe {

template <typename T, std::uint32_t Offset>
struct Field {
  using Type = T;
  static constexpr std::uint32_t kOffset = Offset;
  static constexpr std::uint32_t kEnd = Offset + sizeof(T);
};

// At the start of the file; the DOS stub follows it up to the NT headers.
namespace dos_header {
inline constexpr std::uint32_t kSize = 64;
inline constexpr std::uint16_t kMagicValue = 0x5A4D;  // "MZ"
inline constexpr Field<std::uint16_t, 0x00> kMagic{};
inline constexpr Field<std::uint32_t, 0x3C> kNtHeadersOffset{};  // e_lfanew
}  // namespace dos_header

// The PE signature and the COFF file header; the optional header follows.
namespace nt_headers {
inline constexpr std::uint32_t kSignatureValue = 0x00004550;  // "PE\0\0"
inline constexpr std::uint32_t kOptionalHeader = 24;
inline constexpr Field<std::uint32_t, 0> kSignature{};
inline constexpr Field<std::uint16_t, 6> kNumberOfSections{};
inline constexpr Field<std::uint32_t, 12> kPointerToSymbolTable{};
inline constexpr Field<std::uint32_t, 16> kNumberOfSymbols{};
inline constexpr Field<std::uint16_t, 20> kSizeOfOptionalHeader{};
}  // namespace nt_headers

// PE32 and PE32+ agree on these fields; they differ from the image base on.
namespace optional_header {
inline constexpr std::uint16_t kPe32Magic = 0x10B;
inline constexpr std::uint16_t kPe32PlusMagic = 0x20B;
inline constexpr Field<std::uint16_t, 0> kMagic{};
inline constexpr Field<std::uint32_t, 8> kSizeOfInitializedData{};
inline constexpr Field<std::uint32_t, 16> kAddressOfEntryPoint{};
inline constexpr Field<std::uint32_t, 32> kSectionAlignment{};
inline constexpr Field<std::uint32_t, 36> kFileAlignment{};
inline constexpr Field<std::uint32_t, 56> kSizeOfImage{};
inline constexpr Field<std::uint32_t, 60> kSizeOfHeaders{};
// NumberOfRvaAndSizes, then the data directories.
constexpr std::uint32_t numberOfRvaAndSizes(bool pe32Plus) { return pe32Plus ? 108 : 92; }
constexpr std::uint32_t dataDirectories(bool pe32Plus) { return pe32Plus ? 112 : 96; }
}  // namespace optional_header

namespace data_directory {
inline constexpr std::uint32_t kSize = 8;
inline constexpr std::uint32_t kResources = 2;
inline constexpr std::uint32_t kSecurity = 4;  // the certificate table, by file offset
inline constexpr std::uint32_t kBaseRelocations = 5;
inline constexpr std::uint32_t kKnown = 16;  // entries with a meaning
inline constexpr Field<std::uint32_t, 0> kVirtualAddress{};
inline constexpr Field<std::uint32_t, 4> kSizeField{};
}  // namespace data_directory

namespace section_header {
inline constexpr std::uint32_t kSize = 40;
inline constexpr std::uint32_t kNameSize = 8;  // the name comes first
inline constexpr std::uint32_t kInitializedData = 0x40;  // IMAGE_SCN_CNT_INITIALIZED_DATA
inline constexpr Field<std::uint32_t, 8> kVirtualSize{};
inline constexpr Field<std::uint32_t, 12> kVirtualAddress{};
inline constexpr Field<std::uint32_t, 16> kSizeOfRawData{};
inline constexpr Field<std::uint32_t, 20> kPointerToRawData{};
inline constexpr Field<std::uint32_t, 24> kPointerToRelocations{};
inline constexpr Field<std::uint32_t, 28> kPointerToLinenumbers{};
inline constexpr Field<std::uint16_t, 32> kNumberOfRelocations{};
inline constexpr Field<std::uint16_t, 34> kNumberOfLinenumbers{};
inline constexpr Field<std::uint32_t, 36> kCharacteristics{};
}  // namespace section_header

// A directory of the resource tree: a header, then its entries.
namespace resource_directory {
inline constexpr std::uint32_t kSize = 16;
inline constexpr Field<std::uint16_t, 12> kNumberOfNamedEntries{};
inline constexpr Field<std::uint16_t, 14> kNumberOfIdEntries{};
}  // namespace resource_directory

namespace resource_entry {
inline constexpr std::uint32_t kSize = 8;
// In Name: the rest is the offset of a counted name; in OffsetToData: of a subdirectory.
inline constexpr std::uint32_t kHighBit = 0x80000000;
inline constexpr Field<std::uint32_t, 0> kName{};
inline constexpr Field<std::uint32_t, 4> kOffsetToData{};
}  // namespace resource_entry

namespace resource_data_entry {
inline constexpr std::uint32_t kSize = 16;
inline constexpr Field<std::uint32_t, 0> kOffsetToData{};  // an RVA
inline constexpr Field<std::uint32_t, 4> kSizeField{};
inline constexpr Field<std::uint32_t, 8> kCodePage{};
inline constexpr Field<std::uint32_t, 12> kReserved{};
}  // namespace resource_data_entry

}  // namespace theme::pe
