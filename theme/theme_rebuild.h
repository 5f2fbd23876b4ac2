#pragma once
// The Write command without its dialog: a new theme file built from the loaded image
// and the font pages, as pieces that the safe write (safe_write.h) puts in place.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "font_pages.h"
#include "piece.h"
#include "positioned_file.h"

namespace theme {

class CodePage;
struct ThemeImage;

// What a rebuild kept for an emptied size-name or style-name box: the name the file has
// (when it has one), by string id (FontPages::nameBox finds the box). The caller shows it again if it likes.
using KeptNames = std::vector<std::pair<std::uint32_t, EditableText>>;

// A rebuilt theme file as the pieces it is written from, in file order: the new headers
// and resource directory, the regenerated texts and tables, and what is copied unchanged
// (the other resources, the other sections, the bytes after the last section): slices of the loaded image when the whole file was read, else ranges of the
// loaded file, read from it only when written. The image must outlive it.
class RebuiltTheme {
 public:
  RebuiltTheme() = default;
  RebuiltTheme(RebuiltTheme&&) = default;
  RebuiltTheme& operator=(RebuiltTheme&&) = default;
  RebuiltTheme(const RebuiltTheme&) = delete;  // the pieces point into its own buffers
  RebuiltTheme& operator=(const RebuiltTheme&) = delete;
  ~RebuiltTheme() = default;

  [[nodiscard]] const std::vector<Piece>& pieces() const { return pieces_; }
  [[nodiscard]] std::uint64_t size() const;
  // The whole file in one block.
  [[nodiscard]] std::vector<std::uint8_t> bytes() const;
  // The file the ranges are read from (nullptr when every piece is in memory), and how it
  // was when loaded.
  [[nodiscard]] const PositionedFile* source() const { return source_; }
  [[nodiscard]] const KeptNames& keptNames() const { return kept_; }
  // Whether the loaded file's certificate table (its signature) was left out: it cannot
  // match a file whose bytes changed. The front end says so.
  [[nodiscard]] bool droppedCertificate() const { return droppedCertificate_; }

 private:
  friend RebuiltTheme rebuildTheme(const ThemeImage& image, const FontPages& pages, const CodePage& cp);
  KeptNames kept_;
  bool droppedCertificate_ = false;
  std::vector<std::uint8_t> head_;                    // the headers
  std::vector<std::uint8_t> directory_;               // the resource directory and names
  std::vector<std::uint8_t> generated_;               // regenerated texts and tables, one after the other
  std::vector<Piece> pieces_;
  const PositionedFile* source_ = nullptr;
};

// Regenerates every TEXTFILE and STRING resource from the rows, copies every other
// resource and lays the resource section out anew. Every other section and the bytes
// after the last one are carried over (the sections after the resources move with their
// end, and so do the data directories into them); a certificate table is dropped. The pages are only read; an emptied
// size-name or style-name box keeps the file's name, listed in keptNames().
// Throws WriteError when the file cannot be rebuilt.
RebuiltTheme rebuildTheme(const ThemeImage& image, const FontPages& pages, const CodePage& cp);

// Writes a rebuilt theme with writeFileAtomically (safe_write.h), its unchanged data read
// from the file it was loaded from, or from `source`; a theme file changed since it was
// loaded is refused.
void writeFileAtomically(const std::string& target, const RebuiltTheme& file);
void writeFileAtomically(const std::string& target, const RebuiltTheme& file, const DataSource& source);

}  // namespace theme
