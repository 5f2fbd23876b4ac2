#pragma once
// Conversion between the UTF-16 of theme data and the ANSI code page of rows and
// controls. On Windows this is WideCharToMultiByte/MultiByteToWideChar (code page 0
// means the system's ANSI code page); elsewhere iconv, code page 932 unless told.
// Characters the code page cannot hold become its default character, as on Windows.
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

 private:
  struct Impl;
  unsigned id_;
  std::unique_ptr<Impl> impl_;
};

// The ANSI code page Windows pairs with a language (Japanese 932, Cyrillic 1251, Western
// 1252, ...). No language keeps 932, the code page this tool was made for.
unsigned ansiCodePageOf(LanguagePreference language);

// The code page texts are shown and edited in when the user names none: the system's
// ANSI code page on Windows (CodePage::kDefault), elsewhere ansiCodePageOf(localeLanguage()).
unsigned defaultCodePage();

// UTF-8 for the command line and JSON (surrogate pairs joined, lone surrogates as U+FFFD).
std::string utf16ToUtf8(std::u16string_view wide);
std::u16string utf8ToUtf16(std::string_view utf8);  // invalid bytes become U+FFFD

struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;  // bytes taken; 0 when the bytes at that place are not UTF-8
};

// The character starting at byte `at` of `text` (at < text.size()). Over-long forms,
// encoded surrogates, values beyond U+10FFFF and cut sequences are not UTF-8.
Utf8Char decodeUtf8(std::string_view text, std::size_t at);

// Cuts an ANSI text to at most `maxBytes` bytes without splitting a double-byte character.
std::string cutAnsi(std::string_view ansi, std::size_t maxBytes, const CodePage& cp);

}  // namespace theme
