#include "byte_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

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

void ByteReader::copyTo(std::uint64_t offset, std::span<std::uint8_t> out, const char* what) const {
  require(offset, out.size(), what);
  if (out.empty()) return;
  if (file_ != nullptr) {
    file_->readInto(offset, out);
  } else {
    std::memcpy(out.data(), bytes_.subspan(offset, out.size()).data(), out.size());
  }
}

std::u16string ByteReader::units(std::uint64_t offset, std::uint64_t count, const char* what) const {
  if (count > size_ / 2) {
    throw ThemeError(std::string(what) + " lies outside the file");
  }
  require(offset, count * 2, what);
  std::u16string out(count, u'\0');
  const auto decode = [&out](std::span<const std::uint8_t> raw, std::size_t first) {
    if constexpr (std::endian::native == std::endian::little) {
      // The units as they lie, copied at once (an empty span may have no data).
      if (!raw.empty()) std::memcpy(out.data() + first, raw.data(), raw.size() & ~std::size_t{1});
    } else {
      for (std::size_t i = 0; i < raw.size() / 2; ++i) {
        out[first + i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
      }
    }
  };
  constexpr std::size_t kChunkUnits = 32768;
  if (file_ == nullptr || count <= kChunkUnits) {
    decode(bytes(offset, count * 2, what), 0);
    return out;
  }
  // A long text from a file, not kept as a piece: held once, as units, read straight into
  // them where the file's byte order is the machine's (unsigned char may alias them).
  if constexpr (std::endian::native == std::endian::little) {
    file_->readInto(offset, {reinterpret_cast<std::uint8_t*>(out.data()), count * 2});  // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
    return out;
  }
  std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(count, kChunkUnits) * 2);
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min<std::uint64_t>(count - done, kChunkUnits);
    const std::span<std::uint8_t> part(chunk.data(), n * 2);
    file_->readInto(offset + done * 2, part);
    decode(part, done);
    done += n;
  }
  return out;
}

}  // namespace theme
