#pragma once
// The rewriters that regenerate resource data from the font rows; each appends the
// new data to `out`.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace theme {

class CodePage;
class FontPages;

// Every font entry in canonical form with its row's values; every other line unchanged.
void rewriteIniText(std::span<const std::uint8_t> old, const std::string& resourceName, const FontPages& pages,
                    const CodePage& cp, std::vector<std::uint8_t>& out);

// Font entries in canonical form with their rows' values; size-name and style-name
// strings from the boxes when they are not empty (an emptied box is set back to the
// string); every other string unchanged.
void rewriteStringTableBlock(std::span<const std::uint8_t> old, std::uint32_t firstId, FontPages& pages,
                             const CodePage& cp, std::vector<std::uint8_t>& out);

}  // namespace theme
