#pragma once
// Conversion between the UTF-16 of theme data and the ANSI code page of rows and
// controls. On Windows this is WideCharToMultiByte/MultiByteToWideChar (code page 0
// means the system's ANSI code page); elsewhere iconv, code page 932 unless told.
// Characters the code page cannot hold become its default character, as on Windows.
// ASCII text is passed through without a conversion in the code pages that hold it as it
// is (the ANSI code pages, UTF-8); elsewhere iconv's converters are only opened for the
// first text that needs them.
#include <memory>
#include <string>
#include <string_view>

#include "ui_language.h"

namespace theme {

class CodePage {
 public:
#ifdef _WIN32
  static constexpr unsigned kDefault = 0;  // CP_ACP
#else
  static constexpr unsigned kDefault = 932;
#endif
  explicit CodePage(unsigned id = kDefault);  // throws std::invalid_argument for an unknown code page
  ~CodePage();
  CodePage(CodePage&&) noexcept;
  CodePage& operator=(CodePage&&) noexcept;
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  [[nodiscard]] unsigned id() const { return id_; }
  [[nodiscard]] std::string toAnsi(std::u16string_view wide) const;
  [[nodiscard]] std::u16string toWide(std::string_view ansi) const;
  // Whether U+0000..U+007F are the same single bytes in this code page (every Windows ANSI
  // code page, UTF-8, ASCII): such texts need no conversion.
  [[nodiscard]] bool keepsAscii() const;
  // toAnsi(wide).size(), without converting a text the code page holds as it is (ASCII).
  [[nodiscard]] std::size_t ansiSize(std::u16string_view wide) const;

 private:
  struct Impl;
  unsigned id_;
  bool asciiAsIs_ = false;  // ASCII converts to and from itself, unit for byte
  std::unique_ptr<Impl> impl_;
};

// The ANSI code page Windows pairs with a language (Japanese 932, Cyrillic 1251, Western
// 1252, ...). No language keeps 932, the code page this tool was made for.
unsigned ansiCodePageOf(LanguagePreference language);

// The code page texts are shown and edited in when the user names none: the system's
// ANSI code page on Windows (CodePage::kDefault), elsewhere ansiCodePageOf(localeLanguage()).
unsigned defaultCodePage();

// Cuts an ANSI text to at most `maxBytes` bytes without splitting a double-byte character.
std::string cutAnsi(std::string_view ansi, std::size_t maxBytes, const CodePage& cp);

}  // namespace theme
