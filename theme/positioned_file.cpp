#include "positioned_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <filesystem>
#include <limits>

#include "errors.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace theme {

namespace {

// Reads ahead around a small request, so that the walk over a directory of thousands of
// 4-byte fields takes a handful of reads.
constexpr std::uint64_t kReadAhead = std::uint64_t{16} << 10;
constexpr std::uint64_t kPage = 4096;

// Adds a chunk of a stream read whole, which may not grow past kMaxStreamBytes: an endless
// one (a device, a pipe that never ends) must not take all memory.
void appendChunk(std::vector<std::uint8_t>& bytes, std::span<const std::uint8_t> chunk) {
  if (chunk.size() > kMaxStreamBytes - bytes.size()) {
    throw ThemeError(ThemeReason::TooLarge, "more than " + std::to_string(kMaxStreamBytes >> 20) +
                                                " MiB from a pipe or device, too large for a theme");
  }
  bytes.insert(bytes.end(), chunk.begin(), chunk.end());
}

#ifdef _WIN32

std::vector<std::uint8_t> readStream(HANDLE in) {
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> chunk(std::size_t{1} << 16);
  for (;;) {
    DWORD got = 0;
    if (ReadFile(in, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) == 0) {
      if (GetLastError() == ERROR_BROKEN_PIPE) return bytes;  // the writer closed its end
      throw ThemeError(ThemeReason::CannotRead, "cannot read the file");
    }
    if (got == 0) return bytes;
    appendChunk(bytes, std::span(chunk).first(got));
  }
}

#else

std::vector<std::uint8_t> readStream(int fd) {
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> chunk(std::size_t{1} << 16);
  for (;;) {
    const ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ThemeError(ThemeReason::CannotRead, std::string("cannot read the file: ") + std::strerror(errno));
    if (n == 0) return bytes;
    appendChunk(bytes, std::span(chunk).first(static_cast<std::size_t>(n)));
  }
}

[[noreturn]] void cannotOpen(int error) {
  throw ThemeError(ThemeReason::CannotOpen, error != 0 ? std::string("cannot open the file: ") + std::strerror(error) : "cannot open the file");
}
#endif

}  // namespace

#ifdef _WIN32

PositionedFile::PositionedFile(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw ThemeError(ThemeReason::Folder, "it is a folder, not a file");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw ThemeError(ThemeReason::CannotOpen, "cannot open the file");
  if (GetFileType(file) != FILE_TYPE_DISK) {  // a pipe or device: read whole, as it cannot be read at an offset
    try {
      keepWhole(readStream(file));
    } catch (...) {
      CloseHandle(file);
      throw;
    }
    CloseHandle(file);
    return;
  }
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) == 0) {
    CloseHandle(file);
    throw ThemeError(ThemeReason::CannotRead, "cannot read the file");
  }
  if (static_cast<std::uint64_t>(size.QuadPart) > std::numeric_limits<std::uint32_t>::max()) {
    CloseHandle(file);
    throw ThemeError(ThemeReason::TooLarge, "the file is larger than 4 GiB");
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  try {
    opened_ = stamp();
  } catch (...) {
    CloseHandle(file);
    throw;
  }
}

std::unique_ptr<PositionedFile> PositionedFile::standardInput() {
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (in == INVALID_HANDLE_VALUE || in == nullptr) throw ThemeError(ThemeReason::CannotOpen, "there is no standard input");
  std::unique_ptr<PositionedFile> file(new PositionedFile());
  file->keepWhole(readStream(in));
  return file;
}

PositionedFile::~PositionedFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

FileStamp PositionedFile::stamp() const {
  if (whole_) return opened_;
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  LARGE_INTEGER size{};
  FILETIME written{};
  if (GetFileSizeEx(file, &size) == 0 || GetFileTime(file, nullptr, nullptr, &written) == 0) {
    throw ThemeError("cannot read the file");
  }
  return {static_cast<std::uint64_t>(size.QuadPart),
          static_cast<std::int64_t>((std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime)};
}

int PositionedFile::descriptor() const { return -1; }

void PositionedFile::readInto(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (whole_) return copyWhole(offset, out);
  for (std::size_t done = 0; done < out.size();) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>((offset + done) & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1U << 24));
    DWORD got = 0;
    if (ReadFile(reinterpret_cast<HANDLE>(handle_), out.data() + done, chunk, &got, &at) == 0 || got == 0) {
      throw ThemeError(ThemeReason::CannotRead, "cannot read the file");
    }
    done += got;
  }
}

#else

PositionedFile::PositionedFile(const std::string& path) {
  errno = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) cannotOpen(errno);
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    ::close(fd);
    throw ThemeError(ThemeReason::CannotRead, "cannot read the file");
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw ThemeError(ThemeReason::Folder, "it is a folder, not a file");
  }
  if (!S_ISREG(st.st_mode)) {  // a pipe, FIFO or device: read whole, as it cannot be read at an offset
    try {
      keepWhole(readStream(fd));
    } catch (...) {
      ::close(fd);
      throw;
    }
    ::close(fd);
    return;
  }
  if (static_cast<std::uint64_t>(st.st_size) > std::numeric_limits<std::uint32_t>::max()) {
    ::close(fd);
    throw ThemeError(ThemeReason::TooLarge, "the file is larger than 4 GiB");
  }
  handle_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  opened_ = {size_, std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

std::unique_ptr<PositionedFile> PositionedFile::standardInput() {
  std::unique_ptr<PositionedFile> file(new PositionedFile());
  file->keepWhole(readStream(STDIN_FILENO));
  return file;
}

PositionedFile::~PositionedFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

FileStamp PositionedFile::stamp() const {
  if (whole_) return opened_;
  struct stat st {};
  if (fstat(static_cast<int>(handle_), &st) != 0) throw ThemeError("cannot read the file");
  return {static_cast<std::uint64_t>(st.st_size), std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

int PositionedFile::descriptor() const { return static_cast<int>(handle_); }

void PositionedFile::readInto(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (whole_) return copyWhole(offset, out);
  for (std::size_t done = 0; done < out.size();) {
    const ssize_t n = ::pread(static_cast<int>(handle_), out.data() + done, out.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw ThemeError(ThemeReason::CannotRead, "cannot read the file");
    done += static_cast<std::size_t>(n);
  }
}

#endif

void PositionedFile::keepWhole(std::vector<std::uint8_t> bytes) {
  size_ = bytes.size();
  opened_ = {size_, 0};  // nothing can change it now
  whole_ = true;
  pieces_.clear();
  last_ = nullptr;
  pieces_.emplace(0, std::move(bytes));
}

void PositionedFile::copyWhole(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > size_ || out.size() > size_ - offset) throw ThemeError(ThemeReason::CannotRead, "a read past the end of the file");
  const std::vector<std::uint8_t>& whole = pieces_.begin()->second;
  std::copy_n(whole.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
}

std::span<const std::uint8_t> PositionedFile::read(std::uint64_t offset, std::uint64_t length) const {
  if (offset > size_ || length > size_ - offset) throw ThemeError("a read past the end of the file");
  // A walk reads field after field of one piece: that piece is tried before the lookup.
  const auto within = [offset, length](std::uint64_t start, const std::vector<std::uint8_t>& piece) {
    return offset >= start && offset - start <= piece.size() && length <= piece.size() - (offset - start);
  };
  if (last_ != nullptr && within(lastStart_, *last_)) {
    return std::span<const std::uint8_t>(*last_).subspan(offset - lastStart_, length);
  }
  // The piece that starts last at or before `offset` holds it, if any piece does.
  auto it = pieces_.upper_bound(offset);
  if (it != pieces_.begin()) {
    --it;
    if (within(it->first, it->second)) {
      last_ = &it->second;
      lastStart_ = it->first;
      return std::span<const std::uint8_t>(it->second).subspan(offset - it->first, length);
    }
  }
  std::uint64_t start = offset / kReadAhead * kReadAhead;
  if (it != pieces_.end() && it->first <= offset) {
    // Past the end of the piece before: read again from the page of `offset` only, not
    // the read-ahead block that piece already holds most of.
    const std::uint64_t pieceEnd = it->first + it->second.size();
    start = std::max(start, std::min(offset / kPage * kPage, pieceEnd / kPage * kPage));
  }
  const std::uint64_t end = std::min(size_, (offset + length + kReadAhead - 1) / kReadAhead * kReadAhead);
  std::vector<std::uint8_t> piece(end - start);
  readInto(start, piece);
  // Added beside any piece at the same start, never in its place: what was handed out of
  // that one stays valid. The lookup above finds the latest, longest one.
  const auto kept = pieces_.emplace(start, std::move(piece));
  last_ = &kept->second;
  lastStart_ = start;
  return std::span<const std::uint8_t>(kept->second).subspan(offset - start, length);
}

std::uint64_t PositionedFile::bytesKept() const {
  std::uint64_t total = 0;
  for (const auto& [start, piece] : pieces_) total += piece.size();
  return total;
}

namespace {

// A block for a whole file, not zeroed: every byte is filled right away. Filling it costs
// one page fault per 4 KiB page, which dominates a load on virtual machines; on Linux
// the block is aligned to and advised for huge pages, which cut that to a few faults
// where the system gives them.
std::uint8_t* allocateFileBlock(std::size_t size) {
  void* block = nullptr;
#ifdef __linux__
  constexpr std::size_t kHugePage = 2U << 20;
  if (size >= kHugePage) {
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    if (posix_memalign(&block, kHugePage, rounded) == 0) {
      madvise(block, rounded, MADV_HUGEPAGE);  // only advice: nothing changes where it is not followed
      return static_cast<std::uint8_t*>(block);
    }
  }
#endif
  block = std::malloc(std::max<std::size_t>(size, 1));
  if (block == nullptr) throw std::bad_alloc();
  return static_cast<std::uint8_t*>(block);
}

}  // namespace

void FileCopy::Free::operator()(std::uint8_t* p) const { std::free(p); }

FileCopy::FileCopy(std::span<const std::uint8_t> bytes) : data_(allocateFileBlock(bytes.size())), size_(bytes.size()) {
  std::copy(bytes.begin(), bytes.end(), data_.get());
}

FileCopy::FileCopy(const PositionedFile& file)
    : data_(allocateFileBlock(static_cast<std::size_t>(file.size()))), size_(static_cast<std::size_t>(file.size())) {
  file.readInto(0, {data_.get(), size_});
}

}  // namespace theme
