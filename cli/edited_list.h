#pragma once
// The edited list of `write --from` and `--fonts-from`: the output of `list --json`, read
// back and checked against the loaded theme row by row.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "messages.h"

namespace theme {
class CodePage;
class FontPages;
}  // namespace theme

namespace cli {

struct JsonValue;
struct ListedAs;

// The most an edited list may have; the list of a large theme is a few hundred KiB.
inline constexpr std::size_t kMaxEditedListBytes = std::size_t{64} << 20;

// Refuses a list of more than kMaxEditedListBytes, before it is read; throws Error (status 1)
// without naming the file.
void checkListSize(std::uint64_t size, Language language);
// `text` as the text of an edited list: a leading UTF-8 byte-order mark dropped; refused
// past kMaxEditedListBytes and as UTF-16. Throws Error (status 1) without naming the file.
std::string listText(std::string text, Language language);
// The file at `path`, or standard input for kStandardInput, as listText() takes it, read
// no further than kMaxEditedListBytes, so that an endless or huge input (a device, a pipe
// that never ends) cannot take all memory.
std::string readEditedList(const std::string& path, Language language);

// An edited value checked against its column's rule (theme::kColFont, kColSize or
// kColOption) and converted to the code page; throws std::invalid_argument saying why.
std::string checkedCell(int column, std::string_view utf8, const theme::CodePage& cp, Language language);

// Applies an edited `list --json` to the loaded pages. Pages are taken by "index", rows by
// position; the file, section and key of every row must be the loaded row's exactly, and a
// listed page must list all its rows. Values equal to the exact text of a cell leave it
// unedited, so that it is written back as it was read. Unknown keys, changed read-only
// members (pageCount, colourCount, sizeName) and missing ones are refused by name; a size
// may be a JSON number. Throws Error (status 1); on error nothing is applied.
void applyEditedList(const JsonValue& edited, theme::FontPages& pages, const theme::CodePage& cp, Language language);

// The language and code page an edited list records, else `fallback`'s. Throws Error for
// a "language" or "codePage" member that is not one.
ListedAs documentListedAs(const JsonValue& edited, ListedAs fallback, Language language);

// The `list --json` of a theme as pages of its own: every listed row with the exact UTF-16
// the document carries, its identity and its occurrence numbered as a load numbers them
// (per page, in listing order). Pages the document does not list are left empty and named in
// `unlisted`. Throws Error (status 1) for a document of another shape.
theme::FontPages pagesOfList(const JsonValue& doc, const theme::CodePage& cp, std::vector<int>& unlisted,
                             Language language);

}  // namespace cli
