// marvento-cli: the command-line front end over the theme core. Exit status 0 on success,
// 1 when a file cannot be read or written as asked, 2 for bad usage.
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "arguments.h"
#include "cell_text.h"
#include "codepage.h"
#include "console_output.h"
#include "errors.h"
#include "font_pages.h"
#include "diff_printer.h"
#include "json_reader.h"
#include "json_writer.h"
#include "list_printer.h"
#include "messages.h"
#include "theme_diff.h"
#include "theme_image.h"
#include "words.h"
#include "write_command.h"
#include "utf8_codec.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

// The arguments in UTF-8, whatever the platform passes them in.
std::vector<std::string> utf8Arguments([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) {
      std::u16string text(reinterpret_cast<const char16_t*>(wide[i]));
      args.push_back(theme::utf16ToUtf8(text));
    }
    LocalFree(wide);
  }
#else
  args.assign(argv + 1, argv + argc);
#endif
  return args;
}

int fail(const std::string& file, const std::string& what) {
  std::cerr << "marvento-cli: " << file << ": " << what << '\n';
  return kFailed;
}

// Exit status of diff: 0 the same, 1 different, 2 trouble (as diff(1) has it).
constexpr int kDiffers = 1;
constexpr int kDiffTrouble = 2;

// Prints what differs between the two themes of `diff`.
int runDiff(const cli::Options& options, const theme::CodePage& cp) {
  theme::FontPages a;
  theme::FontPages b;
  for (const auto& [path, pages] : {std::pair{&options.theme, &a}, std::pair{&options.other, &b}}) {
    try {
      (void)theme::loadTheme(cli::nativePath(*path), *pages, cp, cli::languageOf(options));
    } catch (const std::exception& e) {  // above all ThemeError, but never "differs" by mistake
      std::cerr << "marvento-cli: " << *path << ": " << e.what() << '\n';
      return kDiffTrouble;
    }
  }
  const cli::ThemeDifference difference = cli::compareThemes(a, b, cp);
  if (options.json) {
    cli::writeJson(std::cout, cli::differenceDocument(difference));
  } else {
    cli::printDifferenceTable(std::cout, difference, cli::wordsForLocale());
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "marvento-cli: " << cli::say("the output could not be written") << '\n';
    return kDiffTrouble;
  }
  return difference.empty() ? 0 : kDiffers;
}

// How messages name the edited list.
std::string editedListName(const cli::Options& options) {
  const std::string from = options.from.value_or("");
  return from == cli::kStandardInput ? cli::say("standard input") : from;
}

int run(const std::vector<std::string>& args) {
  cli::useJapaneseMessages(cli::japaneseLocale());
  cli::Options options;
  try {
    options = cli::parseArguments(args);
  } catch (const cli::UsageError& e) {
    std::cerr << "marvento-cli: " << e.what() << '\n' << cli::kUsage;
    return kBadUsage;
  }
  if (options.command == cli::Command::Help) {
    std::cout << cli::kHelp;
    return 0;
  }
  if (options.command == cli::Command::Version) {
    std::cout << cli::kVersion;
    return 0;
  }

  std::optional<theme::CodePage> cp;
  try {
    cp.emplace(options.codePage.value_or(theme::CodePage::kDefault));
  } catch (const std::invalid_argument&) {
    std::cerr << "marvento-cli: "
              << cli::say("unknown code page {0}", {std::to_string(options.codePage.value_or(theme::CodePage::kDefault))})
              << '\n';
    return kBadUsage;
  }

  if (options.command == cli::Command::Diff) {
    try {
      return runDiff(options, *cp);
    } catch (const std::exception& e) {
      std::cerr << "marvento-cli: " << e.what() << '\n';
      return kDiffTrouble;
    }
  }

  try {
    if (options.command == cli::Command::List) {
      theme::FontPages pages;
      (void)theme::loadTheme(cli::nativePath(options.theme), pages, *cp, cli::languageOf(options),
                             theme::Reading::ListedPartsOnly);
      if (options.json) {
        cli::printJson(std::cout, pages, *cp);
      } else {
        cli::printTable(std::cout, pages, *cp, cli::wordsForLocale());
      }
    } else {
      cli::runWrite(options, *cp);
    }
  } catch (const cli::UsageError& e) {
    std::cerr << "marvento-cli: " << e.what() << '\n';
    return kBadUsage;
  } catch (const theme::ThemeError& e) {
    return fail(options.theme, e.what());
  } catch (const cli::JsonError& e) {
    return fail(editedListName(options), cli::say("not JSON: {0}", {e.what()}));
  } catch (const cli::EditError& e) {
    return fail(editedListName(options), e.what());
  } catch (const cli::ValueError& e) {
    std::cerr << "marvento-cli: " << e.what() << '\n';
    return kFailed;
  } catch (const theme::WriteError& e) {
    return fail(options.out, e.what());
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "marvento-cli: " << cli::say("the output could not be written") << '\n';
    return kFailed;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const cli::ConsoleCodePage console;
  try {
    return run(utf8Arguments(argc, argv));
  } catch (const std::exception& e) {
    std::cerr << "marvento-cli: " << e.what() << '\n';
    return kFailed;
  }
}
