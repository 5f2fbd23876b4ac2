#pragma once
// The safe replacement of a target file: a temporary file beside it, flushed to disk,
// then renamed into its place.
#include <cstdint>
#include <span>
#include <string>

namespace theme {

class RebuiltTheme;

// Writes the pieces, one after the other, to a temporary file beside `target`, flushes it
// to disk and only then puts it in the target's place. On any failure the target is
// left as it was and WriteError is thrown.
void writeFileAtomically(const std::string& target, std::span<const std::span<const std::uint8_t>> pieces);
void writeFileAtomically(const std::string& target, const RebuiltTheme& file);
void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes);

}  // namespace theme
