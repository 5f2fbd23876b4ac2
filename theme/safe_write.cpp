#include "safe_write.h"

#include <algorithm>
#include <stdexcept>

#include "errors.h"
#include "safe_write_system.h"

namespace theme {

namespace safe_write_detail {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  return path.substr(0, slash);
}

int copyThroughBuffer(const DataSource& source, std::uint64_t offset, std::uint64_t length,
                      std::vector<std::uint8_t>& buffer, const std::function<int(std::span<const std::uint8_t>)>& write) {
  // Sized to what is copied, and only grown: a short copy does not clear a whole chunk.
  const auto needed = static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyChunk));
  if (buffer.size() < needed) buffer.resize(needed);
  while (length > 0) {
    const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyChunk));
    try {
      source.readInto(offset, std::span(buffer).first(chunk));
    } catch (const ThemeError&) {
      return kSourceUnreadable;
    }
    if (const int error = write(std::span<const std::uint8_t>(buffer).first(chunk)); error != 0) return error;
    offset += chunk;
    length -= chunk;
  }
  return 0;
}

}  // namespace safe_write_detail

std::vector<std::uint8_t> joinPieces(std::span<const Piece> pieces, const DataSource* source) {
  std::uint64_t total = 0;
  for (const Piece& piece : pieces) total += piece.size();
  std::vector<std::uint8_t> out;
  out.reserve(total);
  for (const Piece& piece : pieces) {
    if (!piece.inSource()) {
      out.insert(out.end(), piece.memory.begin(), piece.memory.end());
      continue;
    }
    if (source == nullptr) throw std::logic_error("a piece of the source file without the file");
    const std::size_t at = out.size();
    out.resize(at + piece.sourceLength);
    source->readInto(piece.sourceOffset, std::span(out).subspan(at));
  }
  return out;
}

void checkUnchanged(const std::string& target, const DataSource* source, const FileStamp& expected) {
  if (source != nullptr && source->stamp() != expected) {
    throw WriteError(target, "the theme file changed while it was being written");
  }
}

void writeFileAtomically(const std::string& target, std::span<const Piece> pieces, const DataSource* source,
                         const FileStamp& expected) {
  safe_write_detail::replaceWithPieces(target, pieces, source, expected);
}

void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes) {
  const Piece one[] = {bytes};
  writeFileAtomically(target, one);
}

}  // namespace theme
