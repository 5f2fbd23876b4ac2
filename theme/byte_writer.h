#pragma once
// Little-endian stores into the output being built (the write side of ByteReader).
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "pe_format.h"

namespace theme {

inline void appendUtf16(std::vector<std::uint8_t>& out, std::u16string_view units) {
  if constexpr (std::endian::native == std::endian::little) {  // the units' bytes are the file's
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(units.data());  // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
    out.insert(out.end(), bytes, bytes + units.size() * 2);
    return;
  }
  const std::size_t at = out.size();
  out.resize(at + units.size() * 2);
  for (std::size_t i = 0; i < units.size(); ++i) {
    out[at + 2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
    out[at + 2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
  }
}

inline void appendU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// Stores `value` at `at`, least significant byte first; throws std::out_of_range past the end.
template <typename T>
void putLittleEndian(std::span<std::uint8_t> out, std::uint64_t at, T value) {
  if (at > out.size() || sizeof(T) > out.size() - at) throw std::out_of_range("a store past the end of a buffer");
  for (std::size_t i = 0; i < sizeof(T); ++i) out[at + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

// A named field of the structure that starts at `base`.
template <typename T, std::uint32_t Offset>
void put(std::span<std::uint8_t> out, std::uint64_t base, pe::Field<T, Offset> /*field*/, T value) {
  putLittleEndian<T>(out, base + Offset, value);
}

}  // namespace theme
