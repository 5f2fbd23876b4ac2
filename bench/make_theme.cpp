// Writes a synthetic theme for the whole-process benchmarks: the name lists, an INI text
// and a string table as a small real theme has them, then MIB mebibytes of picture data
// in bitmaps of 1 MiB each.
//   make_theme OUT MIB
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "theme_builder.h"

int main(int argc, char** argv) {
  namespace mt = marvento_test;
  if (argc != 3) {
    std::cerr << "usage: make_theme OUT MIB\n";
    return 2;
  }
  const long mebibytes = std::strtol(argv[2], nullptr, 10);
  mt::ThemeBuilder b = mt::oneSizeTheme();
  b.textFile(u"BLUE_INI", u"[Globals]\r\nFont = Tahoma, 8\r\n[Button]\r\nTextFont = Tahoma, 8, Bold\r\n");
  b.strings(188, mt::stringBlock({{8, u"Normal"}}));
  b.strings(2, mt::stringBlock({{0, u"BLUE@[Window]CaptionFont=Tahoma, 9, Bold"}}));
  mt::Bytes picture(std::size_t{1} << 20);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(i * 31 + 7);
  for (long i = 0; i < mebibytes; ++i) b.add(2, static_cast<int>(i + 1), picture);
  const mt::Bytes file = b.build().bytes;
  std::ofstream out(argv[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return out ? 0 : 1;
}
