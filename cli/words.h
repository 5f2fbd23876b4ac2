#pragma once
// The words of table output, in the user's language: Japanese, as the Windows program
// speaks, under a Japanese locale; English otherwise. JSON keys never change.
#include <array>

#include "font_pages.h"

namespace cli {

struct Words {
  std::array<const char*, theme::kColumnCount> columnTitles;
  const char* sizeNameBox;  // the display name of a page's size
  const char* styleName;
  const char* pageCount;
  const char* sizeName;  // a page's internal size name, its tab title
  const char* page;
  const char* missing;  // a page or text one theme does not have
  const char* changed;
  const char* onlyInA;
  const char* onlyInB;
  const char* listedAs;       // "Language {0}, code page {1}"
  const char* otherLanguage;  // a text or table differing in a language not compared
  const char* otherResource;  // a resource of a type the tool does not read
  const char* section;        // a section other than the resources
  const char* appendedBytes;  // the bytes after the last section
};

const Words& japaneseWords();
const Words& englishWords();

// Whether the user's interface language is Japanese: on Windows the system's, elsewhere
// the first set of LC_ALL, LC_MESSAGES and LANG (the same choice the core makes for the
// language of resources).
bool japaneseLocale();

// The words of that language.
const Words& wordsForLocale();

}  // namespace cli
