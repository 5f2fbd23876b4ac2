// Writing the rebuilt file in place: all or nothing, the old target untouched on any
// failure, and a one-line WriteError naming the target.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "errors.h"
#include "test_support.h"
#include "theme_rebuild.h"
#include "safe_write.h"

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
TEST(SafeWrite, PiecesAreWrittenInOrder) {
  TempDir dir;
  const Bytes bytes = payload(300000);
  std::vector<std::span<const std::uint8_t>> pieces;
  for (std::size_t at = 0, n = 0; at < bytes.size(); ++n) {
    const std::size_t size = std::min<std::size_t>(n % 5 == 0 ? 0 : n % 300, bytes.size() - at);
    pieces.push_back(span(bytes).subspan(at, size));
    at += size;
  }
  ASSERT_GT(pieces.size(), 2048U);
  theme::writeFileAtomically(dir.file("pieces.msstyles"), pieces);
  EXPECT_EQ(readFile(dir.file("pieces.msstyles")), bytes);
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
