#include <cerrno>
#include <cstring>
#include <string>

#include "errors.h"
#include "theme_rebuild.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
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

void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes) {
  const std::string folder = folderOf(target);
  char temp[MAX_PATH];
  if (GetTempFileNameA(folder.c_str(), "mvt", 0, temp) == 0) {
    throw WriteError("cannot write " + target + ": cannot create a temporary file in " + folder);
  }
  HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1U << 24));
    DWORD written = 0;
    ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) != 0 && written == chunk;
    done += written;
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

void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes) {
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
  for (std::size_t done = 0; error == 0 && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) error = n < 0 ? errno : ENOSPC;
    else done += static_cast<std::size_t>(n);
  }
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

}  // namespace theme
