#include "safe_write.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
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

// What is copied from the source at a time where the system cannot copy file to file.
constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

// The theme file must be as it was loaded once its data is copied: a file changed in
// between would give a new file made of two different ones.
void checkUnchanged(const std::string& target, const DataSource* source, const FileStamp& expected) {
  if (source != nullptr && source->stamp() != expected) {
    throw WriteError(target, "the theme file changed while it was being written");
  }
}

}  // namespace

#ifdef _WIN32

namespace {

// Refused: folders, devices and pipes, links (following them needs calls that Windows XP
// lacks) and read-only files. A missing target is fine.
void checkTarget(const std::string& target) {
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  const auto refuse = [&](const char* why) { throw WriteError(target, why); };
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) refuse("it is a folder");
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) refuse("it is a symbolic link or junction");
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) refuse("it is read-only");
  HANDLE probe = CreateFileA(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    const DWORD type = GetFileType(probe);
    CloseHandle(probe);
    if (type != FILE_TYPE_DISK) refuse("it is not a regular file (a device or pipe)");
  }
}

// The temporary file of the write in progress. Once the front end has asked for it
// (removeFileOnSignal), Ctrl+C, Ctrl+Break and closing the console run the handler on a
// thread of their own; it removes the file (opened with delete sharing, so removal waits
// for the last handle) before the process ends.
char gTemporaryFile[MAX_PATH];
volatile LONG gWatching = 0;

BOOL WINAPI removeTemporaryFile(DWORD /*event*/) {
  if (InterlockedExchange(&gWatching, 0) != 0) DeleteFileA(gTemporaryFile);
  return FALSE;  // on to the default handler, which ends the process
}

}  // namespace

void removeFileOnSignal() {
  static const BOOL installed = SetConsoleCtrlHandler(removeTemporaryFile, TRUE);
  (void)installed;
}

void writeFileAtomically(const std::string& target, std::span<const Piece> pieces, const DataSource* source,
                         const FileStamp& expected) {
  checkTarget(target);
  const std::string folder = folderOf(target);
  char temp[MAX_PATH];
  if (GetTempFileNameA(folder.c_str(), "mvt", 0, temp) == 0) {
    throw WriteError(target, "cannot create a temporary file in " + folder);
  }
  lstrcpynA(gTemporaryFile, temp, MAX_PATH);
  InterlockedExchange(&gWatching, 1);
  HANDLE file = CreateFileA(temp, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  const auto put = [&](std::span<const std::uint8_t> bytes) {
    for (std::size_t done = 0; ok && done < bytes.size();) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1U << 24));
      DWORD written = 0;
      ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) != 0 && written == chunk;
      done += written;
    }
  };
  std::vector<std::uint8_t> buffer;
  for (const Piece& piece : pieces) {
    if (!piece.inSource()) {
      put(piece.memory);
      continue;
    }
    ok = ok && source != nullptr;
    buffer.resize(kCopyChunk);
    for (std::uint64_t done = 0; ok && done < piece.sourceLength;) {
      const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(piece.sourceLength - done, kCopyChunk));
      try {
        source->readInto(piece.sourceOffset + done, std::span(buffer).first(chunk));
      } catch (const ThemeError&) {
        ok = false;
      }
      put(std::span(buffer).first(chunk));
      done += chunk;
    }
  }
  ok = ok && FlushFileBuffers(file) != 0;
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (InterlockedExchange(&gWatching, 0) == 0) Sleep(INFINITE);  // the handler has it: the process is ending
  try {
    checkUnchanged(target, source, expected);
  } catch (...) {
    DeleteFileA(temp);
    throw;
  }
  ok = ok && MoveFileExA(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) {
    DeleteFileA(temp);
    throw WriteError(target, "");
  }
}

#else

namespace {

[[noreturn]] void refuse(const std::string& target, const std::string& why) {
  throw WriteError(target, why);
}

// The file to replace: the target itself, or the file a symbolic link there names (the
// link stays). Refused: anything but a regular file or a missing one, and read-only
// files; the mode bits are checked, as root is allowed to write into read-only files.
std::string fileToReplace(const std::string& target, struct stat& found, bool& exists) {
  exists = false;
  if (lstat(target.c_str(), &found) != 0) {
    if (errno == ENOENT) return target;
    refuse(target, std::strerror(errno));
  }
  std::string path = target;
  if (S_ISLNK(found.st_mode)) {
    char* named = realpath(target.c_str(), nullptr);
    if (named == nullptr) {
      refuse(target, errno == ENOENT ? "it is a symbolic link to a missing file" : std::strerror(errno));
    }
    path = named;
    std::free(named);
    if (stat(path.c_str(), &found) != 0) refuse(target, std::strerror(errno));
  }
  if (S_ISDIR(found.st_mode)) refuse(target, "it is a folder");
  if (!S_ISREG(found.st_mode)) refuse(target, "it is not a regular file (a device, FIFO or socket)");
  if ((found.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0) {
    refuse(target, "it is read-only");
  }
  exists = true;
  return path;
}

// The temporary file of the write in progress. Once the front end has asked for it
// (removeFileOnSignal), a process interrupted from the terminal or told to end removes it
// before it goes, so no half-written copy stays beside the target.
constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};
const char* volatile gTemporaryFile = nullptr;
std::array<struct sigaction, kEndingSignals.size()> gPreviousActions{};

extern "C" void removeTemporaryFileAndEnd(int signal) {
  if (const char* temp = gTemporaryFile) unlink(temp);
  // Hand the signal on as if this handler had not been there: by default the process ends.
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    if (kEndingSignals[i] == signal) sigaction(signal, &gPreviousActions[i], nullptr);
  }
  raise(signal);
}

// While alive, the file it watches is the one the handler removes. The ending signals are
// held back while the name is registered and withdrawn, so none falls between creating or
// renaming the file and the handler knowing of it.
class TemporaryFileGuard {
 public:
  TemporaryFileGuard() {
    sigemptyset(&ending_);
    for (const int signal : kEndingSignals) sigaddset(&ending_, signal);
    sigprocmask(SIG_BLOCK, &ending_, &savedMask_);
  }
  ~TemporaryFileGuard() {
    sigprocmask(SIG_BLOCK, &ending_, nullptr);
    gTemporaryFile = nullptr;
    sigprocmask(SIG_SETMASK, &savedMask_, nullptr);
  }
  TemporaryFileGuard(const TemporaryFileGuard&) = delete;
  TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

  // Called with the signals still held back, right after the file is made.
  void watch(const char* temp) {
    gTemporaryFile = temp;
    sigprocmask(SIG_SETMASK, &savedMask_, nullptr);
  }
  // Holds the signals back again for the rename, after which the file is gone.
  void holdSignals() { sigprocmask(SIG_BLOCK, &ending_, nullptr); }

 private:
  sigset_t ending_{};
  sigset_t savedMask_{};
};

// Writes pieces in memory in order with gathered writes, as many pieces per call as allowed.
int writeMemory(int fd, std::span<const Piece> pieces) {
  constexpr std::size_t kMaxPieces = 1024;  // IOV_MAX on Linux
  std::vector<iovec> vectors;
  vectors.reserve(std::min(pieces.size(), kMaxPieces));
  std::size_t next = 0;
  std::size_t skip = 0;  // bytes of pieces[next] already written
  while (next < pieces.size()) {
    vectors.clear();
    for (std::size_t i = next; i < pieces.size() && vectors.size() < kMaxPieces; ++i) {
      const std::size_t from = i == next ? skip : 0;
      const std::span<const std::uint8_t> bytes = pieces[i].memory;
      if (bytes.size() == from) continue;
      // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): writev only reads
      vectors.push_back({const_cast<std::uint8_t*>(bytes.data() + from), bytes.size() - from});
    }
    if (vectors.empty()) break;
    const ssize_t n = ::writev(fd, vectors.data(), static_cast<int>(vectors.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    // Move past what was written, piece by piece.
    auto left = static_cast<std::size_t>(n);
    while (next < pieces.size() && left >= pieces[next].memory.size() - skip) {
      left -= pieces[next].memory.size() - skip;
      skip = 0;
      ++next;
    }
    skip += left;
  }
  return 0;
}

// Copies a range of the source to the end of the file: in the kernel where the file
// systems allow it, else through a buffer of kCopyChunk bytes. A source shorter than the
// range (a file cut while it is written) fails with ENODATA.
int copyFromSource(int fd, const DataSource& source, std::uint64_t offset, std::uint64_t length,
                   std::vector<std::uint8_t>& buffer) {
#ifdef __linux__
  if (const int in = source.descriptor(); in >= 0) {
    auto from = static_cast<off_t>(offset);
    while (length > 0) {
      const ssize_t n = ::copy_file_range(in, &from, fd, nullptr, std::min<std::uint64_t>(length, 1U << 30), 0);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) break;
      if (n < 0) return errno;
      if (n == 0) return ENODATA;
      offset += static_cast<std::uint64_t>(n);
      length -= static_cast<std::uint64_t>(n);
    }
  }
#endif
  buffer.resize(kCopyChunk);
  while (length > 0) {
    const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyChunk));
    try {
      source.readInto(offset, std::span(buffer).first(chunk));
    } catch (const ThemeError&) {
      return ENODATA;
    }
    const Piece piece(std::span<const std::uint8_t>(buffer).first(chunk));
    if (const int error = writeMemory(fd, std::span(&piece, 1)); error != 0) return error;
    offset += chunk;
    length -= chunk;
  }
  return 0;
}

// Every piece in order: runs of pieces in memory with gathered writes, ranges of the source copied.
int writePieces(int fd, std::span<const Piece> pieces, const DataSource* source) {
  std::vector<std::uint8_t> buffer;  // only for copies the kernel does not make
  for (std::size_t i = 0; i < pieces.size();) {
    std::size_t end = i;
    while (end < pieces.size() && !pieces[end].inSource()) ++end;
    if (end > i) {
      if (const int error = writeMemory(fd, pieces.subspan(i, end - i)); error != 0) return error;
      i = end;
      continue;
    }
    if (source == nullptr) return EINVAL;
    if (const int error = copyFromSource(fd, *source, pieces[i].sourceOffset, pieces[i].sourceLength, buffer);
        error != 0) {
      return error;
    }
    ++i;
  }
  return 0;
}

}  // namespace

void removeFileOnSignal() {
  static const bool installed = [] {
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
      sigaction(kEndingSignals[i], nullptr, &gPreviousActions[i]);
      if (gPreviousActions[i].sa_handler == SIG_IGN) continue;  // a signal the process ignores stays ignored
      struct sigaction action {};
      action.sa_handler = removeTemporaryFileAndEnd;
      sigemptyset(&action.sa_mask);
      sigaction(kEndingSignals[i], &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

void writeFileAtomically(const std::string& target, std::span<const Piece> pieces, const DataSource* source,
                         const FileStamp& expected) {
  struct stat old {};
  bool replacing = false;
  const std::string path = fileToReplace(target, old, replacing);
  const std::string folder = folderOf(path);
  std::string temp = path + ".XXXXXX";
  TemporaryFileGuard guard;
  const int fd = mkstemp(temp.data());
  if (fd < 0) refuse(target, std::strerror(errno));
  guard.watch(temp.c_str());

  int error = 0;
  // Keep the owner and permissions of the file being replaced; a new file gets the usual ones.
  if (replacing) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Only root may give a file away; anyone else keeps their own file's owner anyway.
    }
    fchmod(fd, old.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  error = writePieces(fd, pieces, source);
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  guard.holdSignals();
  try {
    checkUnchanged(target, source, expected);
  } catch (...) {
    unlink(temp.c_str());
    throw;
  }
  if (error == 0 && rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temp.c_str());
    refuse(target, std::strerror(error));
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
  if (file.source() == nullptr) {
    writeFileAtomically(target, file.pieces());
  } else {
    writeFileAtomically(target, file, *file.source());
  }
}

void writeFileAtomically(const std::string& target, const RebuiltTheme& file, const DataSource& source) {
  const FileStamp loaded = file.source() != nullptr ? file.source()->openedStamp() : source.stamp();
  checkUnchanged(target, &source, loaded);  // changed before the write began
  writeFileAtomically(target, file.pieces(), &source, loaded);
}

void writeFileAtomically(const std::string& target, std::span<const std::uint8_t> bytes) {
  const Piece one[] = {bytes};
  writeFileAtomically(target, one);
}

}  // namespace theme
