// marvento-cli: the command-line front end over the theme core. Exit status 0 on success,
// 1 when a file cannot be read or written as asked, 2 for bad usage.
#include <cerrno>
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
#include "cli_error.h"
#include "command_theme.h"
#include "errors.h"
#include "font_page_reader.h"
#include "font_pages.h"
#include "diff_printer.h"
#include "json_reader.h"
#include "json_writer.h"
#include "list_printer.h"
#include "messages.h"
#include "resource_languages.h"
#include "theme_diff.h"
#include "shown_text.h"
#include "theme_image.h"
#include "words.h"
#include "write_command.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

using cli::Error;
using cli::kBadUsage;
using cli::kFailed;
using cli::Language;

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

// Whether a reader that went away (`| head`) made the output fail: the program then ends
// quietly, as SIGPIPE ends it on POSIX.
bool readerGone() {
#ifdef _WIN32
  const DWORD error = GetLastError();
  if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE) return true;
#endif
  return errno == EPIPE;
}

// Standard output, flushed; an error of `status` when it could not be written.
void flushOutput(int status, Language language) {
  std::cout.flush();
  if (std::cout) return;
  if (readerGone()) throw Error(status, "");
  throw Error(status, cli::say(language, "the output could not be written"));
}

// Exit status of diff: 0 the same, 1 different, 2 trouble (as diff(1) has it).
constexpr int kDiffers = 1;
constexpr int kDiffTrouble = 2;

// Prints what differs between the two themes of `diff`.
int runDiff(const cli::Options& options, const theme::CodePage& cp, Language language) {
  theme::FontPages a;
  theme::FontPages b;
  const auto asked = *cli::languageOf(options);
  const bool sayFallback = cli::languageAsked(options);
  theme::ThemeImage imageA;
  theme::ThemeImage imageB;
  const theme::ThemeSettings settingsA =
      cli::loadSettingsForCommand(options.theme, imageA, a, cp, asked, sayFallback, language, kDiffTrouble);
  const theme::ThemeSettings settingsB =
      cli::loadSettingsForCommand(options.other, imageB, b, cp, asked, sayFallback, language, kDiffTrouble);
  cli::ThemeDifference difference = cli::compareThemes(a, settingsA, b, settingsB, cp);
  difference.otherLanguages = cli::otherLanguageDifferences(imageA, imageB);
  difference.fileParts = cli::filePartsDifferences(imageA, imageB);
  if (options.quiet) return difference.empty() ? 0 : kDiffers;
  if (options.json) {
    cli::writeJson(std::cout, cli::differenceDocument(difference));
  } else {
    // Named first, as diff -r names each pair of files, when something differs.
    if (!difference.empty()) std::cout << "diff " << theme::shown(options.theme) << ' ' << theme::shown(options.other) << '\n';
    cli::printDifferenceTable(std::cout, difference, cli::wordsForLocale());
  }
  flushOutput(kDiffTrouble, language);
  return difference.empty() ? 0 : kDiffers;
}

void runList(const cli::Options& options, const theme::CodePage& cp, Language language) {
  theme::FontPages pages;
  const auto asked = *cli::languageOf(options);
  if (!options.languages && !options.json) {  // the settings walked as printed, without a row for each
    theme::ThemeImage image;
    const theme::ThemeSettings settings =
        cli::loadSettingsForCommand(options.theme, image, pages, cp, asked, cli::languageAsked(options), language);
    cli::checkPages(options, pages.pageCount, language);
    if (options.tsv) {
      cli::printTsv(std::cout, pages, settings, cp, options.pages);
    } else {
      cli::printTable(std::cout, pages, settings, cp, cli::wordsForLocale(), {asked, cp.id()}, options.pages);
    }
    return;
  }
  const theme::ThemeImage image = cli::loadForCommand(options.theme, pages, cp, asked, cli::languageAsked(options), language);
  if (options.languages) {
    const auto resources = cli::listLanguages(image);
    if (options.json) {
      cli::writeJson(std::cout, cli::languagesDocument(resources));
    } else {
      cli::printLanguages(std::cout, resources);
    }
    return;
  }
  cli::checkPages(options, pages.pageCount, language);
  const cli::ListedAs as{asked, cp.id()};
  if (options.tsv) {
    cli::printTsv(std::cout, pages, cp, options.pages);
  } else if (options.json) {
    cli::printJson(std::cout, pages, cp, as, options.pages);
  } else {
    cli::printTable(std::cout, pages, cp, cli::wordsForLocale(), as, options.pages);
  }
}

int run(const std::vector<std::string>& args, Language language) {
  const cli::Options options = cli::parseArguments(args, language);
  if (options.help || options.command == cli::Command::Version) {
    std::cout << (options.help ? cli::helpText(options.command) : std::string(cli::kVersion));
    flushOutput(kFailed, language);
    return 0;
  }

  std::optional<theme::CodePage> cp;
  const unsigned codePage = options.codePage.value_or(theme::defaultCodePage());
  if (options.command != cli::Command::Write) {  // write takes the edited list's code page
    try {
      cp.emplace(codePage);
    } catch (const std::invalid_argument&) {
      throw Error(kBadUsage, cli::say(language, "unknown code page {0}", {std::to_string(codePage)}));
    }
  }
  switch (options.command) {
    case cli::Command::Diff:
      return runDiff(options, *cp, language);
    case cli::Command::List:
      runList(options, *cp, language);
      break;
    default:
      cli::runWrite(options, language);
  }
  flushOutput(kFailed, language);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const cli::ConsoleCodePage console;
  const Language language = cli::japaneseLocale() ? Language::Japanese : Language::English;
  // Every error ends here, and only here, as one line on standard error, shown as the
  // terminal must get it (a file name holding escapes).
  try {
    return run(utf8Arguments(argc, argv), language);
  } catch (const Error& e) {
    if (*e.what() != '\0') std::cerr << "marvento-cli: " << theme::shown(e.what()) << '\n';
    if (e.withUsage()) std::cerr << cli::usageText();
    return e.status();
  } catch (const std::exception& e) {
    std::cerr << "marvento-cli: " << theme::shown(e.what()) << '\n';
    return kFailed;
  }
}
