#pragma once
// The invariants the fuzz targets hold the core to. Each check takes arbitrary bytes,
// runs them through one part of the core and throws InvariantBroken when the core
// accepts the input but breaks a promise about it. Clean refusals (ThemeError,
// WriteError) are not findings. The same checks replay the saved regression inputs in
// the normal test suite.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace marvento_fuzz {

class InvariantBroken : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Bytes as a theme file: load, rebuild, load the rebuilt file (same pages), rebuild it
// again (same bytes).
void checkThemeRoundTrip(std::span<const std::uint8_t> data);

// Bytes as the data of a TEXTFILE resource: line cutting, the line parser, the font-line
// format read back, and the rewriter (font entries keep their fields, other lines stay,
// rewriting twice changes nothing).
void checkIniText(std::span<const std::uint8_t> data);

// The first two bytes (little-endian) are a STRING block id, the rest its data: the
// string walk, the entry parser and its canonical form, the block reader and rewriter.
void checkStringTable(std::span<const std::uint8_t> data);

// Runs a check by the name of its fuzz target: "theme", "ini" or "string_table".
// Returns false for an unknown name.
bool runCheck(const std::string& target, std::span<const std::uint8_t> data);

}  // namespace marvento_fuzz
