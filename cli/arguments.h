#pragma once
// The command line of marvento-cli: which command, which theme, which options.
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// Bad usage: the message is printed with the usage line and the exit status is 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Command { Help, List, Write, Diff };

struct Options {
  Command command = Command::Help;
  std::string theme;  // for diff: theme A
  std::string other;  // diff: theme B
  std::optional<unsigned> codePage;
  // list and diff
  bool json = false;
  // write
  std::string out;
  std::optional<std::string> from;
  std::optional<std::string> font;    // UTF-8, as given
  std::optional<std::string> size;    // UTF-8, as given
  std::optional<std::string> option;  // UTF-8, as given; "" empties the options
  std::vector<int> pages;             // --page, in the order given; empty for every page
};

// `args` without the program name. Throws UsageError.
Options parseArguments(std::span<const std::string> args);

extern const char* const kUsage;  // the usage lines
extern const char* const kHelp;   // what --help prints

}  // namespace cli
