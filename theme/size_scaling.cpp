#include "size_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "font_pages.h"
#include "value_rules.h"

namespace theme {

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();

// Calls resize(old size) -> new size (same sign, not 0, before clamping) for every whole
// size of the chosen pages and writes back the ones that change.
template <typename Resize>
ResizedSizes resizeEach(FontPages& pages, const std::vector<int>& onlyPages, Resize resize) {
  ResizedSizes result;
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!onlyPages.empty() && std::find(onlyPages.begin(), onlyPages.end(), page) == onlyPages.end()) continue;
    for (std::size_t r = 0; r < pages.rowCount(page); ++r) {
      const std::string& text = pages.rows(page)[r].size.text;
      const auto size = wholeSize(std::u16string(text.begin(), text.end()));
      if (!size) {
        ++result.notWhole;
        continue;
      }
      const std::int64_t sign = *size < 0 ? -1 : 1;
      std::int64_t magnitude = resize(std::int64_t{*size} * sign);
      if (magnitude < 1) {
        magnitude = 1;
        ++result.stopped;
      }
      magnitude = std::min(magnitude, kLargest);
      const std::int64_t now = magnitude * sign;
      if (now == *size) continue;
      pages.setCell(page, r, kColSize, std::to_string(now));
      ++result.changed;
    }
  }
  return result;
}

}  // namespace

ResizedSizes growSizes(FontPages& pages, int steps, const std::vector<int>& onlyPages) {
  return resizeEach(pages, onlyPages, [steps](std::int64_t magnitude) { return magnitude + steps; });
}

ResizedSizes scaleSizes(FontPages& pages, double factor, const std::vector<int>& onlyPages) {
  if (!(factor >= kMinScale && factor <= kMaxScale)) throw std::invalid_argument("the factor must be from 0.25 to 4");
  return resizeEach(pages, onlyPages, [factor](std::int64_t magnitude) {
    // std::llround rounds halves away from zero; a magnitude is never negative here.
    return std::max<std::int64_t>(1, std::llround(static_cast<double>(magnitude) * factor));
  });
}

}  // namespace theme
