#pragma once
// Every command and option of marvento-cli, written once: the tables drive the parser's
// registration, the once-only checks, the suggestions, the usage lines and the help. The
// manual page and the bash completion are files, checked against these tables by a test.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "messages.h"

namespace cli {

enum class Command { Help, Version, List, Write, Diff };
struct Options;

// How an option is given.
enum OptionForm : unsigned {
  kFlag = 0,
  kValue = 1U << 0,           // takes one value
  kRepeatable = 1U << 1,      // may be given again (--page); otherwise once at most
  kRequired = 1U << 2,        // the command needs it (write -o)
  kDashReadsInput = 1U << 3,  // its value "-" names standard input
  kOrNext = 1U << 4,          // one or the other with the next option, never both (--grow | --scale)
};

struct OptionSpec {
  const char* names;  // as the parser takes them, "-o,--output"; the first names the option in messages
  const char* value;  // what its value is called in the usage and help ("OUT"); nullptr for a flag
  unsigned form;      // OptionForm bits
  bool Options::*flag;                                        // where a flag is set
  void (*store)(Options&, const std::string& value, Language);  // takes a value: checks it, throws usageError
  const char* help;   // lines joined by '\n', wrapped to the terminal's width as printed;
                      // a line that starts with blanks is kept as it is (examples, JSON)
};

struct CommandSpec {
  Command command;
  const char* name;                     // "list"
  std::span<const char* const> operands;  // "THEME"; "A", "B"
  std::span<const OptionSpec> options;  // its own; commonOptions() follow them
  const char* about;                    // help before the options
  const char* after;                    // help after them, or ""
};

std::span<const CommandSpec> commandTable();
const CommandSpec* findCommand(std::string_view name);
// Of every command, after its own options.
std::span<const OptionSpec> commonOptions();
// --help and --version: before a command or after it.
std::span<const OptionSpec> programOptions();

// "-o", "--output".
std::vector<std::string_view> namesOf(const OptionSpec& option);
// What messages call it: its first name.
std::string_view nameOf(const OptionSpec& option);

// The usage lines, shown after a command line that cannot be understood.
const std::string& usageText();
// What --help prints: every command, or only `command` after it ("write --help").
std::string helpText(Command command);

}  // namespace cli
