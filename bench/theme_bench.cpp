// Benchmarks of the core: list (load + read the pages) and write (rebuild) on Wine's
// light.msstyles, and the scaling of both with the number of font lines on a page.
// Figures and how to reproduce them: BENCHMARKS.md.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "cp932.h"
#include "font_pages.h"
#include "theme_builder.h"
#include "theme_image.h"
#include "theme_rebuild.h"
#include "shown_text.h"
#include "safe_write.h"
#include "font_page_reader.h"
#include "wine_themes.h"

namespace {

namespace fs = std::filesystem;
namespace mt = marvento_test;

// Wine's light.msstyles of both builds (wine_themes.h).
const char* const kLightX64 = mt::kWineThemes[0].path;
const char* const kLightX86 = mt::kWineThemes[1].path;
static_assert(std::string_view(mt::kWineThemes[0].label) == "x86_64" && std::string_view(mt::kWineThemes[1].label) == "i386",
              "the benchmarks are named after the builds");

using marvento_test::cp932;

bool present(benchmark::State& state, const char* path) {
  if (fs::exists(path)) return true;
  state.SkipWithError((std::string(path) + " not found").c_str());
  return false;
}

// List: open the file, read only the parts that are listed, fill the pages (as
// `marvento-cli list` does before printing).
void listLight(benchmark::State& state, const char* path) {
  if (!present(state, path)) return;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is the API
    theme::FontPages pages;
    theme::ThemeImage image = theme::loadTheme(path, pages, cp932(), {}, theme::Reading::ListedPartsOnly);
    benchmark::DoNotOptimize(image.tree.types.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

// Load for writing: the whole file copied into memory, then the pages (as the program
// and `marvento-cli write` do).
void loadLight(benchmark::State& state, const char* path) {
  if (!present(state, path)) return;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is the API
    theme::FontPages pages;
    theme::ThemeImage image = theme::loadTheme(path, pages, cp932());
    benchmark::DoNotOptimize(image.copy.bytes().data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

// Write without the disk: the rebuilt file in memory, from a loaded image and its pages.
void rebuildLight(benchmark::State& state, const char* path) {
  if (!present(state, path)) return;
  theme::FontPages pages;
  const theme::ThemeImage image = theme::loadTheme(path, pages, cp932());
  // The rebuild changes the pages only to refill an emptied box, so one set serves all.
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is the API
    const theme::RebuiltTheme out = theme::rebuildTheme(image, pages, cp932());
    benchmark::DoNotOptimize(out.pieces().data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.copy.bytes().size()));
}

// Write with the disk: rebuild, then the durable replacement of the target (fsync).
void writeLight(benchmark::State& state, const char* path) {
  if (!present(state, path)) return;
  theme::FontPages pages;
  const theme::ThemeImage image = theme::loadTheme(path, pages, cp932());
  const fs::path target = fs::temp_directory_path() / ("marvento_bench_" + std::to_string(::getpid()) + ".msstyles");
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is the API
    theme::writeFileAtomically(target.string(), theme::rebuildTheme(image, pages, cp932()));
  }
  fs::remove(target);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.copy.bytes().size()));
}

BENCHMARK_CAPTURE(listLight, x86_64, kLightX64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listLight, i386, kLightX86)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadLight, x86_64, kLightX64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuildLight, x86_64, kLightX64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuildLight, i386, kLightX86)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeLight, x86_64, kLightX64)->Unit(benchmark::kMillisecond);

// ---- scaling: N font lines on one page ----

// A one-size theme whose BLUE_INI holds `lines` font entries, each with a key of its own,
// in sections of 100 lines.
std::vector<std::uint8_t> themeWithFontLines(std::int64_t lines) {
  std::u16string text;
  text.reserve(static_cast<std::size_t>(lines) * 40);
  for (std::int64_t i = 0; i < lines; ++i) {
    const std::u16string n = theme::utf8ToUtf16(std::to_string(i));
    if (i % 100 == 0) text += u"[Section" + n + u"]\r\n";
    text += u"CaptionFont" + n + u" = Tahoma, 9, Bold\r\n";
  }
  return mt::oneSizeTheme().textFile(u"BLUE_INI", text).build().bytes;
}

// A one-size theme with `entries` string-table font entries for BLUE in one block.
std::vector<std::uint8_t> themeWithStringEntries(std::int64_t entries) {
  std::vector<std::u16string> strings;
  strings.reserve(static_cast<std::size_t>(entries));
  for (std::int64_t i = 0; i < entries; ++i) {
    strings.push_back(u"BLUE@[Section]CaptionFont" + theme::utf8ToUtf16(std::to_string(i)) + u"=Tahoma, 9, Bold");
  }
  return mt::oneSizeTheme().strings(2, mt::countedStrings(strings)).build().bytes;
}

void setCounters(benchmark::State& state, std::int64_t lines) {
  state.counters["lines"] = static_cast<double>(lines);
  // Seconds per line, shown per line (the flatness target compares these).
  state.counters["per_line"] =
      benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

template <typename Make>
void loadScaling(benchmark::State& state, Make make) {
  const std::int64_t lines = state.range(0);
  const std::vector<std::uint8_t> bytes = make(lines);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is the API
    theme::FontPages pages;
    theme::ThemeImage image = theme::parseThemeImage(bytes);
    theme::readFontPages(image, pages, cp932());
    if (static_cast<std::int64_t>(pages.rowCount(0)) != lines) state.SkipWithError("rows missing");
    benchmark::DoNotOptimize(image.copy.bytes().data());
  }
  setCounters(state, lines);
}

// range(1) = 1: every row's font name edited (the bulk font-name input), so every value
// goes back through the code page.
template <typename Make>
void rewriteScaling(benchmark::State& state, Make make) {
  const std::int64_t lines = state.range(0);
  theme::FontPages pages;
  const theme::ThemeImage image = theme::parseThemeImage(make(lines));
  theme::readFontPages(image, pages, cp932());
  if (static_cast<std::int64_t>(pages.rowCount(0)) != lines) state.SkipWithError("rows missing");
  if (state.range(1) != 0) pages.setFontOfPage(0, "MS UI Gothic");
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is the API
    const theme::RebuiltTheme out = theme::rebuildTheme(image, pages, cp932());
    benchmark::DoNotOptimize(out.pieces().data());
  }
  setCounters(state, lines);
}

void loadIniLines(benchmark::State& state) { loadScaling(state, themeWithFontLines); }
void rewriteIniLines(benchmark::State& state) { rewriteScaling(state, themeWithFontLines); }
void loadStringEntries(benchmark::State& state) { loadScaling(state, themeWithStringEntries); }
void rewriteStringEntries(benchmark::State& state) { rewriteScaling(state, themeWithStringEntries); }

BENCHMARK(loadIniLines)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(rewriteIniLines)->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(loadStringEntries)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(rewriteStringEntries)->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
