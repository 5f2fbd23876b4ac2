#include "byte_reader.h"

#include "errors.h"

namespace theme {

void ByteReader::require(std::uint64_t offset, std::uint64_t length, const char* what) const {
  if (!contains(offset, length)) {
    throw ThemeError(std::string(what) + " lies outside the file");
  }
}

std::uint16_t ByteReader::u16(std::uint64_t offset, const char* what) const {
  require(offset, 2, what);
  return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

std::uint32_t ByteReader::u32(std::uint64_t offset, const char* what) const {
  require(offset, 4, what);
  return static_cast<std::uint32_t>(bytes_[offset]) | (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
}

std::span<const std::uint8_t> ByteReader::bytes(std::uint64_t offset, std::uint64_t length,
                                                const char* what) const {
  require(offset, length, what);
  return bytes_.subspan(offset, length);
}

std::u16string ByteReader::units(std::uint64_t offset, std::uint64_t count, const char* what) const {
  if (count > bytes_.size() / 2) {
    throw ThemeError(std::string(what) + " lies outside the file");
  }
  const auto raw = bytes(offset, count * 2, what);
  std::u16string out(count, u'\0');
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
  }
  return out;
}

}  // namespace theme
