#pragma once
// The Write command without its dialog: a new theme file built from the loaded image
// and the font pages, and the safe replacement of the target file.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace theme {

class CodePage;
class FontPages;
struct ThemeImage;

// Regenerates every TEXTFILE and STRING resource from the rows, copies every other
// resource and lays the resource section out anew. The pages are only read, except
// that an emptied size-name or style-name box is set back to the name the file keeps.
// Throws WriteError when the file cannot be rebuilt.
std::vector<std::uint8_t> rebuildTheme(const ThemeImage& image, FontPages& pages, const CodePage& cp);

// Writes `bytes` to a temporary file beside `target`, flushes it to disk and only then
// puts it in the target's place. On any failure the target is left as it was and
// WriteError is thrown.
void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes);

}  // namespace theme
