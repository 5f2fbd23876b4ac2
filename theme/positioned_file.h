#pragma once
// A theme file read with positioned reads: either all of it at once into a private copy
// (a write needs every byte, minutes after the load), or piece by piece as the resource
// walk asks, so that listing a theme reads its headers, directory, name lists, texts and
// tables and never the megabytes of pictures. No file mapping.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace theme {

// What changes when a file is written to: its size and its modification time.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds (POSIX) or 100-nanosecond units (Windows)
  bool operator==(const FileStamp&) const = default;
};

// Where a write takes the bytes it copies unchanged from: the theme file it was loaded
// from, read while the new file is written.
class DataSource {
 public:
  DataSource() = default;
  DataSource(const DataSource&) = delete;
  DataSource& operator=(const DataSource&) = delete;
  virtual ~DataSource() = default;
  // Reads `out.size()` bytes from `offset` into `out`; throws ThemeError.
  virtual void readInto(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
  // The file as it is now; throws ThemeError.
  [[nodiscard]] virtual FileStamp stamp() const = 0;
  // An open POSIX file descriptor the kernel may copy from directly, or -1.
  [[nodiscard]] virtual int descriptor() const { return -1; }
};

// The most a pipe, FIFO, device or standard input may hold: it is read whole into memory,
// as it cannot be read at an offset (a theme is a few MiB).
inline constexpr std::uint64_t kMaxStreamBytes = std::uint64_t{256} << 20;

class PositionedFile final : public DataSource {
 public:
  // Throws ThemeError: a folder, a file that cannot be opened, one of 4 GiB or more, a
  // stream (pipe, FIFO, device) of more than kMaxStreamBytes, which is read whole at once.
  explicit PositionedFile(const std::string& path);
  // Standard input, read whole at once as a stream is; throws ThemeError as above.
  static std::unique_ptr<PositionedFile> standardInput();
  ~PositionedFile() override;
  PositionedFile(const PositionedFile&) = delete;
  PositionedFile& operator=(const PositionedFile&) = delete;
  PositionedFile(PositionedFile&&) = delete;
  PositionedFile& operator=(PositionedFile&&) = delete;

  [[nodiscard]] std::uint64_t size() const { return size_; }
  // [offset, offset + length), which must lie inside the file: read on first use and
  // kept as long as this object. Throws ThemeError when the file cannot be read.
  [[nodiscard]] std::span<const std::uint8_t> read(std::uint64_t offset, std::uint64_t length) const;
  // How many bytes have been read into pieces so far.
  [[nodiscard]] std::uint64_t bytesKept() const;
  void readInto(std::uint64_t offset, std::span<std::uint8_t> out) const override;
  [[nodiscard]] FileStamp stamp() const override;
  [[nodiscard]] int descriptor() const override;
  // The file as it was when opened: what a write checks it against.
  [[nodiscard]] const FileStamp& openedStamp() const { return opened_; }

 private:
  PositionedFile() = default;
  // Keeps the whole of a stream, read at once, as the piece at 0.
  void keepWhole(std::vector<std::uint8_t> bytes);
  void copyWhole(std::uint64_t offset, std::span<std::uint8_t> out) const;

  std::intptr_t handle_ = -1;  // a file descriptor, or a Windows file handle; -1 once read whole
  bool whole_ = false;         // read whole at once: the piece at 0 is all of it
  std::uint64_t size_ = 0;
  FileStamp opened_;
  mutable std::multimap<std::uint64_t, std::vector<std::uint8_t>> pieces_;  // by start offset
  mutable const std::vector<std::uint8_t>* last_ = nullptr;  // the piece read from last, in pieces_
  mutable std::uint64_t lastStart_ = 0;
};

// The whole file in a private block whose pages are not zeroed before it is filled.
class FileCopy {
 public:
  FileCopy() = default;
  explicit FileCopy(std::span<const std::uint8_t> bytes);
  explicit FileCopy(const PositionedFile& file);  // throws ThemeError

  [[nodiscard]] std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }

 private:
  struct Free {
    void operator()(std::uint8_t* p) const;
  };
  std::unique_ptr<std::uint8_t, Free> data_;
  std::size_t size_ = 0;
};

}  // namespace theme
