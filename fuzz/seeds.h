#pragma once
// The seed corpus of the fuzz targets: small synthetic themes from the test builder, and
// small themes, INI texts and string blocks cut from real theme files when given.
#include <cstdint>
#include <string>
#include <vector>

namespace marvento_fuzz {

struct Seed {
  std::string target;  // "theme", "ini" or "string_table"
  std::string name;    // file name in the target's corpus
  std::vector<std::uint8_t> bytes;
};

// `themeFiles` are real .msstyles files to cut seeds from; a file that cannot be read
// is left out and named in `skipped`.
std::vector<Seed> makeSeeds(const std::vector<std::string>& themeFiles, std::vector<std::string>* skipped = nullptr);

}  // namespace marvento_fuzz
