#pragma once
// Wine's light.msstyles, one per build of Wine (x86_64 is PE32+, i386 PE32), as
// cmake/wine_themes.txt lists them. A test skips a file that is not installed.
#include <ostream>

#include "wine_theme_list.h"

namespace marvento_test {

struct WineTheme {
  const char* label;
  const char* path;
};
inline constexpr WineTheme kWineThemes[] = {MARVENTO_WINE_THEME_LIST};
inline void PrintTo(const WineTheme& t, std::ostream* os) { *os << t.path; }

}  // namespace marvento_test
