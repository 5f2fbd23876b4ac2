// Writes a synthetic theme for the whole-process benchmarks: the name lists, an INI text
// and a string table as a small real theme has them, then MIB mebibytes of picture data
// in bitmaps of 1 MiB each.
//   make_theme OUT MIB [LINES [EVERY]]
// LINES: BLUE_INI holds that many lines instead, a third of them font entries, in sections
// of 30 lines as a real theme's are (every 100th section repeats the one before, so some
// settings are given twice). EVERY: every EVERY-th font entry gets size 10 instead of 9
// (two themes made with and without it differ in those rows, for diff).
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "theme_builder.h"

namespace {

std::u16string ascii(const std::string& s) { return {s.begin(), s.end()}; }

std::u16string iniText(long lines, long every) {
  static const char* const kFontKeys[] = {"CaptionFont", "SmallCaptionFont", "MenuFont",    "StatusFont", "MsgBoxFont",
                                          "IconTitleFont", "TextFont",       "GlyphFont",   "HeadingFont", "LabelFont"};
  static const char* const kOtherLines[] = {"TextColor = 0 0 0", "ContentMargins = 1, 2, 3, 4"};
  std::u16string text;
  text.reserve(static_cast<std::size_t>(lines) * 26);
  long section = 0;
  long fonts = 0;
  for (long i = 0; i < lines; ++i) {
    if (i % 30 == 0) {
      section = i / 30;
      const long named = section % 100 == 99 ? section - 1 : section;
      text += ascii("[Button.Part" + std::to_string(named) + "]\r\n");
    } else if (i % 3 == 1) {
      const bool changed = every > 0 && fonts % every == every - 1;
      text += ascii(std::string(kFontKeys[(i % 30) / 3]) + " = Tahoma, " + (changed ? "10" : "9") + ", Bold\r\n");
      ++fonts;
    } else {
      text += ascii(std::string(kOtherLines[i % 2]) + "\r\n");
    }
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  namespace mt = marvento_test;
  if (argc < 3 || argc > 5) {
    std::cerr << "usage: make_theme OUT MIB [LINES [EVERY]]\n";
    return 2;
  }
  const long mebibytes = std::strtol(argv[2], nullptr, 10);
  const long lines = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 0;
  const long every = argc > 4 ? std::strtol(argv[4], nullptr, 10) : 0;
  mt::ThemeBuilder b = mt::oneSizeTheme();
  b.textFile(u"BLUE_INI", lines > 0 ? iniText(lines, every)
                                    : u"[Globals]\r\nFont = Tahoma, 8\r\n[Button]\r\nTextFont = Tahoma, 8, Bold\r\n");
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
