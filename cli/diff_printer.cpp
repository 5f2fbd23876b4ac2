#include "diff_printer.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "json_text.h"
#include "json_writer.h"
#include "shown_text.h"
#include "theme_diff.h"
#include "words.h"

namespace cli {
namespace {

// jsonString escapes every control character already, so the quoted text is safe to show.
std::string shownText(const std::optional<std::string>& text, const Words& words) {
  return text ? jsonString(*text) : std::string(words.missing);
}

// "label: A -> B"
void printChange(std::ostream& out, const char* indent, const char* label, const TextChange& change,
                 const Words& words) {
  out << indent << label << ": " << shownText(change.first, words) << " -> " << shownText(change.second, words)
      << '\n';
}

std::string entryText(const RowValues& v) {
  std::string text = v.font + ", " + v.size;
  if (!v.option.empty()) text += ", " + v.option;
  return theme::shown(text);
}

JsonValue changeDocument(const TextChange& change) {
  JsonValue d = jsonObject();
  addMember(d, "a", change.first ? jsonText(*change.first) : JsonValue{});
  addMember(d, "b", change.second ? jsonText(*change.second) : JsonValue{});
  return d;
}

void addValues(JsonValue& object, const RowValues& v) {
  addMember(object, "font", jsonText(v.font));
  addMember(object, "size", jsonText(v.size));
  addMember(object, "option", jsonText(v.option));
}

// Resources named by type, name and language, one line each or one JSON array.
void printResources(std::ostream& out, const char* label, const std::vector<ResourceInLanguage>& resources) {
  for (const ResourceInLanguage& r : resources) {
    out << label << ": " << theme::shown(r.type) << ' ' << theme::shown(r.name) << ' ' << theme::shown(r.language) << '\n';
  }
}

void addResources(JsonValue& doc, const char* key, const std::vector<ResourceInLanguage>& resources) {
  if (resources.empty()) return;
  JsonValue& list = addMember(doc, key, jsonArray());
  for (const ResourceInLanguage& r : resources) {
    JsonValue& entry = list.items.emplace_back(jsonObject());
    addMember(entry, "type", jsonText(r.type));
    addMember(entry, "name", jsonText(r.name));
    addMember(entry, "language", jsonText(r.language));
  }
}

}  // namespace

void printDifferenceTable(std::ostream& out, const ThemeDifference& difference, const Words& words) {
  if (difference.pageCount) {
    out << words.pageCount << ": " << difference.pageCount->first << " -> " << difference.pageCount->second << '\n';
  }
  if (difference.styleName) printChange(out, "", words.styleName, *difference.styleName, words);
  const std::size_t labelWidth = std::max({theme::displayWidth(words.changed), theme::displayWidth(words.onlyInA),
                                           theme::displayWidth(words.onlyInB)});
  for (const PageDifference& page : difference.pages) {
    out << '[' << page.index << ']' << (page.title.empty() ? "" : " ") << theme::shown(page.title) << '\n';
    if (page.sizeName) printChange(out, "  ", words.sizeName, *page.sizeName, words);
    if (page.sizeNameBox) printChange(out, "  ", words.sizeNameBox, *page.sizeNameBox, words);
    for (const RowDifference& row : page.rows) {
      const char* label = row.a && row.b ? words.changed : row.a ? words.onlyInA : words.onlyInB;
      out << "  " << label << std::string(labelWidth - theme::displayWidth(label) + 2, ' ') << theme::shown(row.file) << " ["
          << theme::shown(row.section) << "] " << theme::shown(row.key) << ": ";
      if (row.a && row.b) {
        out << entryText(*row.a) << " -> " << entryText(*row.b);
      } else {
        out << entryText(row.a ? *row.a : *row.b);
      }
      out << '\n';
    }
  }
  printResources(out, words.otherLanguage, difference.otherLanguages);
  const FilePartsDifference& parts = difference.fileParts;
  printResources(out, words.otherResource, parts.otherResources);
  for (const SectionDifference& s : parts.sections) {
    out << words.section << ' ' << theme::shown(s.name) << ": "
        << (s.inA && s.inB ? words.changed : s.inA ? words.onlyInA : words.onlyInB) << '\n';
  }
  if (parts.appendedBytes) {
    out << words.appendedBytes << ": " << parts.appendedBytes->first << " -> " << parts.appendedBytes->second << '\n';
  }
}

JsonValue differenceDocument(const ThemeDifference& difference) {
  JsonValue doc = jsonObject();
  JsonValue differs;
  differs.kind = JsonValue::Kind::Boolean;
  differs.boolean = !difference.empty();
  addMember(doc, "differs", differs);
  if (difference.pageCount) {
    JsonValue& counts = addMember(doc, "pageCount", jsonObject());
    addMember(counts, "a", jsonNumber(difference.pageCount->first));
    addMember(counts, "b", jsonNumber(difference.pageCount->second));
  }
  if (difference.styleName) addMember(doc, "styleName", changeDocument(*difference.styleName));
  JsonValue& pages = addMember(doc, "pages", jsonArray());
  for (const PageDifference& page : difference.pages) {
    JsonValue entry = jsonObject();
    addMember(entry, "index", jsonNumber(page.index));
    if (page.sizeName) addMember(entry, "sizeName", changeDocument(*page.sizeName));
    if (page.sizeNameBox) addMember(entry, "sizeNameBox", changeDocument(*page.sizeNameBox));
    JsonValue changed = jsonArray();
    JsonValue onlyInA = jsonArray();
    JsonValue onlyInB = jsonArray();
    for (const RowDifference& row : page.rows) {
      JsonValue r = jsonObject();
      addMember(r, "file", jsonText(row.file));
      addMember(r, "section", jsonText(row.section));
      addMember(r, "key", jsonText(row.key));
      if (row.a && row.b) {
        addValues(addMember(r, "a", jsonObject()), *row.a);
        addValues(addMember(r, "b", jsonObject()), *row.b);
        changed.items.push_back(std::move(r));
      } else {
        addValues(r, row.a ? *row.a : *row.b);
        (row.a ? onlyInA : onlyInB).items.push_back(std::move(r));
      }
    }
    addMember(entry, "changed", std::move(changed));
    addMember(entry, "onlyInA", std::move(onlyInA));
    addMember(entry, "onlyInB", std::move(onlyInB));
    pages.items.push_back(std::move(entry));
  }
  addResources(doc, "otherLanguages", difference.otherLanguages);
  const FilePartsDifference& parts = difference.fileParts;
  addResources(doc, "otherResources", parts.otherResources);
  if (!parts.sections.empty()) {
    JsonValue& sections = addMember(doc, "sections", jsonArray());
    for (const SectionDifference& s : parts.sections) {
      JsonValue& entry = sections.items.emplace_back(jsonObject());
      addMember(entry, "name", jsonText(s.name));
      addMember(entry, "change", jsonText(s.inA && s.inB ? "changed" : s.inA ? "onlyInA" : "onlyInB"));
    }
  }
  if (parts.appendedBytes) {
    JsonValue& sizes = addMember(doc, "appendedBytes", jsonObject());
    addMember(sizes, "a", jsonNumber(static_cast<double>(parts.appendedBytes->first)));
    addMember(sizes, "b", jsonNumber(static_cast<double>(parts.appendedBytes->second)));
  }
  return doc;
}

}  // namespace cli
