#include "arguments.h"

#include "json_text.h"
#include "list_printer.h"
#include "messages.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "marvento_version.h"

namespace cli {

const char* const kVersion = "marvento-cli " MARVENTO_VERSION "\n";

namespace {

// Edits (insert, delete, replace) between two words.
std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// "; did you mean "--output"?" for the name of `names` the typed word begins (the nearest
// of several), else the nearest within two edits or a third of the word; else "".
std::string suggestion(std::string_view word, const std::vector<std::string_view>& names, Language language) {
  const std::string_view bare = word.substr(0, word.find('='));
  const std::string_view* best = nullptr;
  std::size_t bestDistance = std::max<std::size_t>(2, bare.size() / 3) + 1;  // two letters swapped are two edits
  bool bestBegun = false;
  for (const std::string_view& name : names) {
    const bool begun = bare.size() > 1 && name.starts_with(bare);
    const std::size_t d = editDistance(bare, name);
    if ((begun && !bestBegun) || (begun == bestBegun && d < bestDistance)) {
      best = &name;
      bestDistance = d;
      bestBegun = begun;
    }
  }
  return best == nullptr ? "" : say(language, "; did you mean {0}?", {cli::quoted(*best)});
}

// The option of `options` that `word` names ("--page", "--page=2"), or nullptr.
const OptionSpec* optionNamed(std::string_view word, std::initializer_list<std::span<const OptionSpec>> options) {
  const std::string_view bare = word.substr(0, word.find('='));
  for (const auto& table : options) {
    for (const OptionSpec& option : table) {
      for (const std::string_view name : namesOf(option)) {
        if (name == bare) return &option;
      }
    }
  }
  return nullptr;
}

// Option names as the user writes them, for suggestions.
std::vector<std::string_view> namesFor(std::initializer_list<std::span<const OptionSpec>> options) {
  std::vector<std::string_view> names;
  for (const auto& table : options) {
    for (const OptionSpec& option : table) {
      for (const std::string_view name : namesOf(option)) names.push_back(name);
    }
  }
  return names;
}

// What the parser would otherwise say in its own words, said in ours: an option before the
// command, a flag given a value ("--json=false"), an option with nothing after it. Words
// after "--" are file names.
void checkSyntax(std::span<const std::string> args, Language language) {
  const std::string& first = args[0];
  if (first.starts_with('-') && first != "--" && optionNamed(first, {programOptions()}) == nullptr) {
    for (const std::string& word : args.subspan(1)) {
      if (findCommand(word) != nullptr) {
        throw usageError(say(language, "option {0} before the command: put it after {1}",
                             {cli::quoted(first.substr(0, first.find('='))), cli::quoted(word)}));
      }
    }
  }
  const CommandSpec* command = findCommand(first);
  for (std::size_t k = 1; command != nullptr && k < args.size(); ++k) {
    const std::string& word = args[k];
    if (word == "--") break;
    const OptionSpec* option = optionNamed(word, {command->options, commonOptions(), programOptions()});
    if (option == nullptr) continue;
    const std::size_t equals = word.find('=');
    if (option->value == nullptr && equals != std::string::npos) {
      throw usageError(say(language, "{0} takes no value", {cli::quoted(word.substr(0, equals))}));
    }
    if (option->value != nullptr && equals == std::string::npos) {
      if (k + 1 == args.size()) throw usageError(say(language, "{0} needs a value", {word}));
      ++k;  // its value, whatever it looks like
    }
  }
}

}  // namespace

theme::LanguagePreference languageOf(const Options& options) {
  return options.language ? options.language : theme::userInterfaceLanguage();
}

bool languageAsked(const Options& options) { return options.language || theme::localeLanguage(); }

void checkPages(const Options& options, int pageCount, Language language) {
  for (const int page : options.pages) {
    if (page >= pageCount) {
      throw Error(kBadUsage, say(language, pageCount == 1 ? "--page {0} is no page of {1}, which has {2} page"
                                                          : "--page {0} is no page of {1}, which has {2} pages",
                                 {std::to_string(page), options.theme, std::to_string(pageCount)}));
    }
  }
}

Options parseArguments(std::span<const std::string> args, Language language) {
  Options o;
  if (args.empty()) throw usageError(say(language, "no command given"));
  // A lone --version or --help needs none of the parser's objects, which cost more to
  // build than the rest of the program's start.
  if (args.size() == 1 && args[0].find('=') == std::string::npos) {
    if (const OptionSpec* option = optionNamed(args[0], {programOptions()}); option != nullptr) {
      o.*option->flag = true;
      if (o.version) o.command = Command::Version;
      return o;
    }
  }
  checkSyntax(args, language);

  // CLI11 reads the syntax: subcommands, "--opt value", "--opt=value", "-o value", "--".
  // The values are taken as texts and checked by the tables' stores, so that every
  // message is the program's own and in the user's language.
  CLI::App app;
  app.set_help_flag();
  app.allow_extras();
  for (const OptionSpec& option : programOptions()) app.add_flag(option.names, o.*option.flag);
  std::vector<std::string> operands;
  std::map<const OptionSpec*, std::vector<std::string>> values;
  std::map<const CommandSpec*, CLI::App*> subcommands;
  for (const CommandSpec& command : commandTable()) {
    CLI::App* sub = app.add_subcommand(command.name);
    sub->set_help_flag();
    sub->allow_extras();
    sub->fallthrough();  // --version and --help after the command
    sub->add_option("operands", operands);
    for (const auto& table : {command.options, commonOptions()}) {
      for (const OptionSpec& option : table) {
        if (option.value == nullptr) {
          sub->add_flag(option.names, o.*option.flag);
        } else {
          sub->add_option(option.names, values[&option])->allow_extra_args(false);
        }
      }
    }
    subcommands[&command] = sub;
  }

  std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError&) {
    // checkSyntax() has said what is wrong in the cases CLI11 refuses; --help and
    // --version win over what else is wrong.
    if (!o.version && !o.help) throw usageError(say(language, "the arguments cannot be read"));
  }
  if (o.version) {
    o.command = Command::Version;
    return o;
  }
  const CommandSpec* command = nullptr;
  for (const auto& [spec, sub] : subcommands) {
    if (sub->parsed()) command = spec;
  }
  if (command != nullptr) o.command = command->command;
  if (o.help) return o;
  if (command == nullptr) {
    const std::vector<std::string> left = app.remaining();
    const std::string word = left.empty() ? args[0] : left.front();
    std::vector<std::string_view> names;
    for (const CommandSpec& spec : commandTable()) names.emplace_back(spec.name);
    throw usageError(say(language, "unknown command {0}", {cli::quoted(word)}) + suggestion(word, names, language));
  }
  // Words the command does not know, wherever CLI11 left them (unknown options fall
  // through to the program before they are left over).
  std::vector<std::string> extras = app.remaining(false);
  for (const std::string& extra : subcommands[command]->remaining()) extras.push_back(extra);
  bool optionsEnded = false;
  for (const std::string& extra : extras) {
    if (extra == "--" && !optionsEnded) {  // what follows are file names, even "-x"
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && extra.size() > 1 && extra[0] == '-') {
      throw usageError(say(language, "unknown option {0} for {1}", {cli::quoted(extra), command->name}) +
                       suggestion(extra, namesFor({command->options, commonOptions(), programOptions()}), language));
    }
    operands.push_back(extra);
  }

  for (const auto& table : {command->options, commonOptions()}) {
    for (std::size_t k = 0; k < table.size(); ++k) {
      const OptionSpec& option = table[k];
      if (option.value == nullptr) continue;
      const std::vector<std::string>& given = values[&option];
      if (given.size() > 1 && (option.form & kRepeatable) == 0) {
        throw usageError(say(language, "{0} given twice", {nameOf(option)}));
      }
      if (given.empty() && (option.form & kRequired) != 0) {
        throw usageError(say(language, "{0} needs {1}", {command->name, std::string(nameOf(option)) + " " + option.value}));
      }
      // Both at once would leave the user guessing which came first: one or the other.
      if ((option.form & kOrNext) != 0 && k + 1 < table.size() && !given.empty() && !values[&table[k + 1]].empty()) {
        throw usageError(say(language, "{0} and {1} cannot be given together", {nameOf(option), nameOf(table[k + 1])}));
      }
      for (const std::string& value : given) option.store(o, value, language);
    }
  }

  const std::size_t themes = command->operands.size();
  if (operands.size() < themes) {
    throw usageError(say(language, themes == 2 ? "{0} needs two THEME files" : "{0} needs a THEME file", {command->name}));
  }
  if (operands.size() > themes) throw usageError(say(language, "unexpected argument {0}", {cli::quoted(operands[themes])}));
  o.theme = operands[0];
  if (themes == 2) o.other = operands[1];
  // Standard input can be read once: a second reader would find it empty.
  std::vector<std::string_view> readers;
  for (std::size_t k = 0; k < themes; ++k) {
    if (operands[k] == kStandardInput) readers.emplace_back(command->operands[k]);
  }
  for (const OptionSpec& option : command->options) {
    const std::vector<std::string>& given = values[&option];
    if ((option.form & kDashReadsInput) != 0 && std::find(given.begin(), given.end(), kStandardInput) != given.end()) {
      readers.push_back(nameOf(option));
    }
  }
  if (readers.size() > 1) {
    throw usageError(say(language, "{0} and {1} both read standard input, which can be read once", {readers[0], readers[1]}));
  }
  if (o.tsv && (o.json || o.languages)) throw usageError(say(language, "--tsv cannot be given with --json or --languages"));
  if (o.command == Command::Write) {
    if (!o.pages.empty() && !o.font && !o.size && !o.option && !o.grow && !o.scale) {
      throw usageError(say(language, "--page needs --font, --size, --option, --grow or --scale"));
    }
    if (o.from && *o.from == o.out) throw usageError(say(language, "-o {0} is the --from file: the edited list would be overwritten", {cli::quoted(o.out)}));
  }
  return o;
}

}  // namespace cli
