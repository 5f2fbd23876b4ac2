#pragma once
// A string-table block regenerated from the font rows and the name boxes.
#include <cstdint>
#include <span>
#include <vector>

#include "theme_rebuild.h"

namespace theme {

class FontPages;
class PageRouter;

// Listed font entries (listedStringEntry) in canonical form with their rows' values, or
// their own when no row matches; size-name and style-name
// strings from the boxes when they are not empty (an emptied box keeps the string, added
// to `kept` when given); every other string unchanged.
void rewriteStringTableBlock(std::span<const std::uint8_t> old, std::uint32_t firstId, const PageRouter& router,
                             const FontPages& pages, std::vector<std::uint8_t>& out, KeptNames* kept = nullptr);

}  // namespace theme
