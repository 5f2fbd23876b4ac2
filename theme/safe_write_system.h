#pragma once
// Inside the safe write: what its shared steps (safe_write.cpp) and each system's copy
// (safe_write_posix.cpp, safe_write_windows.cpp) hand each other. Not for its callers.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "piece.h"
#include "positioned_file.h"

namespace theme::safe_write_detail {

// What is copied from the source at a time where the system cannot copy file to file.
inline constexpr std::size_t kCopyChunk = std::size_t{1} << 20;
// copyThroughBuffer's result when the source cannot be read.
inline constexpr int kSourceUnreadable = -1;

// The folder a temporary file beside `path` goes into.
std::string folderOf(const std::string& path);

// Reads a range of the source kCopyChunk bytes at a time into `buffer` and hands each
// chunk to `write`, which returns 0 or an error number; returns the first error, or
// kSourceUnreadable.
int copyThroughBuffer(const DataSource& source, std::uint64_t offset, std::uint64_t length,
                      std::vector<std::uint8_t>& buffer, const std::function<int(std::span<const std::uint8_t>)>& write);

// The system's part of writeFileAtomically: refuses a target that is no writable file,
// writes the pieces to a temporary file beside it, flushes it, checks the source with
// checkUnchanged and renames the file into place. Throws WriteError, leaving the
// target as it was and no temporary file.
void replaceWithPieces(const std::string& target, std::span<const Piece> pieces, const DataSource* source,
                       const FileStamp& expected);

}  // namespace theme::safe_write_detail
