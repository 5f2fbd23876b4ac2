#pragma once
// A theme INI text regenerated from the font rows.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace theme {

class FontPages;
class PageRouter;

// Every listed font entry (listedIniEntry) in canonical form with its own row's values,
// or its own when no row matches; every other line unchanged, and everything from the
// text's first U+0000 on copied as it is.
void rewriteIniText(std::span<const std::uint8_t> old, std::u16string_view resourceName, const PageRouter& router,
                    const FontPages& pages, std::vector<std::uint8_t>& out);
// The same from the text already decoded (decodeIniText of the data) and `rest`, the
// data's bytes from the text's end on (its first U+0000 unit, a final odd byte).
void rewriteIniText(std::u16string_view text, std::span<const std::uint8_t> rest, std::u16string_view resourceName,
                    const PageRouter& router, const FontPages& pages, std::vector<std::uint8_t>& out);

}  // namespace theme
