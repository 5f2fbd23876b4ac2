// Writing the rebuilt file in place: all or nothing, the old target untouched on any
// failure, and a one-line WriteError naming the target.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "errors.h"
#include "safe_write.h"
#include "signal_cleanup.h"
#include "test_support.h"
#include "theme_rebuild.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace marvento_test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> entries(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

bool appendFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

void expectClearError(const theme::WriteError& e, const std::string& target) {
  const std::string what = e.what();
  EXPECT_NE(what.find(fs::path(target).filename().string()), std::string::npos) << what;
  EXPECT_EQ(what.find('\n'), std::string::npos) << what;
}

Bytes oldContent() { return Bytes{'o', 'l', 'd'}; }

Bytes payload(std::size_t size) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return b;
}

TEST(SafeWrite, ReplacesTheTargetAndLeavesNothingBehind) {
  TempDir dir;
  const std::string target = dir.write("theme.msstyles", oldContent());
  const Bytes bytes = payload(100000);
  theme::writeFileAtomically(target, bytes);
  EXPECT_EQ(readFile(target), bytes);
  EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"theme.msstyles"}));
  theme::writeFileAtomically(dir.file("new.msstyles"), bytes);
  EXPECT_EQ(readFile(dir.file("new.msstyles")), bytes);
  theme::writeFileAtomically(target, std::span<const std::uint8_t>{});
  EXPECT_TRUE(readFile(target).empty());
}

// A rebuilt file is written from many pieces: more than one gathered write takes, some
// of them empty, in their order.
// Pieces in memory and ranges copied from a source file, some of them long, interleaved.
TEST(SafeWrite, PiecesAreWrittenInOrder) {
  TempDir dir;
  const Bytes bytes = payload(2000000);
  const theme::PositionedFile source(dir.write("source.msstyles", bytes));
  std::vector<theme::Piece> pieces;
  for (std::size_t at = 0, n = 0; at < bytes.size(); ++n) {
    const std::size_t size = std::min<std::size_t>(n % 5 == 0 ? 0 : n == 1003 ? 1200000 : n % 300, bytes.size() - at);
    pieces.push_back(n % 7 == 3 && size > 0 ? theme::Piece::ofSource(at, size) : theme::Piece(span(bytes).subspan(at, size)));
    at += size;
  }
  ASSERT_GT(pieces.size(), 2048U);
  theme::writeFileAtomically(dir.file("pieces.msstyles"), pieces, &source, source.openedStamp());
  EXPECT_EQ(readFile(dir.file("pieces.msstyles")), bytes);
}

// Where long ranges of the theme file keep their places, the file is copied whole and
// the rest written over it: what differs, a long range that moved, short ranges, a new
// end before or past the old one.
TEST(SafeWrite, OverACopyOfTheThemeFileEveryOtherPieceIsWritten) {
  TempDir dir;
  const Bytes bytes = payload(2000000);
  const theme::PositionedFile source(dir.write("source.msstyles", bytes));
  const Bytes other(800000, 0xAB);
  // (the last in-place range, what follows it): 1.6 MB in all, then 2.1 MB, the theme 2 MB
  for (const auto& [tail, end] : {std::pair<std::size_t, std::size_t>{300000, 2000}, {10, 800000}}) {
    const std::vector<theme::Piece> pieces = {
        theme::Piece(span(other).first(1000)),  // differs from the theme's start
        theme::Piece::ofSource(1000, 1200000),  // in place
        theme::Piece::ofSource(50, 100000),     // long, moved
        theme::Piece::ofSource(1301000, 30),    // short, in place
        theme::Piece::ofSource(7, 20),          // short, moved
        theme::Piece(span(other).first(500)),
        theme::Piece::ofSource(1301550, tail),  // in place
        theme::Piece(span(other).first(end)),
    };
    const Bytes expected = theme::joinPieces(pieces, &source);
    theme::writeFileAtomically(dir.file("over.msstyles"), pieces, &source, source.openedStamp());
    EXPECT_EQ(readFile(dir.file("over.msstyles")), expected) << end;
  }
}

// Data copied from the theme file while it is written: a file changed meanwhile (here by
// the source itself, on its first read; it offers no descriptor, so the copy goes through
// a buffer) is refused, the target keeps its old bytes and no temporary file stays.
TEST(SafeWrite, ThemeFileChangedDuringTheWriteIsRefused) {
  struct AppendingSource : theme::DataSource {
    AppendingSource(const theme::DataSource& file, std::string path) : file(file), path(std::move(path)) {}
    void readInto(std::uint64_t offset, std::span<std::uint8_t> out) const override {
      if (!tried) appended = appendFile(path, {'x'});
      tried = true;
      file.readInto(offset, out);
    }
    [[nodiscard]] theme::FileStamp stamp() const override { return file.stamp(); }
    const theme::DataSource& file;
    std::string path;
    mutable bool tried = false;
    mutable bool appended = false;
  };
  TempDir dir;
  const std::string path = dir.write("theme.msstyles", sampleTheme());
  const std::string target = dir.write("out.msstyles", oldContent());
  theme::FontPages pages;
  const theme::ThemeImage image = theme::loadTheme(path, pages, cp932(), {}, theme::Reading::ListedPartsOnly);
  const theme::RebuiltTheme rebuilt = theme::rebuildTheme(image, pages, cp932());
  theme::writeFileAtomically(target, rebuilt, *image.file);  // unchanged: written
  EXPECT_EQ(readFile(target), rebuiltBytes(sampleTheme()));

  dir.write("out.msstyles", oldContent());
  const AppendingSource changing(*image.file, path);
  try {
    theme::writeFileAtomically(target, rebuilt, changing);
    if (changing.tried && !changing.appended) {
      GTEST_SKIP() << "the open theme file cannot be changed here (Windows opens it without write sharing)";
    }
    ADD_FAILURE() << "a theme file changed during the write was not noticed";
  } catch (const theme::WriteError& e) {
    expectClearError(e, target);
    EXPECT_EQ(e.target(), target);  // named as the target, so that a front end says the path once
  }
  EXPECT_TRUE(changing.appended);
  EXPECT_EQ(readFile(target), oldContent());
  EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"theme.msstyles", "out.msstyles"}));
  // Changed before the write began: refused before anything is written.
  EXPECT_THROW(theme::writeFileAtomically(target, rebuilt), theme::WriteError);
}

TEST(SafeWrite, TargetThatIsADirectoryIsRefused) {
  TempDir dir;
  fs::create_directory(dir.file("theme.msstyles"));
  writeFile(dir.file("theme.msstyles") + "/inside", oldContent());
  try {
    theme::writeFileAtomically(dir.file("theme.msstyles"), payload(10));
    ADD_FAILURE() << "wrote over a directory";
  } catch (const theme::WriteError& e) {
    expectClearError(e, dir.file("theme.msstyles"));
  }
  EXPECT_TRUE(fs::is_directory(dir.file("theme.msstyles")));
  EXPECT_EQ(readFile(dir.file("theme.msstyles") + "/inside"), oldContent());
  EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"theme.msstyles"}));
}

TEST(SafeWrite, TargetInAMissingFolderIsRefused) {
  TempDir dir;
  const std::string target = dir.file("missing") + "/theme.msstyles";
  try {
    theme::writeFileAtomically(target, payload(10));
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const theme::WriteError& e) {
    expectClearError(e, target);
  }
  EXPECT_FALSE(fs::exists(dir.file("missing")));
  EXPECT_TRUE(entries(dir.path()).empty());
}

#ifndef _WIN32
TEST(SafeWrite, ReadOnlyFolderLeavesTheOldTarget) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not stop writes";
  TempDir dir;
  const std::string target = dir.write("theme.msstyles", oldContent());
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  bool refused = false;
  try {
    theme::writeFileAtomically(target, payload(10));
  } catch (const theme::WriteError& e) {
    refused = true;
    expectClearError(e, target);
  }
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_TRUE(refused);
  EXPECT_EQ(readFile(target), oldContent());
  EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"theme.msstyles"}));
}

TEST(SafeWrite, ReadOnlyFileSystemIsRefused) {
  if (!fs::is_directory("/proc/self")) GTEST_SKIP() << "no /proc";
  const std::string target = "/proc/marvento-test.msstyles";
  EXPECT_THROW(theme::writeFileAtomically(target, payload(10)), theme::WriteError);
  EXPECT_FALSE(fs::exists(target));
}

// A full disk, imitated with a file-size limit: the write fails part way through.
TEST(SafeWrite, FullDestinationLeavesTheOldTarget) {
  TempDir dir;
  const std::string target = dir.write("theme.msstyles", oldContent());
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  auto* previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool refused = false;
  std::string message;
  try {
    theme::writeFileAtomically(target, payload(std::size_t{256} * 1024));
  } catch (const theme::WriteError& e) {
    refused = true;
    message = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_TRUE(refused);
  EXPECT_NE(message.find("theme.msstyles"), std::string::npos) << message;
  EXPECT_EQ(readFile(target), oldContent());
  EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"theme.msstyles"}));
}

// The handlers that remove an interrupted write's file are the program's choice: a write
// leaves the process's signal handling as it found it until removeFileOnSignal is called.
TEST(SafeWrite, InstallsSignalHandlersOnlyWhenAsked) {
  TempDir dir;
  const auto handlerOf = [](int signal) {
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return action.sa_handler;
  };
  const std::array<int, 3> signals = {SIGINT, SIGTERM, SIGHUP};
  std::array<void (*)(int), 3> before{};
  for (std::size_t i = 0; i < signals.size(); ++i) before[i] = handlerOf(signals[i]);
  theme::writeFileAtomically(dir.file("theme.msstyles"), payload(10));
  for (std::size_t i = 0; i < signals.size(); ++i) EXPECT_EQ(handlerOf(signals[i]), before[i]) << signals[i];
  theme::removeFileOnSignal();
  for (std::size_t i = 0; i < signals.size(); ++i) {
    // An ignored signal stays ignored; any other now removes the file first.
    if (before[i] == SIG_IGN) EXPECT_EQ(handlerOf(signals[i]), SIG_IGN) << signals[i];
    else EXPECT_NE(handlerOf(signals[i]), before[i]) << signals[i];
  }
}
#endif

// The whole road: a rebuilt theme written onto the loaded file itself.
TEST(SafeWrite, WritingOntoTheLoadedFile) {
  TempDir dir;
  const std::string path = dir.write("sample.msstyles", sampleTheme());
  theme::FontPages pages;
  theme::ThemeImage image = theme::loadTheme(path, pages, cp932());
  pages.setCell(0, 0, theme::kColSize, "10");
  theme::writeFileAtomically(path, theme::rebuildTheme(image, pages, cp932()).bytes());
  theme::FontPages reread;
  theme::loadTheme(path, reread, cp932());
  EXPECT_EQ(rowsOf(reread, 0).at(0).size, "10");
  EXPECT_EQ(rowsOf(reread, 1), sampleRows(1));
}

}  // namespace
}  // namespace marvento_test
