#include "words.h"

#include "ui_language.h"

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
      "言語 {0}、コードページ {1}",
      "他の言語",
      "他のリソース",
      "セクション",
      "末尾のデータ (バイト数)",
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
      "Language {0}, code page {1}",
      "other language",
      "other resource",
      "section",
      "appended bytes",
  };
  return words;
}

bool japaneseLocale() {
  const theme::LanguagePreference language = theme::userInterfaceLanguage();
  return language && theme::isJapanese(*language);
}

const Words& wordsForLocale() { return japaneseLocale() ? japaneseWords() : englishWords(); }

}  // namespace cli
