#pragma once
// The rewriters that regenerate resource data from the font rows; each appends the
// new data to `out`.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "theme_rebuild.h"

namespace theme {

class FontPages;
class PageRouter;

// Every listed font entry (listedIniEntry) in canonical form with its row's values, or
// its own when no row matches; every other line unchanged.
void rewriteIniText(std::span<const std::uint8_t> old, std::u16string_view resourceName, const PageRouter& router,
                    const FontPages& pages, std::vector<std::uint8_t>& out);

// Listed font entries (listedStringEntry) in canonical form with their rows' values, or
// their own when no row matches; size-name and style-name
// strings from the boxes when they are not empty (an emptied box keeps the string, added
// to `kept` when given); every other string unchanged.
void rewriteStringTableBlock(std::span<const std::uint8_t> old, std::uint32_t firstId, const PageRouter& router,
                             const FontPages& pages, std::vector<std::uint8_t>& out, KeptNames* kept = nullptr);

}  // namespace theme
