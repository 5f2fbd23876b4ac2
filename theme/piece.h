#pragma once
// A file to write as a list of pieces: bytes in memory, or ranges of a source file that
// are read only as the file is written.
#include <cstdint>
#include <span>
#include <vector>

namespace theme {

class DataSource;

// A run of the file to write: bytes in memory, or `sourceLength` bytes of the source file
// from `sourceOffset`, copied without passing through memory where the system can.
struct Piece {
  std::span<const std::uint8_t> memory;
  std::uint64_t sourceOffset = 0;
  std::uint64_t sourceLength = 0;

  Piece() = default;
  Piece(std::span<const std::uint8_t> bytes) : memory(bytes) {}  // NOLINT(google-explicit-constructor)
  static Piece ofSource(std::uint64_t offset, std::uint64_t length) {
    Piece p;
    p.sourceOffset = offset;
    p.sourceLength = length;
    return p;
  }
  [[nodiscard]] bool inSource() const { return sourceLength != 0; }
  [[nodiscard]] std::uint64_t size() const { return inSource() ? sourceLength : memory.size(); }
};

// The pieces in one block, ranges read from `source`; throws ThemeError when it cannot be
// read, std::logic_error for a range without a source.
std::vector<std::uint8_t> joinPieces(std::span<const Piece> pieces, const DataSource* source);

}  // namespace theme
