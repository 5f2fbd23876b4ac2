#include "list_printer.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "cell_text.h"
#include "codepage.h"
#include "font_pages.h"
#include "json_text.h"
#include "utf8.h"

namespace cli {
namespace {

// The column titles and box labels of the Windows program, so both show the same words.
constexpr std::array<const char*, theme::kColumnCount> kColumnTitles = {
    "内部ファイル名", "セクション", "キー", "フォント名", "サイズ", "オプション"};
constexpr const char* kSizeNameLabel = "フォントサイズ名";
constexpr const char* kStyleNameLabel = "スタイル名";

constexpr std::array<const char*, theme::kColumnCount> kJsonNames = {"file", "section", "key",
                                                                     "font", "size",    "option"};

// The tab title: the size name in the code page, cut to a cell's length as the tab gets it.
std::string tabTitle(const theme::FontPages& pages, int page, const theme::CodePage& cp) {
  const std::string ansi = theme::cutAnsi(cp.toAnsi(pages.sizeNames.at(page)), theme::kMaxCellBytes, cp);
  return ansiToUtf8(ansi, cp);
}

// A theme text as a terminal should show it: control characters (ESC, BEL, C1 codes)
// as \x1b and the like, so that no text of the file can drive the terminal.
std::string shown(const std::string& utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Char ch = decodeUtf8(utf8, at);
    const std::size_t length = ch.length == 0 ? 1 : ch.length;
    if (ch.length != 0 && isControl(ch.code)) {
      out += "\\x";
      out += kHex[ch.code >> 4];
      out += kHex[ch.code & 0xF];
    } else {
      out.append(utf8, at, length);
    }
    at += length;
  }
  return out;
}

// "label: text", without a trailing blank when the text is empty.
std::string labelled(std::string_view label, const std::string& text) {
  std::string line(label);
  line += ':';
  if (!text.empty()) line += " " + text;
  return line;
}

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

std::size_t displayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Char ch = decodeUtf8(utf8, at);
    at += ch.length == 0 ? 1 : ch.length;
    width += ch.length != 0 && isWide(ch.code) ? 2 : 1;
  }
  return width;
}

void printTable(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp) {
  for (int page = 0; page < pages.pageCount; ++page) {
    out << '[' << page << "] " << shown(tabTitle(pages, page, cp)) << '\n';
    out << "  " << labelled(kSizeNameLabel, shown(ansiToUtf8(pages.sizeNameBoxes.at(page).text, cp))) << '\n';

    std::vector<std::array<std::string, theme::kColumnCount>> lines;
    lines.emplace_back();
    for (int col = 0; col < theme::kColumnCount; ++col) lines.back()[col] = kColumnTitles[col];
    for (const theme::FontRow& row : pages.rows(page)) {
      lines.emplace_back();
      for (int col = 0; col < theme::kColumnCount; ++col) lines.back()[col] = shown(ansiToUtf8(row.cell(col), cp));
    }
    std::array<std::size_t, theme::kColumnCount> widths{};
    for (const auto& line : lines) {
      for (int col = 0; col < theme::kColumnCount; ++col) widths[col] = std::max(widths[col], displayWidth(line[col]));
    }
    for (const auto& line : lines) {
      std::string text = " ";
      for (int col = 0; col < theme::kColumnCount; ++col) {
        text += ' ';
        text += line[col];
        if (col + 1 < theme::kColumnCount) text.append(widths[col] - displayWidth(line[col]) + 1, ' ');
      }
      while (text.back() == ' ') text.pop_back();  // an empty last column leaves no trailing blanks
      out << text << '\n';
    }
    out << '\n';
  }
  out << labelled(kStyleNameLabel, shown(ansiToUtf8(pages.styleNameBox.text, cp))) << '\n';
}

void printJson(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp) {
  out << "{\"pageCount\":" << pages.pageCount << ",\"colourCount\":" << pages.colourCount << ",\"styleName\":";
  out << jsonString(ansiToUtf8(pages.styleNameBox.text, cp));
  out << ",\"sizeNameBoxes\":[";
  for (std::size_t k = 0; k < pages.sizeNameBoxes.size(); ++k) {
    if (k > 0) out << ',';
    out << jsonString(ansiToUtf8(pages.sizeNameBoxes[k].text, cp));
  }
  out << "],\"pages\":[";
  for (int page = 0; page < pages.pageCount; ++page) {
    if (page > 0) out << ',';
    out << "{\"index\":" << page << ",\"sizeName\":";
    out << jsonString(tabTitle(pages, page, cp));
    out << ",\"rows\":[";
    bool first = true;
    for (const theme::FontRow& row : pages.rows(page)) {
      out << (first ? "{" : ",{");
      first = false;
      for (int col = 0; col < theme::kColumnCount; ++col) {
        if (col > 0) out << ',';
        out << '"' << kJsonNames[col] << "\":";
        out << jsonString(ansiToUtf8(row.cell(col), cp));
      }
      out << '}';
    }
    out << "]}";
  }
  out << "]}\n";
}

}  // namespace cli
