#pragma once
// Every font of a theme larger or smaller at once: sizes grown by steps or scaled by a
// factor (high-DPI screens, low vision; XP's "Large" and "Extra large" sizes are that).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace theme {

class FontPages;

// A factor exactly as the user wrote it in decimal: digits / 10^places (1.25 is {125, 2}).
// Binary floating point would make 0.7 a little less than 0.7, and 45 x 0.7 round down.
struct ScaleFactor {
  std::int64_t digits = 1;
  int places = 0;
};

// A factor from 0.25 to 4 written as digits with at most one point ("1.5", "2", ".5"), no
// sign, exponent or comma, at most 9 places after the point once trailing zeros are
// dropped; nullopt for any other text.
std::optional<ScaleFactor> scaleFactorOf(std::string_view text);

struct ResizedSizes {
  std::size_t changed = 0;   // rows whose size changed
  std::size_t stopped = 0;   // sizes that would have crossed zero and stopped at 1 or -1
  std::size_t notWhole = 0;  // sizes that are no whole number, left as they are
};

// Grows every size of `pages` (of the pages listed in `onlyPages`, all when empty) by
// `steps`: 1 point for a point size, 1 pixel for a negative pixel height; negative steps
// make fonts smaller. The sign never flips and no size becomes 0: it stops at 1 or -1.
ResizedSizes growSizes(FontPages& pages, int steps, const std::vector<int>& onlyPages = {});

// Multiplies every size by `factor` (one scaleFactorOf gives, else std::invalid_argument),
// exactly, rounded to the nearest whole number, halves away from zero, at least 1 in
// magnitude.
ResizedSizes scaleSizes(FontPages& pages, ScaleFactor factor, const std::vector<int>& onlyPages = {});

}  // namespace theme
