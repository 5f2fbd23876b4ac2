#pragma once
// The font rows of a theme INI text.
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace theme {

class FontPages;
class PageRouter;
struct ListedSetting;

// Calls visit(setting) for every listed font entry of `text`, an INI text named `resourceName`
// whose file cell is `fileCell`. The fields view `text`, `resourceName` and `fileCell`.
void forEachIniSetting(std::u16string_view text, std::u16string_view resourceName, std::string_view fileCell,
                       const PageRouter& router, const std::function<void(const ListedSetting&)>& visit);

// Appends a row for every listed font entry of an INI text to the page(s) it belongs to.
void readIniFontEntries(std::span<const std::uint8_t> data, std::u16string_view resourceName,
                        const PageRouter& router, FontPages& pages);

}  // namespace theme
