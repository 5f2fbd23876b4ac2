#pragma once
// Every font of a theme larger or smaller at once: sizes grown by steps or scaled by a
// factor (high-DPI screens, low vision; XP's "Large" and "Extra large" sizes are that).
#include <cstddef>
#include <vector>

namespace theme {

class FontPages;

inline constexpr double kMinScale = 0.25;
inline constexpr double kMaxScale = 4.0;

struct ResizedSizes {
  std::size_t changed = 0;   // rows whose size changed
  std::size_t stopped = 0;   // sizes that would have crossed zero and stopped at 1 or -1
  std::size_t notWhole = 0;  // sizes that are no whole number, left as they are
};

// Grows every size of `pages` (of the pages listed in `onlyPages`, all when empty) by
// `steps`: 1 point for a point size, 1 pixel for a negative pixel height; negative steps
// make fonts smaller. The sign never flips and no size becomes 0: it stops at 1 or -1.
ResizedSizes growSizes(FontPages& pages, int steps, const std::vector<int>& onlyPages = {});

// Multiplies every size by `factor` (kMinScale to kMaxScale, else std::invalid_argument),
// rounded to the nearest whole number, halves away from zero, at least 1 in magnitude.
ResizedSizes scaleSizes(FontPages& pages, double factor, const std::vector<int>& onlyPages = {});

}  // namespace theme
