#pragma once
// Little-endian stores into the output being built (the write side of ByteReader).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace theme {

inline void appendUtf16(std::vector<std::uint8_t>& out, std::u16string_view units) {
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

inline void putU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
}

inline void putU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out.at(at + 3) = static_cast<std::uint8_t>(v >> 24);
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  out[at + 2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
}

}  // namespace theme
