#pragma once
// A string-table block regenerated from the font rows and the name boxes.
#include <cstdint>
#include <span>
#include <vector>

namespace theme {

class FontPages;
class PageRouter;

// Listed font entries (listedStringEntry) in canonical form with their rows' values, or
// their own when no row matches; size-name and style-name
// strings from the boxes when they are not empty (an emptied box is set back to the
// string); every other string unchanged.
void rewriteStringTableBlock(std::span<const std::uint8_t> old, std::uint32_t firstId, const PageRouter& router,
                             FontPages& pages, std::vector<std::uint8_t>& out);

}  // namespace theme
