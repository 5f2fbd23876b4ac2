#pragma once
// The font-page model: up to five pages, one per size of the loaded theme, each an
// ordered list of font rows, plus the name lists that decide which page a setting
// belongs to and the size-name and style-name box texts.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace theme {

class CodePage;

inline constexpr int kMaxPages = 5;
inline constexpr int kMaxColours = 10;
inline constexpr std::size_t kMaxCellBytes = 63;   // ANSI bytes of one cell or box text
inline constexpr std::size_t kMaxFieldUnits = 63;  // UTF-16 units of one field
inline constexpr std::size_t kMaxLineUnits = 511;  // UTF-16 units of one line or string

enum Column : int { kColFile = 0, kColSection, kColKey, kColFont, kColSize, kColOption, kColumnCount };

// A value the user may edit. It remembers the UTF-16 text it was read from, so that a
// value left as it was is written back exactly, not through the lossy code page.
struct EditableText {
  std::string text;          // ANSI, as shown and edited
  std::u16string original;   // as read from the file
  std::string originalText;  // `text` as first shown
  // A value taken over as UTF-16 (fonts from another theme), and the text it shows as:
  // written as it came for as long as the cell shows it.
  std::optional<std::u16string> carried;
  std::string carriedText;

  static EditableText fromFile(std::u16string_view wide, const CodePage& cp);  // cut to a cell
  static EditableText loaded(std::u16string_view wide, std::string ansi);      // ansi already converted
  [[nodiscard]] bool edited() const { return text != originalText; }
  // What a writer puts back: a carried value while shown, the original when unedited,
  // else the edited text converted.
  [[nodiscard]] std::u16string toWrite(const CodePage& cp) const;
};

// The ANSI form of a name as a cell or tab shows it: cut to 63 bytes on a character boundary.
std::string cutToCell(std::u16string_view wide, const CodePage& cp);
// An ANSI text (a control's, a face name) cut the same way.
std::string cutToCell(std::string_view ansi, const CodePage& cp);

// The ANSI form of a field as a cell shows it, or nullopt when it does not fit in a cell
// (such settings are not listed and are written back unchanged).
std::optional<std::string> cellText(std::u16string_view wide, const CodePage& cp);
// The same into `ansi`, which keeps its room: false when the field does not fit a cell.
bool cellText(std::u16string_view wide, const CodePage& cp, std::string& ansi);
// Whether cellText() gives a cell, without making it (only a text that is not ASCII goes
// through the code page, to be measured).
bool fitsCell(std::u16string_view wide, const CodePage& cp);

// Columns 0..2 in the UTF-16 they were read from, joined: what finds a row again when
// the file is written. Texts that differ only where the code page cannot show them
// ("Font\u0639" and "Font\u0627" are both "Font?") stay apart.
std::u16string rowIdentity(std::u16string_view file, std::u16string_view section, std::u16string_view key);

// rowIdentity() taken apart again; the parts view `identity`.
struct IdentityParts {
  std::u16string_view file, section, key;
};
IdentityParts identityParts(std::u16string_view identity);

// A listed setting as a walk over a theme's texts and tables meets it (font_page_reader.h):
// the pages it is listed on, its fields as the file holds them and the cells they show in the
// code page. The views are valid during the call that hands it out, or as long as whatever
// the walk reads from says.
struct ListedSetting {
  const std::uint8_t* pagesBegin = nullptr;  // the PageList of its routing
  const std::uint8_t* pagesEnd = nullptr;
  std::u16string_view file, section, key, font, size, option;
  std::array<std::string_view, kColumnCount> cells;  // ANSI, as the columns show them

  [[nodiscard]] const std::uint8_t* begin() const { return pagesBegin; }
  [[nodiscard]] const std::uint8_t* end() const { return pagesEnd; }
};

struct FontRow {
  std::string file;     // column 0: resource name, or the file part of a string-table entry
  std::string section;  // column 1
  std::string key;      // column 2
  EditableText font;    // column 3
  EditableText size;    // column 4
  EditableText option;  // column 5
  std::u16string identity;  // rowIdentity() of columns 0..2 as read
  std::size_t occurrence = 0;  // the n-th listed setting with this identity (PageRouter::nextOccurrence)

  [[nodiscard]] const std::string& cell(int column) const;
  [[nodiscard]] EditableText& value(int column);  // columns 3..5
  [[nodiscard]] const EditableText& value(int column) const;
};

class FontPages {
 public:
  FontPages();

  // Empties every page, the size names, the boxes, the file-name table and both counts,
  // as a load does before it reads a file.
  void clear();

  int pageCount = 3;  // number of SIZENAMES entries; 3 before the first load
  int colourCount = 0;
  std::array<std::u16string, kMaxPages> sizeNames;
  std::array<std::array<std::u16string, kMaxColours>, kMaxPages> fileNames;  // [page][colour]
  std::array<EditableText, kMaxPages> sizeNameBoxes;
  EditableText styleNameBox;

  // The box a string id feeds: 3000..3004 the size-name boxes, 5000 the style-name box.
  EditableText* nameBox(std::uint32_t stringId);
  [[nodiscard]] const EditableText* nameBox(std::uint32_t stringId) const;

  // A deque: appending never moves the rows already read, however many there are.
  [[nodiscard]] const std::deque<FontRow>& rows(int page) const { return pages_.at(page).rows; }
  [[nodiscard]] std::size_t rowCount(int page) const { return rows(page).size(); }
  std::size_t appendRow(int page, FontRow row);  // returns the new row's index
  // A row for `setting` on each of its pages, numbered as the next occurrence of its identity.
  void appendSetting(const ListedSetting& setting);
  // Columns 3..5 only; the identifying columns never change after a row is added.
  void setCell(int page, std::size_t row, int column, std::string text);
  // A value given in UTF-16 (fonts from another theme), shown as `ansi`, written as `wide`.
  void setCellWide(int page, std::size_t row, int column, std::u16string wide, std::string ansi);
  // A value put back whole, as it was before or after an edit (undo and redo).
  void setValue(int page, std::size_t row, int column, EditableText value);
  // Sets the font name of every row of a page (the bulk font-name input).
  void setFontOfPage(int page, const std::string& face);

  // The first row from the top of `page` with this identity and occurrence, or nullptr.
  // Constant cost: an index is kept with the rows.
  [[nodiscard]] const FontRow* findRow(int page, std::u16string_view identity, std::size_t occurrence) const;
  // How many settings with this identity `page` has rows for (occurrences 0 to n - 1): what
  // numbers the next one a reader appends, and whether a writer needs to count them.
  [[nodiscard]] std::size_t occurrencesOn(int page, std::u16string_view identity) const;

 private:
  static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);
  struct Page {
    Page() = default;
    // The index views the rows' identities: a copy indexes its own rows; a move keeps them
    // where they are.
    Page(const Page& other);
    Page& operator=(const Page& other);
    Page(Page&&) noexcept = default;
    Page& operator=(Page&&) noexcept = default;
    ~Page() = default;
    void index(std::size_t row);  // adds rows[row] to the index

    std::deque<FontRow> rows;
    // identity (a view of the first such row's, which never moves) -> that row. Most settings
    // are given once: only those given again get a list of the first row of each occurrence
    // (kNoRow where a page has none).
    std::unordered_map<std::u16string_view, std::size_t> firstRow;
    std::unordered_map<std::u16string_view, std::vector<std::size_t>> occurrenceRows;
  };
  std::array<Page, kMaxPages> pages_;
};

}  // namespace theme
