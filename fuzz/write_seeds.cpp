// Writes the seed corpus: fuzz_seeds OUT_DIR [THEME_FILE...] puts every seed in
// OUT_DIR/<target>/<name>.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "seeds.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: fuzz_seeds OUT_DIR [THEME_FILE...]\n";
    return 2;
  }
  const std::filesystem::path out(argv[1]);
  std::vector<std::string> skipped;
  const auto seeds = marvento_fuzz::makeSeeds({argv + 2, argv + argc}, &skipped);
  for (const auto& s : skipped) std::cout << "skipped " << s << "\n";
  for (const auto& seed : seeds) {
    std::filesystem::create_directories(out / seed.target);
    std::ofstream file(out / seed.target / seed.name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(seed.bytes.data()), static_cast<std::streamsize>(seed.bytes.size()));
    if (!file) {
      std::cerr << "cannot write " << (out / seed.target / seed.name) << "\n";
      return 1;
    }
  }
  std::cout << seeds.size() << " seeds in " << out << "\n";
  return 0;
}
