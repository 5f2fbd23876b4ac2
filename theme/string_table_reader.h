#pragma once
// The font rows, size names and style name of a string-table block.
#include <cstdint>
#include <functional>
#include <span>

namespace theme {

class FontPages;
class PageList;
class PageRouter;
struct ListedSetting;
struct ListedStringEntry;

// A listed entry as a walk hands it out; its views view `e` and `pages`.
ListedSetting listedSetting(const ListedStringEntry& e, const PageList& pages);

// Calls entry(listed entry, its pages) for the listed font entries of a string-table block
// whose first string has id `firstId`, routed; fills the size-name boxes (ids 3000..3004)
// and the style-name box (5000) of `pages`.
void readStringTableBlock(std::span<const std::uint8_t> data, std::uint32_t firstId, const PageRouter& router,
                          FontPages& pages, const std::function<void(ListedStringEntry&&, const PageList&)>& entry);

// The same, appending a row for each entry to `pages`.
void readStringTableBlock(std::span<const std::uint8_t> data, std::uint32_t firstId, const PageRouter& router,
                          FontPages& pages);

}  // namespace theme
