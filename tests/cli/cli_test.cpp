// marvento-cli end to end: the built program is run on theme files on disk and its
// output, exit status and written files are checked.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "marvento_version.h"
#include "option_table.h"
#include "theme_builder.h"
#include "wine_themes.h"

namespace {

namespace mt = marvento_test;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string readText(const std::string& path) {
  const mt::Bytes b = mt::readFile(path);
  return {b.begin(), b.end()};
}

// Starts the program with `args`: standard error into the file `errFile`, standard input
// from the file `input` and standard output into `outFd` when given (otherwise this
// process's), in this process's environment with the assignments of `environment`
// ("LC_ALL= LANG=ja_JP.UTF-8") made. Every test starts the program through here.
pid_t spawnCli(const std::vector<std::string>& args, const std::string& errFile, const std::string& input = "",
               int outFd = -1, const std::string& environment = "") {
  std::vector<std::string> argStore = {MARVENTO_CLI_PATH};
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<std::string> envStore;
  for (char** e = environ; *e != nullptr; ++e) envStore.emplace_back(*e);
  std::istringstream assignments(environment);
  for (std::string a; assignments >> a;) {
    const std::string name = a.substr(0, a.find('=') + 1);
    std::erase_if(envStore, [&](const std::string& e) { return e.starts_with(name); });
    envStore.push_back(a);
  }
  auto pointers = [](std::vector<std::string>& store) {
    std::vector<char*> p;
    for (auto& s : store) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  };
  std::vector<char*> argv = pointers(argStore);
  std::vector<char*> envp = pointers(envStore);

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!input.empty()) posix_spawn_file_actions_addopen(&files, 0, input.c_str(), O_RDONLY, 0);
  if (outFd >= 0) posix_spawn_file_actions_adddup2(&files, outFd, 1);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&files);
  return pid;
}

// Runs the program with `args` to its end; `input` names a file for its standard input,
// `environment` holds assignments as for spawnCli ("LC_ALL=ja_JP.UTF-8"; English by
// default, whatever the machine's locale).
Result run(const std::vector<std::string>& args, const std::string& input = "", const std::string& environment = "") {
  static mt::TempDir scratch;
  const std::string errFile = scratch.file("stderr");
  Result r;
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return r;
  const pid_t pid = spawnCli(args, errFile, input, out[1], environment.empty() ? "LC_ALL=C" : environment);
  close(out[1]);
  char buffer[4096];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) r.out.append(buffer, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = readText(errFile);
  return r;
}

// JSON without the blanks and line breaks between tokens, for comparing with texts
// written on one line.
std::string compactJson(const std::string& json) {
  std::string out;
  bool inString = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      out += c;
      if (c == '\\') out += json[++i];
      else if (c == '"') inString = false;
    } else if (c == '"') {
      out += c;
      inString = true;
    } else if (c != ' ' && c != '\n') {
      out += c;
    }
  }
  return out + "\n";
}

std::size_t countOf(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Every `key` value (font, size or option) of a compact JSON list replaced by `value`
// (already JSON-escaped).
std::string withAll(const std::string& json, const std::string& key, const std::string& value) {
  const std::regex member("\"" + key + R"re(":"(?:[^"\\]|\\.)*")re");
  return std::regex_replace(json, member, "\"" + key + "\":\"" + value + "\"");
}
std::string withFonts(const std::string& json, const std::string& face) { return withAll(json, "font", face); }

void replaceOnce(std::string& text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  ASSERT_EQ(text.find(from, at + 1), std::string::npos) << from << " occurs twice";
  text.replace(at, from.size(), to);
}

// mt::oneSizeTheme() with `blueIni` as its one INI text, written to `dir` as `name`.
std::string blueTheme(mt::TempDir& dir, const std::string& name, std::u16string_view blueIni) {
  mt::ThemeBuilder b = mt::oneSizeTheme();
  b.textFile(u"BLUE_INI", blueIni);
  return dir.write(name, b.build().bytes);
}

// Two sizes, one colour. Page 0 gets rows from NORMALBLUE_INI, THEMES_INI and a string
// entry; page 1 from LARGEBLUE_INI (one font name outside code page 932) and THEMES_INI.
mt::ThemeBuilder twoSizeBuilder(const mt::BuildOptions& options = {}) {
  mt::ThemeBuilder b(options);
  b.nameLists({u"Blue"}, {u"NORMALBLUE_INI", u"LARGEBLUE_INI"}, {u"NormalSize", u"LargeSize"});
  b.textFile(u"NORMALBLUE_INI",
             u"[Button]\r\nFont = Tahoma, 8\r\n[Window]\r\nCaptionFont = ＭＳ ゴシック, 9, Bold\r\nColor = 1 2 3\r\n");
  b.textFile(u"LARGEBLUE_INI", u"[Button]\r\nFont = Tahoma, 12\r\nTitleFont = Café, 10\r\n");
  b.textFile(u"THEMES_INI",
             u"[documentation]\r\nDisplayName = Blue\r\n[Sizes.NormalSize]\r\nMenuFont = Tahoma, 8\r\n"
             u"[Sizes.LargeSize]\r\nIconFont = Back\\Slash \"Q\", 9\r\n");
  b.strings(mt::blockOf(3000), mt::stringBlock({{mt::indexInBlock(3000), u"標準"},
                                                {mt::indexInBlock(3001), u"Large"},
                                                {mt::indexInBlock(3002), u"NORMALBLUE@[Status]Font=Tahoma, 9, Italic"}}));
  b.strings(mt::blockOf(5000), mt::stringBlock({{mt::indexInBlock(5000), u"ルナ"}}));
  return b;
}
mt::Bytes twoSizeTheme() { return twoSizeBuilder().build().bytes; }

// What `list --json` prints for twoSizeTheme(), written out by hand: every text exactly as
// the file holds it, whatever the code page shows ("Café"), and how it was read.
std::string twoSizeJson(const std::string& language = "0x0409") {
  return R"({"language":")" + language + R"(","codePage":932,"pageCount":2,"colourCount":1,"styleName":"ルナ","sizeNameBoxes":["標準","Large","","",""],"pages":[)"
         R"({"index":0,"sizeName":"NormalSize","rows":[)"
         R"({"file":"NORMALBLUE_INI","section":"Button","key":"Font","font":"Tahoma","size":"8","option":""},)"
         R"({"file":"NORMALBLUE_INI","section":"Window","key":"CaptionFont","font":"ＭＳ ゴシック","size":"9","option":"Bold"},)"
         R"({"file":"THEMES_INI","section":"Sizes.NormalSize","key":"MenuFont","font":"Tahoma","size":"8","option":""},)"
         R"({"file":"NORMALBLUE","section":"Status","key":"Font","font":"Tahoma","size":"9","option":"Italic"}]},)"
         R"({"index":1,"sizeName":"LargeSize","rows":[)"
         R"({"file":"LARGEBLUE_INI","section":"Button","key":"Font","font":"Tahoma","size":"12","option":""},)"
         R"({"file":"LARGEBLUE_INI","section":"Button","key":"TitleFont","font":"Café","size":"10","option":""},)"
         R"({"file":"THEMES_INI","section":"Sizes.LargeSize","key":"IconFont","font":"Back\\Slash \"Q\"","size":"9","option":""}]}]})"
         "\n";
}

class CliOnSyntheticTheme : public ::testing::Test {
 protected:
  mt::TempDir dir;
  std::string theme = dir.write("blue.msstyles", twoSizeTheme());
  std::string out = dir.file("out.msstyles");

  std::string listJson(const std::string& path, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"list", path, "--json"};
    args.insert(args.end(), extra.begin(), extra.end());
    const Result r = run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return compactJson(r.out);
  }
  std::string editedList(const std::string& json) { return dir.write("edited.json", {json.begin(), json.end()}); }
};

// ---------------------------------------------------------------- list

constexpr const char* kJapanese = "LC_ALL=ja_JP.UTF-8";

TEST_F(CliOnSyntheticTheme, ListPrintsATablePerPageAndTheStyleName) {
  const Result r = run({"list", theme}, "", kJapanese);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "言語 0x0411、コードページ 932\n"
            "\n"
            "[0] NormalSize\n"
            "  フォントサイズ名: 標準\n"
            "  内部ファイル名  セクション        キー         フォント名     サイズ  オプション\n"
            "  NORMALBLUE_INI  Button            Font         Tahoma         8\n"
            "  NORMALBLUE_INI  Window            CaptionFont  ＭＳ ゴシック  9       Bold\n"
            "  THEMES_INI      Sizes.NormalSize  MenuFont     Tahoma         8\n"
            "  NORMALBLUE      Status            Font         Tahoma         9       Italic\n"
            "\n"
            "[1] LargeSize\n"
            "  フォントサイズ名: Large\n"
            "  内部ファイル名  セクション       キー       フォント名      サイズ  オプション\n"
            "  LARGEBLUE_INI   Button           Font       Tahoma          12\n"
            "  LARGEBLUE_INI   Button           TitleFont  Caf?            10\n"
            "  THEMES_INI      Sizes.LargeSize  IconFont   Back\\Slash \"Q\"  9\n"
            "\n"
            "スタイル名: ルナ\n");
}

// Past 256 KiB of rows the table walks the theme twice instead of keeping them: the
// rows come out once each, in order, padded to the widest cell of all (the last here).
TEST(CliList, ATableOfMoreRowsThanItKeepsIsPaddedToItsWidestCell) {
  mt::TempDir dir;
  constexpr int kRows = 30000;
  std::u16string ini = u"[S]\r\n";
  for (int i = 0; i < kRows; ++i) {
    const std::string n = std::to_string(i);
    ini += u"Font" + std::u16string(n.begin(), n.end()) + u" = Tahoma Sans Serif Regular, 9\r\n";
  }
  ini += u"FontLast = " + std::u16string(40, u'W') + u", 9\r\n";
  const Result r = run({"list", "--page", "0", blueTheme(dir, "many.msstyles", ini)}, "", "LC_ALL=C");
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  int rows = 0;
  std::size_t sizeColumn = std::string::npos;
  while (std::getline(lines, line)) {
    if (!line.starts_with("  BLUE_INI")) continue;
    const std::size_t at = line.rfind("  9") + 2;
    if (sizeColumn == std::string::npos) sizeColumn = at;
    ASSERT_EQ(at, sizeColumn) << "row " << rows << ": " << line;
    ++rows;
  }
  EXPECT_EQ(rows, kRows + 1);
  EXPECT_NE(r.out.find(std::string(40, 'W') + "  9\n"), std::string::npos);
  EXPECT_GE(r.out.size(), std::size_t{1} << 20);  // well past what is kept
}

TEST_F(CliOnSyntheticTheme, TableTitlesFollowTheLocale) {
  const std::string english =
      "Language 0x0409, code page 932\n"
      "\n"
      "[0] NormalSize\n"
      "  Font size name: 標準\n"
      "  Internal file name  Section           Key          Font name      Size  Option\n"
      "  NORMALBLUE_INI      Button            Font         Tahoma         8\n";
  const std::string japanese = "言語 0x0411、コードページ 932\n\n[0] NormalSize\n  フォントサイズ名: 標準\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"LC_ALL= LC_MESSAGES= LANG=C.UTF-8", english},
      {"LC_ALL= LC_MESSAGES= LANG=ja_JP.UTF-8", japanese},
      {"LC_ALL= LC_MESSAGES=ja_JP.eucJP LANG=en_US.UTF-8", japanese},
      {"LC_ALL=C LANG=ja_JP.UTF-8", english},
      {"LC_ALL= LC_MESSAGES= LANG=", english},
  };
  for (const auto& [environment, start] : cases) {
    const Result r = run({"list", theme}, "", environment);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, start.size()), start) << environment;
  }
  const Result plain = run({"list", theme}, "", "LC_ALL=C");
  EXPECT_NE(plain.out.find("\nStyle name: ルナ\n"), std::string::npos) << plain.out;
  EXPECT_EQ(compactJson(run({"list", theme, "--json"}, "", kJapanese).out), twoSizeJson("0x0411"));
}

TEST_F(CliOnSyntheticTheme, ListJsonHasExactlyTheDocumentedShape) {
  EXPECT_EQ(listJson(theme), twoSizeJson());
  // Another code page shows the same bytes differently: é is kept in the file.
  const std::string western = listJson(theme, {"--codepage", "1252"});
  EXPECT_NE(western.find(R"("key":"TitleFont","font":"Café")"), std::string::npos) << western;
}

TEST(CliJson, ListIsIndentedByTwoSpaces) {
  mt::TempDir dir;
  const Result r = run({"list", blueTheme(dir, "one.msstyles", u"[Button]\r\nFont = Tahoma, 8\r\n"), "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\n"
            "  \"language\": \"0x0409\",\n"
            "  \"codePage\": 932,\n"
            "  \"pageCount\": 1,\n"
            "  \"colourCount\": 1,\n"
            "  \"styleName\": \"\",\n"
            "  \"sizeNameBoxes\": [\n    \"\",\n    \"\",\n    \"\",\n    \"\",\n    \"\"\n  ],\n"
            "  \"pages\": [\n"
            "    {\n"
            "      \"index\": 0,\n"
            "      \"sizeName\": \"Normal\",\n"
            "      \"rows\": [\n"
            "        {\n"
            "          \"file\": \"BLUE_INI\",\n"
            "          \"section\": \"Button\",\n"
            "          \"key\": \"Font\",\n"
            "          \"font\": \"Tahoma\",\n"
            "          \"size\": \"8\",\n"
            "          \"option\": \"\"\n"
            "        }\n"
            "      ]\n"
            "    }\n"
            "  ]\n"
            "}\n");
}

// ---------------------------------------------------------------- write

TEST_F(CliOnSyntheticTheme, FontSetsTheFaceOfEveryRowAndNothingElse) {
  const Result r = run({"write", theme, "-o", out, "--font", "ＭＳ 明朝"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(listJson(out), withFonts(twoSizeJson(), "ＭＳ 明朝"));
  EXPECT_EQ(listJson(theme), twoSizeJson());  // the input is untouched
}

TEST_F(CliOnSyntheticTheme, FontWithPageChangesOnlyThatPage) {
  const Result r = run({"write", theme, "-o", out, "--font", "Verdana", "--page", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto split = twoSizeJson().find(R"({"index":1)");
  EXPECT_EQ(listJson(out), twoSizeJson().substr(0, split) + withFonts(twoSizeJson().substr(split), "Verdana"));
}

TEST_F(CliOnSyntheticTheme, SizeAndOptionSetEveryRowOfTheChosenPagesAfterFrom) {
  std::string edited = twoSizeJson();
  replaceOnce(edited, R"("styleName":"ルナ")", R"("styleName":"Luna")");
  Result r = run({"write", theme, "-o", out, "--from", editedList(edited), "--page", "1", "--size", "-11", "--option",
                  "bold ITALIC", "--page", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto split = edited.find(R"({"index":1)");
  EXPECT_EQ(listJson(out),
            edited.substr(0, split) + withAll(withAll(edited.substr(split), "size", "-11"), "option", "bold ITALIC"));

  r = run({"write", theme, "-o", out, "--option", "", "--page", "0", "--page", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(listJson(out), withAll(twoSizeJson(), "option", ""));
}

TEST_F(CliOnSyntheticTheme, FromAppliesEditedValuesAndBoxes) {
  std::string edited = twoSizeJson();
  replaceOnce(edited, R"("font":"ＭＳ ゴシック","size":"9","option":"Bold")",
              R"("font":"メイリオ","size":"11","option":"Bold Italic")");
  replaceOnce(edited, R"("key":"Font","font":"Tahoma","size":"12","option":"")",
              R"("key":"Font","font":"Arial","size":"12","option":"Italic")");
  replaceOnce(edited, R"("sizeNameBoxes":["標準","Large")", R"("sizeNameBoxes":["標準","大きい \"L\"")");
  replaceOnce(edited, R"("styleName":"ルナ")", R"("styleName":"Luna")");
  const Result r = run({"write", theme, "-o", out, "--from", editedList(edited)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(listJson(out), edited);
}

// Writes `bytes` into a FIFO made at `path` once a reader opens it, as a shell's <(cat x)
// feeds a pipe; gives up after ten seconds without a reader.
std::thread feedFifo(const std::string& path, const mt::Bytes& bytes) {
  EXPECT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
  return std::thread([path, bytes] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int fd = -1;
    while ((fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (fd < 0) return;
    fcntl(fd, F_SETFL, 0);
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    close(fd);
  });
}

// "-" names standard input for THEME, --from and --fonts-from; standard input and pipes,
// which cannot be read at an offset, are read whole and give what the file gives.
TEST_F(CliOnSyntheticTheme, StandardInputAndPipesAreReadWhole) {
  std::string edited = twoSizeJson();
  replaceOnce(edited, R"("styleName":"ルナ")", R"("styleName":"Luna")");
  Result r = run({"write", theme, "-o", out, "--from", "-"}, editedList(edited));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(listJson(out), edited);
  r = run({"write", theme, "-o", out, "--from", "-"}, editedList("{"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("marvento-cli: standard input: not JSON: line 1, column 2", 0), 0U) << r.err;

  const Result listed = run({"list", theme});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(run({"list", "-"}, theme).out, listed.out);
  std::thread writer = feedFifo(dir.file("theme.fifo"), mt::readFile(theme));
  EXPECT_EQ(run({"list", dir.file("theme.fifo")}).out, listed.out);
  writer.join();
  EXPECT_EQ(run({"diff", theme, "-"}, theme).status, 0);

  const std::string expected = dir.file("expected.msstyles");
  ASSERT_EQ(run({"write", theme, "-o", expected, "--font", "Arial"}).status, 0);
  r = run({"write", "-", "-o", out, "--font", "Arial"}, theme);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(mt::readFile(out), mt::readFile(expected));

  // A font set as a list, from a pipe and from standard input.
  const std::string arial = withFonts(twoSizeJson(), "Arial");
  writer = feedFifo(dir.file("set.fifo"), {arial.begin(), arial.end()});
  r = run({"write", theme, "-o", out, "--fonts-from", dir.file("set.fifo")});
  writer.join();
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(listJson(out), arial);
  ASSERT_EQ(std::filesystem::remove(out), true);
  r = run({"write", theme, "-o", out, "--fonts-from", "-"}, editedList(arial));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(listJson(out), arial);

  r = run({"list", "-"}, dir.write("empty", {}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "marvento-cli: standard input: the file is empty\n");
  // An endless stream (a node of our own with the numbers of /dev/zero) is refused, not read on.
  const std::string zero = dir.file("zero");
  if (mknod(zero.c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0) {
    r = run({"list", "-"}, zero);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "marvento-cli: standard input: more than 256 MiB from a pipe or device, too large for a theme\n");
  }
}

TEST_F(CliOnSyntheticTheme, FromWithTheUneditedListChangesNoByte) {
  // "Caf?" is how code page 932 shows "Café"; left as it is, the é must survive.
  ASSERT_EQ(run({"write", theme, "-o", out}).status, 0);
  const std::string again = dir.file("again.msstyles");
  const Result r = run({"write", theme, "-o", again, "--from", editedList(twoSizeJson())});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(mt::readFile(again), mt::readFile(out));
  EXPECT_NE(listJson(again, {"--codepage", "1252"}).find(R"("font":"Café")"), std::string::npos);
}

TEST_F(CliOnSyntheticTheme, FromThatDoesNotFitTheThemeIsRefusedNamingTheRow) {
  struct Case {
    std::string from, to, message;
  };
  std::string face32;
  std::string face31;
  for (int i = 0; i < 32; ++i) face32 += "ゴ";  // 64 bytes in code page 932
  for (int i = 0; i < 31; ++i) face31 += "ゴ";  // 62 bytes
  const std::vector<Case> cases = {
      {R"("key":"MenuFont")", R"("key":"MenuFonts")", "page 0 row 2: key \"MenuFonts\" does not match"},
      {R"("section":"Status")", R"("section":"status")", "page 0 row 3: section"},
      {R"("file":"LARGEBLUE_INI","section":"Button","key":"Font")", R"("file":"LARGEBLUE","section":"Button","key":"Font")",
       "page 1 row 0: file"},
      {R"("font":"Tahoma","size":"12")", "\"font\":\"" + face32 + "\",\"size\":\"12\"", "page 1 row 0: font"},
      {R"("size":"12")", R"("size":"12,5")", "page 1 row 0: size \"12,5\" is not a whole number"},
      {R"("size":"12")", R"("size":"0")", "page 1 row 0: size \"0\" is 0"},
      {R"("size":"12")", R"("size":"-")", "page 1 row 0: size \"-\" is not a whole number"},
      {R"("size":"12")", R"("size":"99999999999")", "page 1 row 0: size \"99999999999\" is out of range"},
      {R"("font":"Tahoma","size":"12")", R"("font":"  　","size":"12")", "page 1 row 0: font \"  　\" is blank"},
      {R"("font":"Tahoma","size":"12")", R"("font":"Ta[ho]ma","size":"12")", "page 1 row 0: font \"Ta[ho]ma\" holds a '['"},
      {R"("font":"Tahoma","size":"12")", R"("font":"Tahoma, Bold","size":"12")",
       "page 1 row 0: font \"Tahoma, Bold\" holds a ','"},
      {R"("option":"Italic")", R"("option":"Italic bold ITALIC")", "page 0 row 3: option \"Italic bold ITALIC\" says italic twice"},
      {R"("option":"Italic")", R"("option":"Heavy")", "page 0 row 3: option \"Heavy\" is not made of the words"},
      // written as listed, or refused: the reader would drop blanks at either end
      {R"("font":"Tahoma","size":"12")", R"("font":"Tahoma ","size":"12")", "page 1 row 0: font \"Tahoma \" begins or ends with a blank"},
      {R"("option":"Italic")", R"("option":" ")", "page 0 row 3: option \" \" begins or ends with a blank"},
      {R"("sizeNameBoxes":["標準","Large","",)", R"("sizeNameBoxes":["標準","Large","Huge",)",
       "sizeNameBoxes[2]: the theme has no string for this name"},
      {R"("option":"Italic")", R"("option":"Ital\nic")", "page 0 row 3: option \"Ital\\nic\" holds a control character"},
      {R"("option":"Italic")", R"("option":"Ïtalic")", "page 0 row 3: option \"Ïtalic\" holds characters"},
      {R"("option":"Bold"},)", R"("option":"Bold"},{"file":"X","section":"S","key":"K","font":"F","size":"1","option":""},)",
       "page 0 row 2: file \"X\" does not match the theme's \"THEMES_INI\""},
      {R"({"index":1,)", R"({"index":9,)", "pages[1]: \"index\" must be a page of the theme, 0 to 1"},
      {R"({"index":1,)", R"({"index":0.5,)", "pages[1]: \"index\" must be a page of the theme"},
      {R"({"index":1,)", R"({"index":0,)", "pages[1]: page 0 listed twice"},
      {R"("size":"9","option":""}]}]})", R"("size":"9","option":""},{"file":"A","section":"B","key":"C","font":"D","size":"1","option":""}]}]})",
       "page 1 row 3: the theme has no such row"},
      {R"(,{"file":"THEMES_INI","section":"Sizes.LargeSize","key":"IconFont","font":"Back\\Slash \"Q\"","size":"9","option":""})", "",
       "page 1: lists 2 rows, the theme has 3"},
      {R"("sizeNameBoxes":["標準","Large","","",""])", R"("sizeNameBoxes":["標準","Large","",""])", "\"sizeNameBoxes\" must be"},
      {R"("styleName":"ルナ")", "\"styleName\":\"" + face32 + "\"", "styleName"},
      {R"("size":"8","option":""})", R"("size":true,"option":""})", "page 0 row 0: \"size\" must be a string"},
      {R"("pages":[)", R"("pages":[}])", "not JSON: line 1, column"},
      // members checked by name
      {R"("styleName":)", R"("stylename":)", "unknown key \"stylename\""},
      {R"("index":1,)", R"("index":1,"rowz":[],)", "pages[1]: unknown key \"rowz\""},
      {R"("option":"Bold"})", R"("option":"Bold","colour":"red"})", "page 0 row 1: unknown key \"colour\""},
      {R"("pageCount":2,)", R"("pageCount":3,)", "\"pageCount\" cannot be changed: the theme's is \"2\""},
      {R"("colourCount":1,)", R"("colourCount":"2",)", "\"colourCount\" cannot be changed"},
      {R"("sizeName":"LargeSize")", R"("sizeName":"Huge")", "pages[1]: \"sizeName\" cannot be changed: the theme's is \"LargeSize\""},
      {R"(,"option":"Bold"})", "}", "page 0 row 1: \"option\" is missing"},
      {R"("index":1,)", "", "pages[1]: \"index\" is missing"},
      {R"("size":"12")", R"("size":12.5)", "page 1 row 0: size \"12.5\" is not a whole number"},
      {R"("codePage":932)", R"("codePage":"932")", "\"codePage\" must be a code page number"},
      {R"("language":"0x0409")", R"("language":"en")", "\"language\" must be a language id"},
  };
  for (const Case& c : cases) {
    std::string edited = twoSizeJson();
    const auto at = edited.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    edited.replace(at, c.from.size(), c.to);
    const std::string path = editedList(edited);
    const Result r = run({"write", theme, "-o", out, "--from", path});
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.err.rfind("marvento-cli: " + path + ": " + c.message, 0), 0U) << r.err;
    EXPECT_EQ(countOf(r.err, "\n"), 1U) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
  }

  // The longest face that fits is taken, and so are signed sizes and options in any case.
  std::string edited = twoSizeJson();
  replaceOnce(edited, R"("font":"Tahoma","size":"12")", "\"font\":\"" + face31 + "\",\"size\":\"12\"");
  replaceOnce(edited, R"("size":"10","option":"")", R"("size":"-13","option":"strikeout  ITALIC Underline bold")");
  replaceOnce(edited, R"("MenuFont","font":"Tahoma","size":"8")", R"("MenuFont","font":"Tahoma","size":"+7")");
  const Result r = run({"write", theme, "-o", out, "--from", editedList(edited)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(listJson(out), edited);
}

TEST_F(CliOnSyntheticTheme, WriteOntoTheLoadedFileItself) {
  const Result r = run({"write", theme, "-o", theme, "--font", "Arial"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(listJson(theme), withFonts(twoSizeJson(), "Arial"));
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"blue.msstyles"});  // no temporary file left behind
}

// ---------------------------------------------------------------- diff

// twoSizeTheme() with a face, size and option changed, a row dropped, one added, one face
// that code page 932 shows as before ("Cafè" and "Café" are both "Caf?"), and new names.
mt::Bytes twoSizeThemeChanged() {
  mt::ThemeBuilder b;
  b.nameLists({u"Blue"}, {u"NORMALBLUE_INI", u"LARGEBLUE_INI"}, {u"NormalSize", u"LargeSize"});
  b.textFile(u"NORMALBLUE_INI",
             u"[Button]\r\nFont = Arial, 9, Bold\r\n[Window]\r\nCaptionFont = ＭＳ ゴシック, 9, Bold\r\n"
             u"SmCaptionFont = Tahoma, 7\r\n");
  b.textFile(u"LARGEBLUE_INI", u"[Button]\r\nFont = Tahoma, 12\r\nTitleFont = Cafè, 10\r\n");
  b.textFile(u"THEMES_INI", u"[documentation]\r\nDisplayName = Blue\r\n[Sizes.NormalSize]\r\nMenuFont = Tahoma, 8\r\n");
  b.strings(mt::blockOf(3000), mt::stringBlock({{mt::indexInBlock(3000), u"標準"},
                                                {mt::indexInBlock(3001), u"大きい"},
                                                {mt::indexInBlock(3002), u"NORMALBLUE@[Status]Font=Tahoma, 9, Italic"}}));
  b.strings(mt::blockOf(5000), mt::stringBlock({{mt::indexInBlock(5000), u"Luna"}}));
  return b.build().bytes;
}

TEST_F(CliOnSyntheticTheme, MessagesAreJapaneseUnderAJapaneseLocale) {
  std::string edited = twoSizeJson("0x0411");  // as listed under that locale
  replaceOnce(edited, R"("size":"12")", R"("size":"0")");
  const std::string badSize = editedList(edited);
  const std::string notJson = dir.write("not.json", {'{'});
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"show", theme}, "marvento-cli: \"show\" というコマンドはありません\n"},
      {{"write", theme, "-o", out, "--size", "0"}, "marvento-cli: --size \"0\" が 0 です\n"},
      {{"write", theme, "-o", out, "--from", badSize}, "marvento-cli: " + badSize + ": ページ 1 行 0: size \"0\" が 0 です\n"},
      {{"write", theme, "-o", out, "--from", notJson},
       "marvento-cli: " + notJson + ": JSON ではありません: 1 行 2 桁: メンバー名があるはずです\n"},
  };
  for (const Case& c : cases) {
    const Result r = run(c.args, "", kJapanese);
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), c.message);
    const Result english = run(c.args, "", "LC_ALL=C");
    EXPECT_EQ(english.err.find("です"), std::string::npos) << english.err;
  }
}

TEST_F(CliOnSyntheticTheme, DiffListsChangedAndUnpairedRowsAndNames) {
  const std::string changed = dir.write("changed.msstyles", twoSizeThemeChanged());
  const Result r = run({"diff", theme, changed}, "", "LC_ALL=C");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out,
            "diff " + theme + " " + changed + "\n"
            "Style name: \"ルナ\" -> \"Luna\"\n"
            "[0] NormalSize\n"
            "  changed    NORMALBLUE_INI [Button] Font: Tahoma, 8 -> Arial, 9, Bold\n"
            "  only in B  NORMALBLUE_INI [Window] SmCaptionFont: Tahoma, 7\n"
            "[1] LargeSize\n"
            "  Font size name: \"Large\" -> \"大きい\"\n"
            "  changed    LARGEBLUE_INI [Button] TitleFont: Caf?, 10 -> Caf?, 10\n"
            "  only in A  THEMES_INI [Sizes.LargeSize] IconFont: Back\\Slash \"Q\", 9\n");

  const Result json = run({"diff", theme, changed, "--json"});
  EXPECT_EQ(json.status, 1) << json.err;
  EXPECT_EQ(compactJson(json.out),
            R"({"differs":true,"styleName":{"a":"ルナ","b":"Luna"},"pages":[)"
            R"({"index":0,"changed":[{"file":"NORMALBLUE_INI","section":"Button","key":"Font",)"
            R"("a":{"font":"Tahoma","size":"8","option":""},"b":{"font":"Arial","size":"9","option":"Bold"}}],)"
            R"("onlyInA":[],"onlyInB":[{"file":"NORMALBLUE_INI","section":"Window","key":"SmCaptionFont",)"
            R"("font":"Tahoma","size":"7","option":""}]},)"
            R"({"index":1,"sizeNameBox":{"a":"Large","b":"大きい"},"changed":[{"file":"LARGEBLUE_INI",)"
            R"("section":"Button","key":"TitleFont","a":{"font":"Caf?","size":"10","option":""},)"
            R"("b":{"font":"Caf?","size":"10","option":""}}],"onlyInA":[{"file":"THEMES_INI",)"
            R"("section":"Sizes.LargeSize","key":"IconFont","font":"Back\\Slash \"Q\"","size":"9","option":""}],)"
            R"("onlyInB":[]}]})"
            "\n");

  const Result japanese = run({"diff", theme, changed}, "", kJapanese);
  EXPECT_NE(japanese.out.find("\n  変更   NORMALBLUE_INI [Button] Font: "), std::string::npos) << japanese.out;
  EXPECT_NE(japanese.out.find("\n  Aのみ  THEMES_INI"), std::string::npos) << japanese.out;
}

TEST_F(CliOnSyntheticTheme, DiffTellsKeysApartThatTheCodePageShowsAlike) {
  const auto themeWithKey = [&](const std::string& name, std::u16string_view key) {
    mt::ThemeBuilder b;
    b.nameLists({u"Blue"}, {u"NORMALBLUE_INI"}, {u"NormalSize"});
    b.textFile(u"NORMALBLUE_INI", u"[S]\r\n" + std::u16string(key) + u" = Tahoma, 8\r\n");
    return dir.write(name, b.build().bytes);
  };
  const std::string a = themeWithKey("a.msstyles", u"Font\u0639");
  const std::string b = themeWithKey("b.msstyles", u"Font\u0627");
  const Result r = run({"diff", a, b}, "", "LC_ALL=C");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "diff " + a + " " + b + "\n[0] NormalSize\n  only in A  NORMALBLUE_INI [S] Font?: Tahoma, 8\n"
                   "  only in B  NORMALBLUE_INI [S] Font?: Tahoma, 8\n");
}

// A key given twice: each setting keeps its own row through diff and --fonts-from.
TEST_F(CliOnSyntheticTheme, RepeatedSettingsPairByOccurrence) {
  const std::string a = blueTheme(dir, "a.msstyles", u"[Button]\r\nFont = Tahoma, 8\r\n[Button]\r\nFont = Arial, 9, Bold\r\n");
  const std::string b = blueTheme(dir, "b.msstyles", u"[Button]\r\nFont = Tahoma, 8\r\n[Button]\r\nFont = Verdana, 9, Bold\r\n");
  const Result r = run({"diff", a, b});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "diff " + a + " " + b + "\n[0] Normal\n  changed    BLUE_INI [Button] Font: Arial, 9, Bold -> Verdana, 9, Bold\n");

  // A file of the normal blue and the large olive lists the pair on both pages (a write
  // takes them from page 1): its list carries them as the theme does.
  const auto twoPages = [&](const std::string& name, std::u16string_view second) {
    mt::ThemeBuilder t;
    t.nameLists({u"Blue", u"Olive"}, {u"BLUE_INI", u"X_INI", u"X_INI", u"BLUE_INI"}, {u"Normal", u"Large"});
    t.textFile(u"BLUE_INI", u"[Button]\r\nFont = Tahoma, 8\r\n[Button]\r\nFont = " + std::u16string(second) + u"\r\n");
    return dir.write(name, t.build().bytes);
  };
  const std::string source = twoPages("c.msstyles", u"Verdana, 9, Bold");
  const std::string target = twoPages("d.msstyles", u"Arial, 9, Bold");
  const std::string fromJson = dir.file("from-json.msstyles");
  const std::string summary = ": 2 rows changed, 2 already alike, 0 with no match\n";
  EXPECT_EQ(run({"write", target, "-o", out, "--fonts-from", source}).err, "--fonts-from " + source + summary);
  const std::string json = editedList(listJson(source));
  EXPECT_EQ(run({"write", target, "-o", fromJson, "--fonts-from", json}).err, "--fonts-from " + json + summary);
  EXPECT_EQ(mt::readFile(out), mt::readFile(fromJson));
}

TEST_F(CliOnSyntheticTheme, DiffExitsWithZeroWhenAlikeAndTwoOnTrouble) {
  ASSERT_EQ(run({"write", theme, "-o", out}).status, 0);
  Result r = run({"diff", theme, out});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(run({"diff", theme, out, "--language", "0x0411"}).status, 0);
  r = run({"diff", theme, out, "--json"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(compactJson(r.out), "{\"differs\":false,\"pages\":[]}\n");

  // A page only one theme has: its names and rows are listed against nothing.
  mt::ThemeBuilder one;
  one.nameLists({u"Blue"}, {u"NORMALBLUE_INI"}, {u"NormalSize"});
  const std::string single = dir.write("single.msstyles", one.build().bytes);
  r = run({"diff", single, theme}, "", "LC_ALL=C");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.rfind("diff " + single + " " + theme + "\nPage count: 1 -> 2\nStyle name: \"\" -> \"ルナ\"\n[0] NormalSize\n  Font size name: \"\" -> \"標準\"\n", 0),
            0U) << r.out;
  EXPECT_NE(r.out.find("[1] LargeSize\n  Size name: (none) -> \"LargeSize\"\n  Font size name: (none) -> \"Large\"\n"
                       "  only in B  LARGEBLUE_INI [Button] Font: Tahoma, 12\n"),
            std::string::npos) << r.out;

  const std::string missing = dir.file("missing.msstyles");
  for (const auto& args : {std::vector<std::string>{"diff", theme, missing}, {"diff", missing, theme}}) {
    r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("marvento-cli: " + missing + ": ", 0), 0U) << r.err;
    EXPECT_EQ(r.out, "");
  }
  for (const auto& args : {std::vector<std::string>{"diff", theme}, {"diff", theme, out, out}, {"diff", theme, out, "-o", out}}) {
    EXPECT_EQ(run(args).status, 2) << args.size();
  }
}

// A section after the resources and the bytes after the last section go into every
// write (the rebuild once kept the resource section alone); diff names what else
// differs, after the font settings, one line each.
TEST_F(CliOnSyntheticTheme, WriteCarriesEverySectionAndDiffNamesWhatElseDiffers) {
  mt::BuildOptions o;
  o.relocations = true;
  o.appended = mt::Bytes(21, 0x5A);
  const std::string full = dir.write("full.msstyles", twoSizeBuilder(o).build().bytes);
  Result r = run({"write", full, "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(run({"diff", full, out}).status, 0);
  r = run({"diff", theme, out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "diff " + theme + " " + out + "\nsection .reloc: only in B\nappended bytes: 0 -> 21\n");
  EXPECT_NE(compactJson(run({"diff", theme, out, "--json"}).out)
                .find(R"("sections":[{"name":".reloc","change":"onlyInB"}],"appendedBytes":{"a":0,"b":21}})"),
            std::string::npos);

  const std::string bitmap = dir.write("bitmap.msstyles", twoSizeBuilder().add(2, 1, {1, 2, 3}).build().bytes);
  const std::string otherBitmap = dir.write("other.msstyles", twoSizeBuilder().add(2, 1, {1, 2, 4}).build().bytes);
  r = run({"diff", bitmap, otherBitmap, "--codepage", "932"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "diff " + bitmap + " " + otherBitmap + "\nother resource: 2 1 0x0411\n");

  // A signature cannot match the new bytes: it is left out, and the write says so.
  o.certificate = true;
  const std::string cfg = dir.write("signed.msstyles", twoSizeBuilder(o).add(2, 1, {1, 2, 3}).build().bytes);
  r = run({"write", cfg, "-o", out, "--font", "Arial"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "marvento-cli: " + out + ": the signature (certificate table) was left out: it cannot match the changed file\n");
  r = run({"diff", cfg, out});  // the fonts differ; the signature is not counted among the appended bytes
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.find("\nsection"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\nappended"), std::string::npos) << r.out;
}

// ---------------------------------------------------------------- exact texts, languages

TEST_F(CliOnSyntheticTheme, JsonCarriesTheExactTextAndFromKeepsIt) {
  // A lone surrogate and a Korean face: no code page shows them, the JSON carries them.
  const std::string odd = blueTheme(dir, "odd.msstyles", u"[Button]\r\nFont = A\xD800Z, 8\r\nTitleFont = \uAD74\uB9BC, 9\r\n");
  const std::string json = listJson(odd);
  EXPECT_NE(json.find(R"("font":"A\ud800Z")"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("font":"굴림")"), std::string::npos) << json;
  ASSERT_EQ(run({"write", odd, "-o", out}).status, 0);
  const std::string again = dir.file("again.msstyles");
  Result r = run({"write", odd, "-o", again, "--from", editedList(json)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(mt::readFile(again), mt::readFile(out));

  // Copied to another row, the Korean face is a change code page 932 cannot hold.
  std::string copied = json;
  replaceOnce(copied, R"("font":"A\ud800Z")", R"("font":"굴림")");
  r = run({"write", odd, "-o", again, "--from", editedList(copied)});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("page 0 row 0: font \"굴림\" holds characters that code page 932 cannot hold (code page 949 can)"),
            std::string::npos) << r.err;
  EXPECT_EQ(run({"write", odd, "-o", again, "--from", editedList(copied), "--codepage", "949"}).status, 0);
}

TEST_F(CliOnSyntheticTheme, EditedListSizesAsNumbersAndEncodings) {
  // Sizes as numbers, a byte-order mark, read-only members left as they are: all taken.
  std::string edited = twoSizeJson();
  replaceOnce(edited, R"("size":"12")", R"("size":11)");
  Result r = run({"write", theme, "-o", out, "--from", editedList("\xEF\xBB\xBF" + edited)});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected = twoSizeJson();
  replaceOnce(expected, R"("size":"12")", R"("size":"11")");
  EXPECT_EQ(listJson(out), expected);

  // UTF-16, as Notepad's "Unicode" saves it, is named as such.
  for (const std::string& bom : {std::string("\xFF\xFE"), std::string("")}) {
    std::string utf16 = bom;
    for (const char c : std::string("{\"pages\":[]}")) utf16 += {c, '\0'};
    const std::string path = editedList(utf16);
    r = run({"write", theme, "-o", out, "--from", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "marvento-cli: " + path + ": is UTF-16 text; save it as UTF-8\n");
  }
}

TEST_F(CliOnSyntheticTheme, FromReadsInTheCodePageAndLanguageOfTheList) {
  // Listed in code page 1252, where "Café" fits; written back without --codepage.
  std::string western = listJson(theme, {"--codepage", "1252"});
  replaceOnce(western, R"("font":"Café")", R"("font":"Crème")");
  const std::string path = editedList(western);
  Result r = run({"write", theme, "-o", out, "--from", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(listJson(out).find(R"("font":"Crème")"), std::string::npos);
  r = run({"write", theme, "-o", out, "--from", path, "--codepage", "932"});  // told otherwise
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("code page 932 cannot hold"), std::string::npos) << r.err;

  // A list of one language read into another theme's strings of another: rows still must match.
  mt::ThemeBuilder b;
  b.nameLists({u"Blue"}, {u"NORMALBLUE_INI"}, {u"NormalSize"});
  b.add(u"TEXTFILE", u"NORMALBLUE_INI", mt::utf16le(u"[Button]\r\nFont = Tahoma, 8\r\n"), 0x411);
  b.add(u"TEXTFILE", u"NORMALBLUE_INI", mt::utf16le(u"[Button]\r\nMenuFont = Arial, 8\r\n"), 0x409);
  const std::string two = dir.write("two.msstyles", b.build().bytes);
  std::string japanese = listJson(two, {"--language", "0x0411"});
  replaceOnce(japanese, R"("font":"Tahoma")", R"("font":"Verdana")");
  const std::string list = editedList(japanese);
  r = run({"write", two, "-o", out, "--from", list});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(listJson(out, {"--language", "0x0411"}).find(R"("font":"Verdana")"), std::string::npos);
  r = run({"write", two, "-o", out, "--from", list, "--language", "0x0409"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("page 0 row 0: key \"Font\" does not match the theme's \"MenuFont\""), std::string::npos) << r.err;
}

TEST_F(CliOnSyntheticTheme, LanguageAndCodePageFollowTheLocale) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"LC_ALL=C", "Language 0x0409, code page 932\n"},
      {"LC_ALL=en_US.UTF-8", "Language 0x0409, code page 1252\n"},
      {"LC_ALL=ru_RU.UTF-8", "Language 0x0419, code page 1251\n"},
      {"LC_ALL=pl_PL.UTF-8", "Language 0x0415, code page 1250\n"},
      {"LC_ALL=zh_CN.UTF-8", "Language 0x0804, code page 936\n"},
      {"LC_ALL=zh_TW.UTF-8", "Language 0x0404, code page 950\n"},
      {"LC_ALL=ko_KR.UTF-8", "Language 0x0412, code page 949\n"},
      {"LC_ALL=el_GR.UTF-8", "Language 0x0408, code page 1253\n"},
      {"LC_ALL=tr_TR.UTF-8", "Language 0x041F, code page 1254\n"},
      {"LC_ALL=he_IL.UTF-8", "Language 0x040D, code page 1255\n"},
      {"LC_ALL=ar_EG.UTF-8", "Language 0x0401, code page 1256\n"},
      {"LC_ALL=lt_LT.UTF-8", "Language 0x0427, code page 1257\n"},
      {"LC_ALL=vi_VN.UTF-8", "Language 0x042A, code page 1258\n"},
      {"LC_ALL=th_TH.UTF-8", "Language 0x041E, code page 874\n"},
      {"LC_ALL=sr_RS.UTF-8", "Language 0x0C1A, code page 1251\n"},
  };
  for (const auto& [environment, first] : cases) {
    const Result r = run({"list", theme}, "", environment);
    EXPECT_EQ(r.status, 0) << environment << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), first) << environment;
  }
}

TEST_F(CliOnSyntheticTheme, FallbackToAnotherLanguageIsSaidOnce) {
  // The synthetic theme is Japanese only.
  struct Case {
    std::string environment;
    std::vector<std::string> extra;
    std::string note;  // "" for none
  };
  const std::string note = "marvento-cli: " + theme + ": has no texts in language 0x0407; 0x0411 is shown where it is missing\n";
  const std::vector<Case> cases = {
      {"LC_ALL=de_DE.UTF-8", {}, note},
      {"LC_ALL=C", {"--language", "0x0407"}, note},
      {"LC_ALL=C", {}, ""},                            // no language asked for
      {"LC_ALL=C", {"--language", "0x0811"}, ""},      // the same primary language
      {"LC_ALL=de_DE.UTF-8", {"--language", "0x0411"}, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"list", theme};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const Result r = run(args, "", c.environment);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, c.note) << c.environment;
  }
  // A language-neutral resource serves every language.
  mt::ThemeBuilder b;
  b.add(u"SIZENAMES", 1, mt::utf16le(std::u16string(u"Normal\0\0", 8)), 0);
  const std::string neutral = dir.write("neutral.msstyles", b.build().bytes);
  EXPECT_EQ(run({"list", neutral}, "", "LC_ALL=de_DE.UTF-8").err, "");
}

TEST_F(CliOnSyntheticTheme, ListLanguagesAndDiffOfOtherLanguages) {
  const auto themeWith = [&](const std::string& name, std::u16string_view english) {
    mt::ThemeBuilder b;
    b.nameLists({u"Blue"}, {u"NORMALBLUE_INI"}, {u"NormalSize"});
    b.add(u"TEXTFILE", u"NORMALBLUE_INI", mt::utf16le(u"[Button]\r\nFont = Tahoma, 8\r\n"), 0x411);
    b.add(u"TEXTFILE", u"NORMALBLUE_INI", mt::utf16le(english), 0x409);
    b.strings(mt::blockOf(3000), mt::stringBlock({{mt::indexInBlock(3000), u"標準"}}));
    return dir.write(name, b.build().bytes);
  };
  const std::string a = themeWith("a.msstyles", u"[Button]\r\nFont = Arial, 8\r\n");
  const std::string b = themeWith("b.msstyles", u"[Button]\r\nFont = Arial, 9\r\n");

  Result r = run({"list", a, "--languages"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "TEXTFILE NORMALBLUE_INI: 0x0409 0x0411\nSTRING 188: 0x0411\n");

  r = run({"diff", a, b, "--language", "0x0411"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "diff " + a + " " + b + "\nother language: TEXTFILE NORMALBLUE_INI 0x0409\n");
  r = run({"diff", a, b, "--language", "0x0411", "--json"});
  EXPECT_EQ(compactJson(r.out),
            R"({"differs":true,"pages":[],"otherLanguages":[{"type":"TEXTFILE","name":"NORMALBLUE_INI","language":"0x0409"}]})"
            "\n");
  r = run({"diff", a, b, "--language", "0x0409"});  // compared in English: the rows differ, nothing else
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.find("other language"), std::string::npos) << r.out;
  EXPECT_EQ(run({"diff", a, a, "--language", "0x0411"}).status, 0);
}

// ---------------------------------------------------------------- output for pipes

TEST_F(CliOnSyntheticTheme, OutputForPipes) {
  Result r = run({"list", blueTheme(dir, "tabs.msstyles", u"[Button]\r\nFont = Ta\thoma\\X, 8\r\n"), "--tsv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "0\tBLUE_INI\tButton\tFont\tTa\\thoma\\\\X\t8\t\n");

  r = run({"list", theme, "--tsv", "--page", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "1\tLARGEBLUE_INI\tButton\tFont\tTahoma\t12\t\n"
            "1\tLARGEBLUE_INI\tButton\tTitleFont\tCaf?\t10\t\n"
            "1\tTHEMES_INI\tSizes.LargeSize\tIconFont\tBack\\\\Slash \"Q\"\t9\t\n");
  const std::string page1 = listJson(theme, {"--page", "1"});
  EXPECT_EQ(page1, twoSizeJson().substr(0, twoSizeJson().find(R"({"index":0)")) + twoSizeJson().substr(twoSizeJson().find(R"({"index":1)")));
  r = run({"list", theme, "--page", "0"});
  EXPECT_EQ(r.out.find("[1]"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[0] NormalSize"), std::string::npos) << r.out;

  const std::string changed = dir.write("changed.msstyles", twoSizeThemeChanged());
  r = run({"diff", "-q", theme, changed});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out + r.err, "");
  r = run({"diff", theme, theme, "-q"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out + r.err, "");
}

// ---------------------------------------------------------------- font sets and sizes

// A second theme to carry fonts from: one size only, section and key in other letter
// cases, a face code page 932 cannot show ("Café"), one row alike, one without a match
// in twoSizeTheme() ([Menu]) and one setting twoSizeTheme() has not ([Status] is missing).
mt::Bytes fontSetTheme() {
  mt::ThemeBuilder b;
  b.nameLists({u"Blue"}, {u"NORMALBLUE_INI"}, {u"NormalSize"});
  b.textFile(u"NORMALBLUE_INI",
             u"[button]\r\nFONT = Café, 10, Italic\r\n[Window]\r\nCaptionFont = ＭＳ ゴシック, 9, Bold\r\n"
             u"[Menu]\r\nFont = Arial, 7\r\n");
  b.textFile(u"THEMES_INI", u"[documentation]\r\nDisplayName = Set\r\n[sizes.normalsize]\r\nmenufont = Meiryo, -13\r\n");
  return b.build().bytes;
}

// The size column of every row, as `list --tsv` prints it.
std::vector<std::string> sizesOf(const std::string& path) {
  const Result r = run({"list", path, "--tsv"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<std::string> sizes;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    std::size_t at = 0;
    for (int field = 0; field < 5; ++field) at = line.find('\t', at) + 1;
    sizes.push_back(line.substr(at, line.find('\t', at) - at));
  }
  return sizes;
}

TEST_F(CliOnSyntheticTheme, FontsFromAThemeAndFromItsJsonGiveTheSameResult) {
  const std::string source = dir.write("set.msstyles", fontSetTheme());
  const Result listed = run({"list", source, "--json"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const std::string json = dir.write("set.json", {listed.out.begin(), listed.out.end()});
  const std::string fromJson = dir.file("from-json.msstyles");

  const Result a = run({"write", theme, "-o", out, "--fonts-from", source});
  const Result b = run({"write", theme, "-o", fromJson, "--fonts-from", json});
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(a.err, "--fonts-from " + source + ": 2 rows changed, 1 already alike, 4 with no match; pages it lacks: 1\n");
  EXPECT_EQ(b.err, "--fonts-from " + json + ": 2 rows changed, 1 already alike, 4 with no match; pages it lacks: 1\n");
  EXPECT_EQ(mt::readFile(out), mt::readFile(fromJson));

  // Face, size and option carried as the source holds them ("Café" is no character of 932);
  // the row without a match and page 1 keep theirs.
  std::string expected = twoSizeJson();
  replaceOnce(expected, R"("key":"Font","font":"Tahoma","size":"8","option":"")", R"("key":"Font","font":"Café","size":"10","option":"Italic")");
  replaceOnce(expected, R"("key":"MenuFont","font":"Tahoma","size":"8")", R"("key":"MenuFont","font":"Meiryo","size":"-13")");
  EXPECT_EQ(listJson(out), expected);

  // Carried first, then --size, then --grow; a list of page 0 only lacks page 1 too.
  const Result pageZero = run({"list", source, "--json", "--page", "0"});
  const Result c = run({"write", theme, "-o", out, "--fonts-from", dir.write("page0.json", {pageZero.out.begin(), pageZero.out.end()}),
                        "--size", "9", "--page", "0", "--grow", "2"});
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_NE(c.err.find("with no match; pages it lacks: 1\nsizes: 4 changed, 0 stopped at 1 or -1, 0 not whole numbers"), std::string::npos) << c.err;
  EXPECT_EQ(sizesOf(out), (std::vector<std::string>{"11", "11", "11", "11", "12", "10", "9"}));
  const Result japanese = run({"write", theme, "-o", out, "--fonts-from", source}, "", kJapanese);
  EXPECT_EQ(japanese.err, "--fonts-from " + source + ": 変更した行 2、すでに同じ行 1、対応する行のない行 4。元にないページ: 1\n");
}

// What the command line adds to growing and scaling (theme/size_scaling has the edges):
// a signed step count, a decimal factor, --page and the summary.
TEST_F(CliOnSyntheticTheme, GrowAndScaleChangeTheSizesOfTheChosenPages) {
  Result r = run({"write", theme, "-o", out, "--grow", "+2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "sizes: 7 changed, 0 stopped at 1 or -1, 0 not whole numbers (left as they are)\n");
  EXPECT_EQ(sizesOf(out), (std::vector<std::string>{"10", "11", "10", "11", "14", "12", "11"}));
  r = run({"write", theme, "-o", out, "--scale", "1.5", "--page", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "sizes: 3 changed, 0 stopped at 1 or -1, 0 not whole numbers (left as they are)\n");
  EXPECT_EQ(sizesOf(out), (std::vector<std::string>{"8", "9", "8", "9", "18", "15", "14"}));
}

TEST_F(CliOnSyntheticTheme, BadFontSetsAndFactorsExitWithOneAndWriteNothing) {
  const std::string folder = dir.file("folder");
  std::filesystem::create_directory(folder);
  const auto text = [this](const char* name, std::string body) { return dir.write(name, {body.begin(), body.end()}); };
  struct Case {
    std::vector<std::string> args;
    std::string message;  // after "marvento-cli: "
  };
  const std::vector<Case> cases = {
      {{"--grow", "x"}, R"(--grow "x" is not a whole number from -1000 to 1000)"},
      {{"--grow", "1001"}, R"(--grow "1001" is not a whole number from -1000 to 1000)"},
      {{"--scale", "1,5"}, R"(--scale "1,5" is not a factor from 0.25 to 4 (written with a point, as 1.5))"},
      {{"--scale", "4.01"}, R"(--scale "4.01" is not a factor from 0.25 to 4 (written with a point, as 1.5))"},
      {{"--scale", "1e0"}, R"(--scale "1e0" is not a factor from 0.25 to 4 (written with a point, as 1.5))"},
      {{"--size", "+1"}, R"(--size "+1": a size takes no "+"; to make every size larger, use --grow 1)"},
      {{"--fonts-from", dir.file("missing.msstyles")}, dir.file("missing.msstyles") + ": cannot open the file: No such file or directory"},
      {{"--fonts-from", text("notes.txt", "Tahoma, 8\n")}, dir.file("notes.txt") + R"(: is neither a theme nor the output of "list --json")"},
      {{"--fonts-from", text("mz.msstyles", "MZ but no more")}, dir.file("mz.msstyles") + ": "},
      {{"--fonts-from", text("syntax.json", "{\"pageCount\": 1,\n \"pages\": [}\n")}, dir.file("syntax.json") + ": not JSON: line 2, column 12: "},
      {{"--fonts-from", text("count.json", R"({"pageCount": 6, "pages": []})")}, dir.file("count.json") + R"(: "pageCount" must be a number from 1 to 5)"},
      {{"--fonts-from", text("index.json", R"({"pageCount": 1, "pages": [{"index": 1, "rows": []}]})")},
       dir.file("index.json") + R"(: pages[0]: "index" must be a page of the theme, 0 to 0)"},
      {{"--fonts-from", text("comma.json", R"({"pageCount": 1, "pages": [{"index": 0, "rows": [{"file": "A", "section": "B", "key": "C", "font": "Arial, 9", "size": "8", "option": ""}]}]})")},
       dir.file("comma.json") + R"(: page 0 row 0: font "Arial, 9" holds a ',')"},
      {{"--fonts-from", text("line.json", R"({"pageCount": 1, "pages": [{"index": 0, "rows": [{"file": "A", "section": "B", "key": "C", "font": "Arial", "size": "8", "option": "bold\r\n[X]"}]}]})")},
       dir.file("line.json") + R"(: page 0 row 0: option "bold\r\n[X]" holds a control character)"},
      {{"--fonts-from", text("blank.json", R"({"pageCount": 1, "pages": [{"index": 0, "rows": [{"file": "A", "section": "B", "key": "C", "font": "Arial", "size": " 8", "option": ""}]}]})")},
       dir.file("blank.json") + R"(: page 0 row 0: size " 8" begins or ends with a blank)"},
      {{"--fonts-from", folder}, folder + ": "},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"write", theme, "-o", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = run(args);
    EXPECT_EQ(r.status, 1) << c.args.back() << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("marvento-cli: " + c.message, 0), 0U) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
  // Bad usage: --page with nothing it limits, no file, both resizings.
  const std::vector<std::vector<std::string>> usage = {
      {"--fonts-from", dir.write("set.msstyles", fontSetTheme()), "--page", "0"}, {"--fonts-from", ""},
  };
  for (const auto& more : usage) {
    std::vector<std::string> args = {"write", theme, "-o", out};
    args.insert(args.end(), more.begin(), more.end());
    const Result r = run(args);
    EXPECT_EQ(r.status, 2) << more[0] << " " << r.err;
  }
  const Result both = run({"write", theme, "-o", out, "--grow", "1", "--scale", "2"});
  EXPECT_EQ(both.status, 2);
  EXPECT_EQ(both.err.rfind("marvento-cli: --grow and --scale cannot be given together\n", 0), 0U);
  EXPECT_FALSE(std::filesystem::exists(out));
}

// ---------------------------------------------------------------- failures

TEST_F(CliOnSyntheticTheme, ValuesNoRowMayHoldExitWithOneAndWriteNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"--font", "Café"},  {"--font", "Arial, Bold"}, {"--font", " "},          {"--font", "Arial]"},
      {"--size", "0"},     {"--size", "8.5"},         {"--option", "Bold Heavy"}, {"--font", "Tahoma "},
      {"--option", " "},   {"--size", "9 "},
  };
  for (const auto& value : cases) {
    const Result r = run({"write", theme, "-o", out, value[0], value[1]});
    EXPECT_EQ(r.status, 1) << value[0] << " " << value[1];
    EXPECT_EQ(r.err.rfind("marvento-cli: " + value[0] + " \"", 0), 0U) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliOnSyntheticTheme, BadUsageExitsWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"show", theme},
      {"list"},
      {"list", theme, theme},
      {"list", theme, "--bogus"},
      {"list", theme, "-o", out},
      {"list", theme, "--codepage"},
      {"list", theme, "--codepage", "abc"},
      {"list", theme, "--codepage", "4294967296"},
      {"list", theme, "--codepage", "12345"},
      {"list", theme, "--language", "0x10000"},
      {"list", theme, "--language", "ja"},
      {"list", theme, "--page", "2"},
      {"list", theme, "--tsv", "--json"},
      {"diff", theme, theme, "--tsv"},
      {"write", theme},
      {"write", theme, "-o", out, "--json"},
      {"write", theme, "-o", out, "--page", "0"},
      {"write", theme, "-o", out, "--font", "Arial", "--page", "2"},
      {"write", theme, "-o", out, "--font", "Arial", "--page", "-1"},
      {"write", theme, "-o", out, "--option", "Bold", "--option", "Italic"},
      {"write", theme, "-o", out, "--size", "9", "--page", "0", "--page", "2"},
      {"write", theme, "-o", out, "--font", "A", "--font", "B"},
      {"diff", "-", "-"},
      {"write", "-", "-o", out, "--from", "-"},
      {"write", theme, "-o", out, "--from", "-", "--fonts-from", "-"},
  };
  for (const auto& args : cases) {
    const Result r = run(args);
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    EXPECT_EQ(r.status, 2) << shown;
    EXPECT_EQ(r.err.rfind("marvento-cli: ", 0), 0U) << shown << "\n" << r.err;
    EXPECT_EQ(r.out, "") << shown;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  const Result page = run({"write", theme, "-o", out, "--font", "Arial", "--page", "2"});
  EXPECT_NE(page.err.find("which has 2 pages"), std::string::npos) << page.err;
  const Result cp = run({"list", theme, "--codepage", "12345"});
  EXPECT_EQ(cp.err, "marvento-cli: unknown code page 12345\n");
  const Result twice = run({"diff", "-", "-"});
  EXPECT_EQ(twice.err.substr(0, twice.err.find('\n')), "marvento-cli: A and B both read standard input, which can be read once");
}

TEST_F(CliOnSyntheticTheme, HelpDocumentsEveryCommand) {
  const Result r = run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("marvento-cli list THEME [--json] [--languages] [--tsv] [--page N]... [--codepage N]"), std::string::npos);
  EXPECT_NE(r.out.find("marvento-cli write THEME -o OUT [--from EDITED.json|-] [--font FACE] [--size N] [--option TEXT]"),
            std::string::npos);
  EXPECT_NE(r.out.find("marvento-cli diff A B [--json] [-q] [--codepage N]"), std::string::npos);
  EXPECT_NE(r.out.find("[--grow N | --scale FACTOR]"), std::string::npos);
  EXPECT_NE(r.out.find("Exit status"), std::string::npos);
  // A command's --help is its own part of the whole: the introduction, the command, the
  // common options and exit statuses.
  for (const std::string command : {"list", "write", "diff"}) {
    const Result part = run({command, "--help"});
    EXPECT_EQ(part.status, 0) << command;
    EXPECT_NE(part.out.find("  marvento-cli " + command + " "), std::string::npos) << command;
    for (const std::string other : {"list", "write", "diff"}) {
      if (other != command) {
        EXPECT_EQ(part.out.find("  marvento-cli " + other + " "), std::string::npos) << command;
      }
    }
    EXPECT_NE(part.out.find("Exit status"), std::string::npos) << command;
    EXPECT_EQ(run({command, "-h"}).out, part.out) << command;
  }
  EXPECT_EQ(run({"write", theme, "--bogus", "--help"}).out, run({"write", "--help"}).out);
}

TEST_F(CliOnSyntheticTheme, ArgumentsInEveryUsualForm) {
  // --opt=value, --output as the long form of -o, -- before a name that starts with "-".
  const std::string dashed = dir.write("-dashed.msstyles", twoSizeTheme());
  Result r = run({"write", "--output=" + out, "--font=Verdana", "--size", "-11", "--", dashed});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(listJson(out), withAll(withFonts(twoSizeJson(), "Verdana"), "size", "-11"));
  r = run({"write", theme, "--output", out, "--page=1", "--option=Bold"});
  ASSERT_EQ(r.status, 0) << r.err;

  // A misspelt command or option: one line with a suggestion, the usage, status 2.
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"lsit", theme}, "marvento-cli: unknown command \"lsit\"; did you mean \"list\"?\n"},
      {{"list", theme, "--jsno"}, "marvento-cli: unknown option \"--jsno\" for list; did you mean \"--json\"?\n"},
      {{"write", theme, "--ouput", out}, "marvento-cli: unknown option \"--ouput\" for write; did you mean \"--output\"?\n"},
      {{"diff", theme, theme, "--xyzzy"}, "marvento-cli: unknown option \"--xyzzy\" for diff\n"},
      {{"list", theme, "--page=x"}, "marvento-cli: --page needs a number, not \"x\"\n"},
      {{"write", theme, "-o", out, "--font"}, "marvento-cli: --font needs a value\n"},
      {{"write", theme, "--output", out, "-o", out}, "marvento-cli: -o given twice\n"},
      {{"list", theme, "--json=false"}, "marvento-cli: \"--json\" takes no value\n"},
      {{"diff", theme, theme, "-q=1"}, "marvento-cli: \"-q\" takes no value\n"},
      {{"write", theme, "--out", out}, "marvento-cli: unknown option \"--out\" for write; did you mean \"--output\"?\n"},
      {{"--json", "list", theme}, "marvento-cli: option \"--json\" before the command: put it after \"list\"\n"},
      {{"--codepage=932", "diff", theme, theme}, "marvento-cli: option \"--codepage\" before the command: put it after \"diff\"\n"},
  };
  for (const Case& c : cases) {
    r = run(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), c.message);
    EXPECT_NE(r.err.find("usage: marvento-cli list"), std::string::npos) << r.err;
  }
  r = run({"lsit", theme}, "", kJapanese);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), "marvento-cli: \"lsit\" というコマンドはありません。\"list\" のことですか?\n");
}

// The manual page and the bash completion are written by hand; the option tables are what
// the program takes. Each command's synopsis and completion list its options, the manual
// page has an entry for every option, and the completion expects a value after exactly
// the options that take one.
TEST(CliOptionTable, ManualPageAndCompletionFollowTheTable) {
  std::string page = readText(MARVENTO_MAN_PAGE);
  page = std::regex_replace(std::regex_replace(page, std::regex(R"(\\f[BIRP])"), " "), std::regex(R"(\\-)"), "-");  // roff
  const std::string completion = readText(MARVENTO_COMPLETION);
  static const std::regex optionName(R"((^|[ \[|"])(--?[a-z][a-z-]*))");
  const auto namesIn = [](const std::string& text) {
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), optionName); it != std::sregex_iterator(); ++it) {
      names.insert((*it)[2]);
    }
    return names;
  };
  const auto names = [](std::initializer_list<std::span<const cli::OptionSpec>> tables, bool firstOnly) {
    std::set<std::string> out;
    for (const auto& table : tables) {
      for (const cli::OptionSpec& option : table) {
        for (const std::string_view name : cli::namesOf(option)) {
          out.insert(std::string(name));
          if (firstOnly) break;
        }
      }
    }
    return out;
  };
  std::set<std::string> every = names({cli::programOptions()}, false);
  std::set<std::string> takingValues;
  for (const cli::CommandSpec& command : cli::commandTable()) {
    const auto start = page.find(".B marvento-cli " + std::string(command.name) + "\n");
    ASSERT_NE(start, std::string::npos) << command.name;
    const std::string synopsis = page.substr(start, page.find("\n.br", start) - start);
    EXPECT_EQ(namesIn(synopsis), names({command.options, cli::commonOptions()}, true)) << command.name;

    std::smatch listed;
    ASSERT_TRUE(std::regex_search(completion, listed, std::regex("\\s" + std::string(command.name) + R"re(\) options="([^"]*)")re")))
        << command.name;
    std::set<std::string> expected = names({command.options, cli::commonOptions()}, false);
    expected.insert({"-h", "--help"});
    EXPECT_EQ(namesIn(listed[1]), expected) << command.name;

    for (const auto& table : {command.options, cli::commonOptions()}) {
      for (const cli::OptionSpec& option : table) {
        for (const std::string_view name : cli::namesOf(option)) {
          every.insert(std::string(name));
          if (option.value != nullptr) takingValues.insert(std::string(name));
        }
      }
    }
  }
  // Every entry of OPTIONS: the line after each .TP up to the next section.
  const auto options = page.find(".SH OPTIONS");
  ASSERT_NE(options, std::string::npos);
  const std::string section = page.substr(options, page.find("\n.SH ", options + 1) - options);
  std::set<std::string> entries;
  for (auto at = section.find(".TP\n"); at != std::string::npos; at = section.find(".TP\n", at + 1)) {
    const std::string line = section.substr(at + 4, section.find('\n', at + 4) - at - 4);
    for (const std::string& name : namesIn(line)) entries.insert(name);
  }
  EXPECT_EQ(entries, every);
  std::smatch before;
  ASSERT_TRUE(std::regex_search(completion, before, std::regex(R"re(\*\) options="([^"]*)")re")));
  EXPECT_EQ(namesIn(before[1]), names({cli::programOptions()}, false));
  // The words after which the completion offers no options: those of `case $prev in`.
  const auto prev = completion.find("case $prev in");
  ASSERT_NE(prev, std::string::npos);
  const std::string cases = completion.substr(prev, completion.find("esac", prev) - prev);
  static const std::regex pattern(R"(\n\s*(-[-a-z| ]*)\))");
  std::set<std::string> completed;
  for (auto it = std::sregex_iterator(cases.begin(), cases.end(), pattern); it != std::sregex_iterator(); ++it) {
    for (const std::string& name : namesIn(" " + (*it)[1].str())) completed.insert(name);
  }
  EXPECT_EQ(completed, takingValues);
  EXPECT_NE(page.find(".SH EXIT STATUS"), std::string::npos);
  EXPECT_NE(page.find(".SH EXAMPLES"), std::string::npos);
}

TEST_F(CliOnSyntheticTheme, VersionPrintsTheProjectVersion) {
  const Result r = run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "marvento-cli " MARVENTO_VERSION "\n");
  EXPECT_TRUE(std::regex_match(std::string(MARVENTO_VERSION), std::regex(R"(\d+\.\d+\.\d+)"))) << MARVENTO_VERSION;
  EXPECT_EQ(run({"list", theme, "--version"}).out, r.out);
  EXPECT_NE(run({"--help"}).out.find("--version"), std::string::npos);
}

TEST_F(CliOnSyntheticTheme, FilesThatAreNoThemeExitWithOneNamingTheFile) {
  const std::string missing = dir.file("missing.msstyles");
  const std::string text = dir.write("notes.txt", {'h', 'e', 'l', 'l', 'o'});
  mt::Bytes cut = twoSizeTheme();
  cut.resize(0x1010);  // headers intact, resource directory cut off
  const std::string truncated = dir.write("cut.msstyles", cut);
  mt::BuildOptions withCode;
  withCode.leadingCodeSection = true;
  withCode.sectionRva = 0x2000;
  const mt::Bytes programBytes = mt::ThemeBuilder(withCode).add(16, 1, mt::Bytes(52, 0x5A)).build().bytes;
  const std::string program = dir.write("app.exe", programBytes);
  for (const std::string& path : {missing, text, truncated, program, dir.path()}) {
    for (const auto& args : {std::vector<std::string>{"list", path}, {"list", path, "--json"},
                             {"write", path, "-o", out, "--font", "Arial"}}) {
      const Result r = run(args);
      EXPECT_EQ(r.status, 1) << path;
      EXPECT_EQ(r.out, "") << path;
      EXPECT_EQ(r.err.rfind("marvento-cli: " + path + ": ", 0), 0U) << r.err;
      EXPECT_EQ(countOf(r.err, "\n"), 1U) << r.err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(run({"write", program, "-o", program}).status, 1);
  EXPECT_EQ(mt::readFile(program), programBytes);
}

TEST_F(CliOnSyntheticTheme, UnwritableTargetExitsWithOneAndKeepsTheOldFile) {
  const std::string inMissingFolder = dir.file("no-such-folder/out.msstyles");
  Result r = run({"write", theme, "-o", inMissingFolder});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("marvento-cli: " + inMissingFolder + ": ", 0), 0U) << r.err;
  EXPECT_EQ(countOf(r.err, inMissingFolder), 1U) << r.err;  // the path is named once

  const std::string missingList = dir.file("missing.json");
  r = run({"write", theme, "-o", out, "--from", missingList});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("marvento-cli: " + missingList + ": cannot be read", 0), 0U) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliOnSyntheticTheme, SmallFaultsOfTheCommandLine) {
  // A theme is never written to standard output, nor over the list it is made from.
  const std::string list = editedList(twoSizeJson());
  for (const auto& target : {std::string("-"), list, dir.path() + "/./edited.json"}) {
    const Result r = run({"write", theme, "-o", target, "--from", list});
    EXPECT_EQ(r.status, 2) << target;
    EXPECT_EQ(r.err.rfind("marvento-cli: -o ", 0), 0U) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("-")));
  EXPECT_EQ(readText(list), twoSizeJson());

  // An argument that is not UTF-8 is called so, not "characters the code page cannot hold".
  Result r = run({"write", theme, "-o", out, "--font", "Ta\xFFhoma"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "marvento-cli: --font \"Ta\uFFFDhoma\" is not valid UTF-8\n");

  // A write error names the path once, in the user's language.
  const std::string readOnly = dir.write("read-only.msstyles", {'o', 'l', 'd'});
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  r = run({"write", theme, "-o", readOnly});
  EXPECT_EQ(r.err, "marvento-cli: " + readOnly + ": cannot write: it is read-only\n");
  r = run({"write", theme, "-o", readOnly}, "", kJapanese);
  EXPECT_EQ(r.err, "marvento-cli: " + readOnly + ": 書き込めません: 読み取り専用です\n");

  // Standard output on a full device (a node of our own with the numbers of /dev/full).
  const std::string full = dir.file("full");
  if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
    const int fd = open(full.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const pid_t pid = spawnCli({"list", theme}, dir.file("err"), "", fd, "LC_ALL=C");
    close(fd);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(readText(dir.file("err")), "marvento-cli: the output could not be written\n");
  }
}

// ---------------------------------------------------------------- hostile input

TEST_F(CliOnSyntheticTheme, HugeEditedListIsRefusedUnread) {
  const std::string huge = dir.file("huge.json");
  std::filesystem::resize_file(dir.write("huge.json", {'{'}), (std::uintmax_t{64} << 20) + 1);  // sparse
  const Result r = run({"write", theme, "-o", out, "--from", huge});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "marvento-cli: " + huge + ": is larger than 64 MiB, too large for an edited list\n");
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliOnSyntheticTheme, MessagesQuoteAtMostEightyCharacters) {
  const std::string longSize = "1" + std::string(300, 'x');
  std::string edited = twoSizeJson();
  replaceOnce(edited, R"("size":"12")", "\"size\":\"" + longSize + "\"");
  const Result fromList = run({"write", theme, "-o", out, "--from", editedList(edited)});
  EXPECT_EQ(fromList.status, 1);
  EXPECT_NE(fromList.err.find("size \"" + longSize.substr(0, 80) + "\"... is"), std::string::npos) << fromList.err;
  const Result option = run({"list", theme, "--" + std::string(1000, 'y')});
  EXPECT_EQ(option.status, 2);
  EXPECT_NE(option.err.find("unknown option \"--" + std::string(78, 'y') + "\"... for list"), std::string::npos)
      << option.err;
}

// Texts of a theme and file names reach a terminal or a TSV line only escaped: ESC ] sets
// a terminal's title, C1 CSI colours it, U+202E turns the text around it.
TEST(CliTerminal, TextsOfTheThemeAndFileNamesAreShownEscaped) {
  mt::TempDir dir;
  mt::ThemeBuilder b = mt::oneSizeTheme();
  b.textFile(u"BLUE_INI", u"[Button]\r\nFont = Ta\x1b]0;owned\x07homa\u202E, 8, \x9b" u"31m\r\n");
  b.textFile(u"NOTE\x1b[2J\u2066", u"");
  const std::string theme = dir.write("blue\x1b[31m.msstyles", b.build().bytes);
  const std::string shownTheme = dir.path() + "/blue\\x1b[31m.msstyles";
  std::vector<Result> results;
  const auto check = [&](const std::vector<std::string>& args, const std::string& expected, const std::string& environment = "") {
    const Result r = results.emplace_back(run(args, "", environment));
    EXPECT_NE((r.out + r.err).find(expected), std::string::npos) << r.out << r.err;
  };
  check({"list", theme, "--codepage", "65001"},
        "  BLUE_INI        Button      Font  Ta\\x1b]0;owned\\x07homa\\u202e  8       \\u009b31m\n", kJapanese);
  check({"list", theme, "--json", "--codepage", "65001"}, R"("font": "Ta\u001b]0;owned\u0007homa\u202e",)");
  check({"list", theme, "--json", "--codepage", "65001"}, R"("option": "\u009b31m")");
  check({"list", theme, "--tsv", "--codepage", "65001"}, "0\tBLUE_INI\tButton\tFont\tTa\\x1b]0;owned\\x07homa\\u202e\t8\t\\u009b31m\n");
  check({"list", theme, "--languages"}, "TEXTFILE NOTE\\x1b[2J\\u2066: 0x0411\n");
  check({"list", theme, "--language", "0x0407"}, "marvento-cli: " + shownTheme + ": has no texts in language 0x0407");
  check({"diff", theme, dir.write("other.msstyles", mt::oneSizeTheme().build().bytes)}, "diff " + shownTheme + " ");
  check({"list", dir.file("gone\x1b]0;t\x07\xE2\x80\xAE.msstyles")}, "marvento-cli: " + dir.path() + "/gone\\x1b]0;t\\x07\\u202e.msstyles: ");
  check({"write", theme, "-o", dir.file("out.msstyles"), "--fonts-from", theme}, "--fonts-from " + shownTheme + ": 0 rows changed");
  for (const Result& r : results) {
    for (const std::string raw : {"\x1b", "\x07", "\xC2\x9B", "\xE2\x80\xAE", "\xE2\x81\xA6"}) {
      EXPECT_EQ((r.out + r.err).find(raw), std::string::npos) << r.out << r.err;
    }
  }
}

// ---------------------------------------------------------------- the target

namespace fs = std::filesystem;

TEST_F(CliOnSyntheticTheme, TargetsThatAreNoWritableFileAreRefusedAndKept) {
  const std::string fifo = dir.file("fifo.msstyles");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const std::string readOnly = dir.write("read-only.msstyles", {'o', 'l', 'd'});
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
  const std::string dangling = dir.file("dangling.msstyles");
  fs::create_symlink(dir.file("nowhere"), dangling);
  struct Case {
    std::string target, message;
  };
  std::vector<Case> cases = {{fifo, "not a regular file"}, {readOnly, "read-only"}, {dangling, "missing file"}};
  // A device node of our own (the null device's numbers), where the system lets us make one.
  const std::string device = dir.file("device.msstyles");
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) cases.push_back({device, "not a regular file"});

  for (const Case& c : cases) {
    const auto before = fs::symlink_status(c.target).type();
    const Result r = run({"write", theme, "-o", c.target});
    EXPECT_EQ(r.status, 1) << c.target;
    EXPECT_EQ(r.err.rfind("marvento-cli: " + c.target + ": ", 0), 0U) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(fs::symlink_status(c.target).type(), before) << c.target;
  }
  EXPECT_EQ(readText(readOnly), "old");
  for (const auto& e : fs::directory_iterator(dir.path())) {
    EXPECT_EQ(e.path().filename().string().find(".msstyles."), std::string::npos) << "left behind: " << e.path();
  }
}

TEST_F(CliOnSyntheticTheme, SymbolicLinkTargetReplacesTheFileItNamesAndStays) {
  fs::create_directory(dir.file("real"));
  const std::string real = dir.write("real/theme.msstyles", {'o', 'l', 'd'});
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const std::string link = dir.file("link.msstyles");
  fs::create_symlink("real/theme.msstyles", link);
  const Result r = run({"write", theme, "-o", link, "--font", "Arial"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(listJson(real), withFonts(twoSizeJson(), "Arial"));
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("real")), {}), 1);
}

// A write stopped by SIGINT, SIGTERM or SIGHUP while its temporary file is being filled
// ends by that signal, removes the temporary file and leaves the old target as it was.
TEST(CliSignals, InterruptedWriteLeavesNoTemporaryFile) {
  mt::TempDir dir;
  mt::ThemeBuilder b = mt::oneSizeTheme();
  b.add(10, 1, mt::Bytes(std::size_t{48} << 20, 0x5A));  // RCDATA big enough to catch the write under way
  const std::string theme = dir.write("big.msstyles", b.build().bytes);
  const std::string out = dir.write("out.msstyles", {'o', 'l', 'd'});
  const auto temporaryFiles = [&] {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(dir.path())) {
      if (e.path().filename().string().starts_with("out.msstyles.")) found.push_back(e.path().string());
    }
    return found;
  };

  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    bool caught = false;
    for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
      const pid_t pid = spawnCli({"write", theme, "-o", out}, dir.file("stderr"));
      ASSERT_GT(pid, 0);

      // Stop the process as soon as its temporary file appears; if it is still there, the
      // signal arrives mid-write for sure.
      int status = 0;
      bool exited = false;
      while (temporaryFiles().empty() && !exited) exited = waitpid(pid, &status, WNOHANG) == pid;
      if (!exited) {
        kill(pid, SIGSTOP);
        waitpid(pid, &status, WUNTRACED);
        caught = !temporaryFiles().empty();
        kill(pid, caught ? signal : SIGKILL);
        kill(pid, SIGCONT);
        waitpid(pid, &status, 0);
      }
      if (caught) {
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal << ", status " << status;
        EXPECT_TRUE(temporaryFiles().empty()) << "signal " << signal;
        EXPECT_EQ(readText(out), "old") << "signal " << signal;
      }
      for (const std::string& left : temporaryFiles()) fs::remove(left);
      mt::writeFile(out, {'o', 'l', 'd'});
    }
    ASSERT_TRUE(caught) << "the write was never caught under way";
  }
}

// ---------------------------------------------------------------- Wine's light.msstyles

class CliOnLight : public ::testing::TestWithParam<mt::WineTheme> {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(path())) GTEST_SKIP() << path() << " is not installed (Debian package wine64 / wine32)";
  }
  static const char* path() { return GetParam().path; }
  mt::TempDir dir;
};

TEST_P(CliOnLight, ListShowsItsRows) {
  // Checked by hand against the file's BLUE_INI text: 21 font lines, all Tahoma.
  Result r = run({"list", path(), "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  r.out = compactJson(r.out);
  EXPECT_EQ(r.out.rfind(R"({"language":"0x0409","codePage":932,"pageCount":1,"colourCount":1,"styleName":"","sizeNameBoxes":[)", 0), 0U) << r.out;
  EXPECT_EQ(countOf(r.out, R"("file":)"), 21U);
  EXPECT_EQ(countOf(r.out, R"("font":"Tahoma")"), 21U);
  EXPECT_NE(r.out.find(R"({"index":0,"sizeName":"NormalSize","rows":[{"file":"BLUE_INI","section":"Button.Commandlink","key":"Font","font":"Tahoma","size":"10","option":""},)"),
            std::string::npos);
  EXPECT_NE(r.out.find(R"({"file":"BLUE_INI","section":"Tooltip.StandardTitle","key":"Font","font":"Tahoma","size":"-12","option":"bold"})"),
            std::string::npos);

  // Its size name string comes in 34 languages, Arabic (language 1) first.
  const Result arabic = run({"list", path(), "--json", "--codepage", "1256", "--language", "1"});
  ASSERT_EQ(arabic.status, 0) << arabic.err;
  EXPECT_NE(compactJson(arabic.out).find(R"("sizeNameBoxes":["عادي","","","",""])"), std::string::npos) << arabic.out;
  const Result japanese = run({"list", path(), "--json", "--language", "0x0411"});
  ASSERT_EQ(japanese.status, 0) << japanese.err;
  EXPECT_NE(compactJson(japanese.out).find(R"("sizeNameBoxes":["標準","","","",""])"), std::string::npos) << japanese.out;

  const Result table = run({"list", path()}, "", kJapanese);
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_EQ(table.out.rfind("言語 0x0411、コードページ 932\n\n[0] NormalSize\n", 0), 0U);
  EXPECT_NE(table.out.find("  BLUE_INI        Tooltip.StandardTitle           Font          Tahoma      -12     bold\n"),
            std::string::npos) << table.out;
}

TEST_P(CliOnLight, FontChangesEveryRowAndListShowsIt) {
  const Result before = run({"list", path(), "--json"});
  ASSERT_EQ(before.status, 0);
  const std::string out = dir.file("light.msstyles");
  const Result w = run({"write", path(), "-o", out, "--font", "ＭＳ ゴシック"});
  ASSERT_EQ(w.status, 0) << w.err;
  const Result after = run({"list", out, "--json"});
  ASSERT_EQ(after.status, 0) << after.err;
  EXPECT_EQ(compactJson(after.out), withFonts(compactJson(before.out), "ＭＳ ゴシック"));
}

TEST_P(CliOnLight, FromWithTheUneditedListChangesNoByte) {
  const Result list = run({"list", path(), "--json"});
  ASSERT_EQ(list.status, 0);
  const std::string plain = dir.file("plain.msstyles");
  const std::string from = dir.file("from.msstyles");
  ASSERT_EQ(run({"write", path(), "-o", plain}).status, 0);
  const Result r = run({"write", path(), "-o", from, "--from", dir.write("list.json", {list.out.begin(), list.out.end()})});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(mt::readFile(from), mt::readFile(plain));  // the Arabic size name is kept, not written as "????"
}

TEST_P(CliOnLight, GrownFontsComeBackFromTheThemeAndFromItsJson) {
  const std::string plain = dir.file("plain.msstyles");
  const std::string grown = dir.file("grown.msstyles");
  ASSERT_EQ(run({"write", path(), "-o", plain}).status, 0);
  const Result grow = run({"write", path(), "-o", grown, "--grow", "1"});
  ASSERT_EQ(grow.status, 0) << grow.err;
  EXPECT_EQ(grow.err, "sizes: 21 changed, 0 stopped at 1 or -1, 0 not whole numbers (left as they are)\n");

  const Result list = run({"list", path(), "--json"});
  ASSERT_EQ(list.status, 0);
  const std::string json = dir.write("light.json", {list.out.begin(), list.out.end()});
  for (const std::string& source : {std::string(path()), json}) {
    const std::string back = dir.file("back.msstyles");
    const Result r = run({"write", grown, "-o", back, "--fonts-from", source});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "--fonts-from " + source + ": 21 rows changed, 0 already alike, 0 with no match\n");
    EXPECT_EQ(mt::readFile(back), mt::readFile(plain)) << source;  // the same bytes as before the growth
  }
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, CliOnLight, ::testing::ValuesIn(mt::kWineThemes),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
