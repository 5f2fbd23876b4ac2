#pragma once
// The font rows, size names and style name of a string-table block.
#include <cstdint>
#include <span>

namespace theme {

class FontPages;
class PageRouter;

// Appends rows for the listed font entries of a string-table block whose first string has id
// `firstId`; fills the size-name boxes (ids 3000..3004) and the style-name box (5000).
void readStringTableBlock(std::span<const std::uint8_t> data, std::uint32_t firstId, const PageRouter& router,
                          FontPages& pages);

}  // namespace theme
