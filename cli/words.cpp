#include "words.h"

#include <cstdlib>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace cli {

const Words& japaneseWords() {
  static const Words words = {
      {"内部ファイル名", "セクション", "キー", "フォント名", "サイズ", "オプション"},
      "フォントサイズ名",
      "スタイル名",
      "ページ数",
      "サイズ名",
      "ページ",
      "(なし)",
      "変更",
      "Aのみ",
      "Bのみ",
  };
  return words;
}

const Words& englishWords() {
  static const Words words = {
      {"Internal file name", "Section", "Key", "Font name", "Size", "Option"},
      "Font size name",
      "Style name",
      "Page count",
      "Size name",
      "page",
      "(none)",
      "changed",
      "only in A",
      "only in B",
  };
  return words;
}

bool japaneseLocale() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return std::string_view(value).starts_with("ja");
  }
#ifdef _WIN32
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
#else
  return false;
#endif
}

const Words& wordsForLocale() { return japaneseLocale() ? japaneseWords() : englishWords(); }

}  // namespace cli
