#include "size_scaling.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "font_pages.h"
#include "value_rules.h"

namespace theme {

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
constexpr int kMaxPlaces = 9;  // a size of 2^31 times 4 * 10^9 digits still fits 64 bits

std::int64_t powerOfTen(int places) {
  std::int64_t power = 1;
  for (int i = 0; i < places; ++i) power *= 10;
  return power;
}

// From 0.25 to 4, with at most kMaxPlaces places.
bool inRange(ScaleFactor factor) {
  if (factor.places < 0 || factor.places > kMaxPlaces) return false;
  const std::int64_t one = powerOfTen(factor.places);
  return factor.digits <= 4 * one && factor.digits * 4 >= one;
}

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

std::optional<ScaleFactor> scaleFactorOf(std::string_view text) {
  const std::size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  const auto digitsOnly = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
  if (whole.empty() && fraction.empty()) return std::nullopt;
  if (!digitsOnly(whole) || !digitsOnly(fraction)) return std::nullopt;
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  if (whole.size() > 1 || fraction.size() > static_cast<std::size_t>(kMaxPlaces)) return std::nullopt;
  ScaleFactor factor{0, static_cast<int>(fraction.size())};
  for (const std::string_view part : {whole, fraction}) {
    for (const char c : part) factor.digits = factor.digits * 10 + (c - '0');
  }
  if (!inRange(factor)) return std::nullopt;
  return factor;
}

ResizedSizes scaleSizes(FontPages& pages, ScaleFactor factor, const std::vector<int>& onlyPages) {
  if (!inRange(factor)) throw std::invalid_argument("the factor must be from 0.25 to 4");
  const std::int64_t one = powerOfTen(factor.places);
  return resizeEach(pages, onlyPages, [factor, one](std::int64_t magnitude) {
    // Exact: magnitude x digits / 10^places, a half rounded up (away from zero, as the
    // magnitude is never negative here).
    const std::int64_t product = magnitude * factor.digits;
    const std::int64_t rounded = product / one + (2 * (product % one) >= one ? 1 : 0);
    return std::max<std::int64_t>(1, rounded);
  });
}

}  // namespace theme
