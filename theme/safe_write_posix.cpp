// The safe write's copy on POSIX systems: mkstemp beside the target, gathered writes,
// copy_file_range where Linux offers it, fsync, rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "errors.h"
#include "safe_write.h"
#include "safe_write_system.h"
#include "signal_cleanup.h"

namespace theme::safe_write_detail {

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

// Writes pieces in memory in order from `at` on with gathered writes, as many pieces per
// call as allowed.
int writeMemory(int fd, std::span<const Piece> pieces, std::uint64_t at) {
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
      // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): pwritev only reads
      vectors.push_back({const_cast<std::uint8_t*>(bytes.data() + from), bytes.size() - from});
    }
    if (vectors.empty()) break;
    const ssize_t n = ::pwritev(fd, vectors.data(), static_cast<int>(vectors.size()), static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    at += static_cast<std::uint64_t>(n);
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

// Copies a range of the source to `at` in the file: in the kernel where the file systems
// allow it, else through a buffer. A source shorter than the range (a file cut while it
// is written) fails with ENODATA.
int copyFromSource(int fd, const DataSource& source, std::uint64_t offset, std::uint64_t length, std::uint64_t at,
                   std::vector<std::uint8_t>& buffer) {
#ifdef __linux__
  if (const int in = source.descriptor(); in >= 0) {
    auto from = static_cast<off_t>(offset);
    auto to = static_cast<off_t>(at);
    while (length > 0) {
      const ssize_t n = ::copy_file_range(in, &from, fd, &to, std::min<std::uint64_t>(length, 1U << 30), 0);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) break;
      if (n < 0) return errno;
      if (n == 0) return ENODATA;
      offset += static_cast<std::uint64_t>(n);
      at += static_cast<std::uint64_t>(n);
      length -= static_cast<std::uint64_t>(n);
    }
    if (length == 0) return 0;
  }
#endif
  const int error = copyThroughBuffer(source, offset, length, buffer, [&](std::span<const std::uint8_t> chunk) {
    const Piece piece(chunk);
    const int written = writeMemory(fd, std::span(&piece, 1), at);
    at += chunk.size();
    return written;
  });
  return error == kSourceUnreadable ? ENODATA : error;
}

// Source ranges up to this size go through memory with the pieces around them: a kernel
// copy costs more to set up than a read of a few KiB, and a theme's string tables and
// small resources come as dozens of such ranges.
constexpr std::uint64_t kSmallCopy = std::uint64_t{64} << 10;
// The most read at once to gather the short ranges of a run (gaps between them included).
constexpr std::uint64_t kGatherSpan = std::uint64_t{1} << 20;

// How much of the new file the source lays down in one copy before the rest is written
// over it: all of the source it holds, when long ranges of the source make up at least
// half of the new file at the very places they have in the source (a rebuilt theme whose
// texts did not grow); else 0. One copy of the whole costs the system much less than a
// copy that starts anywhere else (a flush and a rename included: 0.9 ms less for 7 MB).
std::uint64_t sourceUnderlay(std::span<const Piece> pieces, const DataSource* source) {
  if (source == nullptr || source->descriptor() < 0) return 0;
  std::uint64_t total = 0;
  std::uint64_t inPlace = 0;
  for (const Piece& piece : pieces) {
    if (piece.inSource() && piece.sourceLength > kSmallCopy && piece.sourceOffset == total) inPlace += piece.sourceLength;
    total += piece.size();
  }
  if (inPlace == 0 || inPlace < total / 2) return 0;
  try {
    return std::min(total, source->stamp().size);
  } catch (const ThemeError&) {
    return 0;  // the copy piece by piece then says why
  }
}

// Every piece at its place: long ranges of the source copied file to file; everything
// else in runs of gathered writes, the short ranges of a run read from the source with
// one read. Over an underlay, the source's ranges already in place are not written again.
int writePieces(int fd, std::span<const Piece> pieces, const DataSource* source) {
  std::vector<std::uint8_t> buffer;    // only for copies the kernel does not make
  std::vector<std::uint8_t> gathered;  // the short ranges of a run, as the source holds them
  std::vector<Piece> run;
  const std::uint64_t underlay = sourceUnderlay(pieces, source);
  if (underlay > 0) {
    if (const int error = copyFromSource(fd, *source, 0, underlay, 0, buffer); error != 0) return error;
  }
  const auto inPlace = [underlay](const Piece& piece, std::uint64_t at) {
    return piece.inSource() && piece.sourceOffset == at && at + piece.sourceLength <= underlay;
  };
  std::uint64_t at = 0;  // where pieces[i] goes
  for (std::size_t i = 0; i < pieces.size();) {
    if (inPlace(pieces[i], at)) {
      at += pieces[i].sourceLength;
      ++i;
      continue;
    }
    if (pieces[i].inSource() && pieces[i].sourceLength > kSmallCopy) {
      if (source == nullptr) return EINVAL;
      if (const int error = copyFromSource(fd, *source, pieces[i].sourceOffset, pieces[i].sourceLength, at, buffer);
          error != 0) {
        return error;
      }
      at += pieces[i].sourceLength;
      ++i;
      continue;
    }
    std::uint64_t low = UINT64_MAX;
    std::uint64_t high = 0;
    std::uint64_t runBytes = 0;
    std::size_t end = i;
    for (; end < pieces.size(); ++end) {
      const Piece& piece = pieces[end];
      if (end > i && inPlace(piece, at + runBytes)) break;
      if (piece.inSource()) {
        if (piece.sourceLength > kSmallCopy) break;
        const std::uint64_t from = std::min(low, piece.sourceOffset);
        const std::uint64_t to = std::max(high, piece.sourceOffset + piece.sourceLength);
        if (to - from > kGatherSpan) break;
        low = from;
        high = to;
      }
      runBytes += piece.size();
    }
    if (high > low) {
      if (source == nullptr) return EINVAL;
      gathered.resize(static_cast<std::size_t>(high - low));
      try {
        source->readInto(low, gathered);
      } catch (const ThemeError&) {
        return ENODATA;
      }
    }
    run.clear();
    for (std::size_t k = i; k < end; ++k) {
      const Piece& piece = pieces[k];
      run.push_back(piece.inSource() ? Piece(std::span<const std::uint8_t>(gathered).subspan(
                                           static_cast<std::size_t>(piece.sourceOffset - low),
                                           static_cast<std::size_t>(piece.sourceLength)))
                                     : piece);
    }
    if (const int error = writeMemory(fd, run, at); error != 0) return error;
    at += runBytes;
    i = end;
  }
  return 0;
}

}  // namespace

void replaceWithPieces(const std::string& target, std::span<const Piece> pieces, const DataSource* source,
                       const FileStamp& expected) {
  struct stat old {};
  bool replacing = false;
  const std::string path = fileToReplace(target, old, replacing);
  const std::string folder = folderOf(path);
  std::string temp = path + ".XXXXXX";
  TemporaryFileWatch watch;
  const int fd = mkstemp(temp.data());
  if (fd < 0) refuse(target, std::strerror(errno));
  watch.watch(temp.c_str());

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
  watch.release();
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

}  // namespace theme::safe_write_detail
