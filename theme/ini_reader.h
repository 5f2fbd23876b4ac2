#pragma once
// The font rows of a theme INI text.
#include <cstdint>
#include <span>
#include <string_view>

namespace theme {

class FontPages;
class PageRouter;

// Appends a row for every listed font entry of an INI text to the page(s) it belongs to.
void readIniFontEntries(std::span<const std::uint8_t> data, std::u16string_view resourceName,
                        const PageRouter& router, FontPages& pages);

}  // namespace theme
