// The reference of the write benchmark: what any safe replace of a file must do, and
// nothing more. Copies SOURCE to a temporary file beside TARGET in the kernel
// (copy_file_range), flushes it, renames it over TARGET and flushes the folder.
//   safe_replace SOURCE TARGET
// Plain C calls only, linked without libstdc++, so that its start-up is as cheap as a
// program's can be.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int fail(const char* what) {
  std::fprintf(stderr, "safe_replace: %s: %s\n", what, std::strerror(errno));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: safe_replace SOURCE TARGET\n", stderr);
    return 2;
  }
  const char* target = argv[2];
  char folder[4096];
  char temp[4096];
  const char* slash = std::strrchr(target, '/');
  const char* folderFrom = slash == nullptr ? "." : target;
  const int folderLength = slash == nullptr || slash == target ? 1 : static_cast<int>(slash - target);
  if (std::snprintf(folder, sizeof folder, "%.*s", folderLength, folderFrom) >= 4096 ||
      std::snprintf(temp, sizeof temp, "%s.XXXXXX", target) >= 4096) {
    std::fputs("safe_replace: name too long\n", stderr);
    return 2;
  }
  const int in = open(argv[1], O_RDONLY | O_CLOEXEC);
  if (in < 0) return fail(argv[1]);
  struct stat st {};
  if (fstat(in, &st) != 0) return fail(argv[1]);
  const int out = mkstemp(temp);
  if (out < 0) return fail("mkstemp");
  auto left = static_cast<std::size_t>(st.st_size);
  while (left > 0) {
    const ssize_t n = copy_file_range(in, nullptr, out, nullptr, left, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail("copy_file_range");
    left -= static_cast<std::size_t>(n);
  }
  if (fsync(out) != 0) return fail("fsync");
  if (close(out) != 0) return fail("close");
  close(in);
  if (rename(temp, target) != 0) return fail("rename");
  const int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0 || fsync(dir) != 0) return fail(folder);
  close(dir);
  return 0;
}
