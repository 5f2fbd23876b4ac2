#include "command_theme.h"

#include <exception>
#include <iostream>

#include "cell_text.h"
#include "resource_languages.h"
#include "theme_image.h"

namespace cli {

theme::ThemeImage loadForCommand(const std::string& path, theme::FontPages& pages, const theme::CodePage& cp,
                                 std::uint16_t language, bool sayFallback, Language messages, int status) {
  theme::ThemeImage image;
  try {
    image = theme::loadTheme(nativePath(path), pages, cp, language, theme::Reading::ListedPartsOnly);
  } catch (const std::exception& e) {  // above all ThemeError, but never a failure of another status by mistake
    throw Error(status, e.what()).about(path);
  }
  if (sayFallback) noteFallback(std::cerr, path, image, language, messages);
  return image;
}

}  // namespace cli
