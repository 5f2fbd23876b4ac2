#include "name_list_reader.h"

#include "byte_reader.h"

namespace theme {

std::vector<std::u16string> readNameList(std::span<const std::uint8_t> data) {
  const ByteReader reader(data);
  std::vector<std::u16string> names;
  std::size_t pos = 0;
  while (reader.contains(pos, 2)) {
    std::u16string name;
    for (; reader.contains(pos, 2); pos += 2) {
      const char16_t c = static_cast<char16_t>(reader.u16(pos, "a name list"));
      if (c == 0) break;
      name.push_back(c);
    }
    if (name.empty()) break;
    names.push_back(std::move(name));
    pos += 2;  // the terminator
  }
  return names;
}

}  // namespace theme
