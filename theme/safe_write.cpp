#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "errors.h"
#include "theme_rebuild.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace theme {

namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  return path.substr(0, slash);
}

}  // namespace

#ifdef _WIN32

void writeFileAtomically(const std::string& target, std::span<const std::span<const std::uint8_t>> pieces) {
  const std::string folder = folderOf(target);
  char temp[MAX_PATH];
  if (GetTempFileNameA(folder.c_str(), "mvt", 0, temp) == 0) {
    throw WriteError("cannot write " + target + ": cannot create a temporary file in " + folder);
  }
  HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  for (const auto& bytes : pieces) {
    for (std::size_t done = 0; ok && done < bytes.size();) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1U << 24));
      DWORD written = 0;
      ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) != 0 && written == chunk;
      done += written;
    }
  }
  ok = ok && FlushFileBuffers(file) != 0;
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  ok = ok && MoveFileExA(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) {
    DeleteFileA(temp);
    throw WriteError("cannot write " + target);
  }
}

#else

namespace {

// Writes every piece in order with gathered writes, as many pieces per call as allowed.
int writePieces(int fd, std::span<const std::span<const std::uint8_t>> pieces) {
  constexpr std::size_t kMaxPieces = 1024;  // IOV_MAX on Linux
  std::vector<iovec> vectors;
  vectors.reserve(std::min(pieces.size(), kMaxPieces));
  std::size_t next = 0;
  std::size_t skip = 0;  // bytes of pieces[next] already written
  while (next < pieces.size()) {
    vectors.clear();
    for (std::size_t i = next; i < pieces.size() && vectors.size() < kMaxPieces; ++i) {
      const std::size_t from = i == next ? skip : 0;
      if (pieces[i].size() == from) continue;
      // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): writev only reads
      vectors.push_back({const_cast<std::uint8_t*>(pieces[i].data() + from), pieces[i].size() - from});
    }
    if (vectors.empty()) break;
    const ssize_t n = ::writev(fd, vectors.data(), static_cast<int>(vectors.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    // Move past what was written, piece by piece.
    auto left = static_cast<std::size_t>(n);
    while (next < pieces.size() && left >= pieces[next].size() - skip) {
      left -= pieces[next].size() - skip;
      skip = 0;
      ++next;
    }
    skip += left;
  }
  return 0;
}

}  // namespace

void writeFileAtomically(const std::string& target, std::span<const std::span<const std::uint8_t>> pieces) {
  const std::string folder = folderOf(target);
  std::string temp = target + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) throw WriteError("cannot write " + target + ": " + std::strerror(errno));

  int error = 0;
  // Keep the permissions of the file being replaced; a new file gets the usual ones.
  struct stat old {};
  if (stat(target.c_str(), &old) == 0) {
    fchmod(fd, old.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  error = writePieces(fd, pieces);
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temp.c_str());
    throw WriteError("cannot write " + target + ": " + std::strerror(error));
  }
  // Make the rename itself durable.
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
}

#endif

void writeFileAtomically(const std::string& target, const RebuiltTheme& file) {
  writeFileAtomically(target, file.pieces());
}

void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes) {
  const std::span<const std::uint8_t> one[] = {bytes};
  writeFileAtomically(target, one);
}

}  // namespace theme
