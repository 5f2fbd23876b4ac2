// Replays inputs through the fuzz checks outside libFuzzer, so that the regression
// inputs and the seed corpus run in the normal (and sanitizer) test suite.
//   fuzz_replay TARGET PATH...          files, or folders of files, for one target
//   fuzz_replay --seeds [THEME_FILE...] every seed, made in memory
#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_checks.h"
#include "seeds.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// True when the check passes; prints the finding otherwise.
bool replay(const std::string& target, const std::string& name, const std::vector<std::uint8_t>& bytes) {
  try {
    if (!marvento_fuzz::runCheck(target, bytes)) {
      std::cerr << "unknown target " << target << "\n";
      return false;
    }
    return true;
  } catch (const marvento_fuzz::InvariantBroken& e) {
    std::cerr << "FAIL " << target << " " << name << ": " << e.what() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "FAIL " << target << " " << name << ": escaped exception: " << e.what() << "\n";
  }
  return false;
}

std::vector<fs::path> inputsUnder(const fs::path& path) {
  std::vector<fs::path> files;
  if (fs::is_directory(path)) {
    for (const auto& e : fs::directory_iterator(path)) {
      if (e.is_regular_file() && e.path().filename().string().front() != '.') files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
  } else {
    files.push_back(path);
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << "usage: fuzz_replay TARGET PATH... | fuzz_replay --seeds [THEME_FILE...]\n";
    return 2;
  }
  int run = 0;
  int failed = 0;
  if (args[0] == "--seeds") {
    std::vector<std::string> skipped;
    const auto seeds = marvento_fuzz::makeSeeds({args.begin() + 1, args.end()}, &skipped);
    for (const auto& s : skipped) std::cout << "skipped " << s << "\n";
    for (const auto& seed : seeds) {
      ++run;
      failed += replay(seed.target, seed.name, seed.bytes) ? 0 : 1;
    }
  } else {
    for (std::size_t i = 1; i < args.size(); ++i) {
      for (const fs::path& file : inputsUnder(args[i])) {
        ++run;
        failed += replay(args[0], file.filename().string(), readAll(file)) ? 0 : 1;
      }
    }
  }
  std::cout << run << " inputs, " << failed << " failed\n";
  return failed == 0 ? 0 : 1;
}
