#include "byte_reader.h"

#include <bit>
#include <cstring>

#include "errors.h"
#include "positioned_file.h"

namespace theme {

ByteReader::ByteReader(const PositionedFile& file) : file_(&file), size_(file.size()) {}

void ByteReader::require(std::uint64_t offset, std::uint64_t length, const char* what) const {
  if (!contains(offset, length)) {
    throw ThemeError(std::string(what) + " lies outside the file");
  }
}

std::span<const std::uint8_t> ByteReader::bytes(std::uint64_t offset, std::uint64_t length,
                                                const char* what) const {
  require(offset, length, what);
  if (file_ != nullptr) return file_->read(offset, length);
  return bytes_.subspan(offset, length);
}

std::uint16_t ByteReader::u16(std::uint64_t offset, const char* what) const {
  const auto b = bytes(offset, 2, what);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t ByteReader::u32(std::uint64_t offset, const char* what) const {
  const auto b = bytes(offset, 4, what);
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::u16string ByteReader::units(std::uint64_t offset, std::uint64_t count, const char* what) const {
  if (count > size_ / 2) {
    throw ThemeError(std::string(what) + " lies outside the file");
  }
  const auto raw = bytes(offset, count * 2, what);
  std::u16string out(count, u'\0');
  if constexpr (std::endian::native == std::endian::little) {
    // The units as they lie: whole texts are copied at once (an empty span may have no data).
    if (!raw.empty()) std::memcpy(out.data(), raw.data(), raw.size());
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      out[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
    }
  }
  return out;
}

}  // namespace theme
