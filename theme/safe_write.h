#pragma once
// The safe replacement of a target file: a temporary file beside it, flushed to disk,
// then renamed into its place.
#include <cstdint>
#include <span>
#include <string>

#include "positioned_file.h"

namespace theme {

class RebuiltTheme;

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

// Writes the pieces, one after the other, to a temporary file beside `target`, flushes it
// to disk and only then puts it in the target's place. Pieces of the source are read from
// `source`, which must still have the stamp `expected` once they are copied: a theme file
// changed while it is written is refused. On any failure the target is left as it was and
// WriteError is thrown.
void writeFileAtomically(const std::string& target, std::span<const Piece> pieces, const DataSource* source = nullptr,
                         const FileStamp& expected = {});
// A rebuilt theme, its unchanged data read from the file it was loaded from, or from `source`.
void writeFileAtomically(const std::string& target, const RebuiltTheme& file);
void writeFileAtomically(const std::string& target, const RebuiltTheme& file, const DataSource& source);
void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes);

// Asks that an interrupted write leave no temporary file: installs, once for the process,
// the handlers that remove it when the process is told to end (SIGINT, SIGTERM and SIGHUP
// on POSIX, handed on to what was there before; Ctrl+C, Ctrl+Break and closing the
// console on Windows). Process-wide, so the program decides, as a tool calls LLVM's
// sys::RemoveFileOnSignal: the core never installs them by itself.
void removeFileOnSignal();

}  // namespace theme
