#include "utf8.h"
#include "utf8_codec.h"

namespace cli {

std::string_view firstChars(std::string_view text, std::size_t maxChars) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < maxChars && at < text.size(); ++n) {
    const std::size_t length = decodeUtf8(text, at).length;
    at += length == 0 ? 1 : length;
  }
  return text.substr(0, at);
}

}  // namespace cli
