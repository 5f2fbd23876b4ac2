#include "command_theme.h"

#include <exception>
#include <iostream>

#include "arguments.h"
#include "cell_text.h"
#include "font_page_reader.h"
#include "font_pages.h"
#include "positioned_file.h"
#include "resource_languages.h"
#include "theme_image.h"

namespace cli {

std::string sourceName(const std::string& path, Language language) {
  return path == kStandardInput ? say(language, "standard input") : path;
}

std::unique_ptr<theme::PositionedFile> openSource(const std::string& path, Language messages, int status) {
  try {
    if (path == kStandardInput) return theme::PositionedFile::standardInput();
    return std::make_unique<theme::PositionedFile>(nativePath(path));
  } catch (const std::exception& e) {  // ThemeError, or no memory for a stream read whole
    throw Error(status, e.what()).about(sourceName(path, messages));
  }
}

theme::ThemeImage loadForCommand(const std::string& path, theme::FontPages& pages, const theme::CodePage& cp,
                                 std::uint16_t language, bool sayFallback, Language messages, int status,
                                 std::unique_ptr<theme::PositionedFile> open) {
  if (!open) open = openSource(path, messages, status);
  theme::ThemeImage image;
  try {
    image = theme::loadTheme(std::move(open), pages, cp, language, theme::Reading::ListedPartsOnly);
  } catch (const std::exception& e) {  // above all ThemeError, but never a failure of another status by mistake
    throw Error(status, e.what()).about(sourceName(path, messages));
  }
  if (sayFallback) noteFallback(std::cerr, sourceName(path, messages), image, language, messages);
  return image;
}

theme::ThemeSettings loadSettingsForCommand(const std::string& path, theme::ThemeImage& image, theme::FontPages& pages,
                                            const theme::CodePage& cp, std::uint16_t language, bool sayFallback,
                                            Language messages, int status) {
  std::unique_ptr<theme::PositionedFile> open = openSource(path, messages, status);
  try {
    image = theme::loadThemeImage(std::move(open), language, theme::Reading::ListedPartsOnly);
    theme::ThemeSettings settings(image, pages, cp);
    if (sayFallback) noteFallback(std::cerr, sourceName(path, messages), image, language, messages);
    return settings;
  } catch (const std::exception& e) {  // above all ThemeError, but never a failure of another status by mistake
    throw Error(status, e.what()).about(sourceName(path, messages));
  }
}

}  // namespace cli
