// marvento-cli: the command-line front end over the theme core. Exit status 0 on success,
// 1 when a file cannot be read or written as asked, 2 for bad usage.
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "arguments.h"
#include "cell_text.h"
#include "codepage.h"
#include "errors.h"
#include "font_pages.h"
#include "json_reader.h"
#include "list_printer.h"
#include "theme_image.h"
#include "write_command.h"

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
  SetConsoleOutputCP(CP_UTF8);
#else
  args.assign(argv + 1, argv + argc);
#endif
  return args;
}

int fail(const std::string& file, const std::string& what) {
  std::cerr << "marvento-cli: " << file << ": " << what << '\n';
  return kFailed;
}

int run(const std::vector<std::string>& args) {
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

  std::optional<theme::CodePage> cp;
  try {
    cp.emplace(options.codePage.value_or(theme::CodePage::kDefault));
  } catch (const std::invalid_argument&) {
    std::cerr << "marvento-cli: unknown code page " << options.codePage.value_or(theme::CodePage::kDefault) << '\n';
    return kBadUsage;
  }

  try {
    if (options.command == cli::Command::List) {
      theme::FontPages pages;
      (void)theme::loadTheme(cli::nativePath(options.theme), pages, *cp, cli::languageOf(options),
                             theme::Reading::ListedPartsOnly);
      if (options.json) {
        cli::printJson(std::cout, pages, *cp);
      } else {
        cli::printTable(std::cout, pages, *cp);
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
    return fail(options.from.value_or(""), std::string("not JSON: ") + e.what());
  } catch (const cli::EditError& e) {
    return fail(options.from.value_or(""), e.what());
  } catch (const theme::WriteError& e) {
    return fail(options.out, e.what());
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "marvento-cli: the output could not be written\n";
    return kFailed;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(utf8Arguments(argc, argv));
  } catch (const std::exception& e) {
    std::cerr << "marvento-cli: " << e.what() << '\n';
    return kFailed;
  }
}
