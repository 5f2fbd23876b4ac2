#pragma once
// The readers that turn resource data into font rows, one per resource kind.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace theme {

class FontPages;
class PageRouter;

// A run of NUL-terminated UTF-16 names, ending at an empty name or the end of the data.
std::vector<std::u16string> readNameList(std::span<const std::uint8_t> data);

// Appends a row for every listed font entry of an INI text to the page(s) it belongs to.
void readIniFontEntries(std::span<const std::uint8_t> data, std::u16string_view resourceName,
                        const PageRouter& router, FontPages& pages);

// Appends rows for the listed font entries of a string-table block whose first string has id
// `firstId`; fills the size-name boxes (ids 3000..3004) and the style-name box (5000).
void readStringTableBlock(std::span<const std::uint8_t> data, std::uint32_t firstId, const PageRouter& router,
                          FontPages& pages);

}  // namespace theme
