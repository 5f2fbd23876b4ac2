#pragma once
// The safe replacement of a target file: a temporary file beside it, flushed to disk,
// then renamed into its place. It knows pieces and the file they are read from, nothing
// of what they make up. The steps every system shares are in safe_write.cpp, each
// system's copy in safe_write_posix.cpp or safe_write_windows.cpp; removing the
// temporary file of an interrupted write is asked for apart (signal_cleanup.h).
#include <cstdint>
#include <span>
#include <string>

#include "piece.h"
#include "positioned_file.h"

namespace theme {

// Writes the pieces, one after the other, to a temporary file beside `target`, flushes it
// to disk and only then puts it in the target's place. Pieces of the source are read from
// `source`, which must still have the stamp `expected` once they are copied: a theme file
// changed while it is written is refused. On any failure the target is left as it was and
// WriteError is thrown.
void writeFileAtomically(const std::string& target, std::span<const Piece> pieces, const DataSource* source = nullptr,
                         const FileStamp& expected = {});
void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes);

// The source must be as it was loaded (`expected`) once its data is copied: a file changed
// in between would give a new file made of two different ones. Throws WriteError naming
// `target`; a null source is always as it was.
void checkUnchanged(const std::string& target, const DataSource* source, const FileStamp& expected);

}  // namespace theme
