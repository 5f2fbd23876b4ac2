#pragma once
// The one way into untrusted file bytes: every read is checked against the end of
// the image and a read past it throws ThemeError naming what was being read.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "pe_format.h"

namespace theme {

class PositionedFile;

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes), size_(bytes.size()) {}
  // Over a file read piece by piece as it is asked for.
  explicit ByteReader(const PositionedFile& file);

  [[nodiscard]] std::uint64_t size() const { return size_; }
  [[nodiscard]] bool contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  // Throws ThemeError("<what> lies outside the file") unless [offset, offset+length) is inside.
  void require(std::uint64_t offset, std::uint64_t length, const char* what) const;

  [[nodiscard]] std::uint16_t u16(std::uint64_t offset, const char* what) const;
  [[nodiscard]] std::uint32_t u32(std::uint64_t offset, const char* what) const;
  [[nodiscard]] std::span<const std::uint8_t> bytes(std::uint64_t offset, std::uint64_t length,
                                                    const char* what) const;
  // A named field of the structure that starts at `base`.
  template <typename T, std::uint32_t Offset>
  [[nodiscard]] T get(std::uint64_t base, pe::Field<T, Offset> /*field*/, const char* what) const {
    if constexpr (sizeof(T) == 2) {
      return u16(base + Offset, what);
    } else {
      return u32(base + Offset, what);
    }
  }
  // Copies [offset, offset + out.size()) into `out`; from a file it is read, not kept.
  void copyTo(std::uint64_t offset, std::span<std::uint8_t> out, const char* what) const;
  // `count` little-endian UTF-16 units starting at `offset`.
  [[nodiscard]] std::u16string units(std::uint64_t offset, std::uint64_t count, const char* what) const;

 private:
  std::span<const std::uint8_t> bytes_;
  const PositionedFile* file_ = nullptr;  // when set, the bytes are read from it
  std::uint64_t size_ = 0;
};

}  // namespace theme
