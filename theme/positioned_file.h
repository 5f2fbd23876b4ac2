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

class PositionedFile {
 public:
  // Throws ThemeError: a folder, a file that cannot be opened, one of 4 GiB or more.
  explicit PositionedFile(const std::string& path);
  ~PositionedFile();
  PositionedFile(const PositionedFile&) = delete;
  PositionedFile& operator=(const PositionedFile&) = delete;

  [[nodiscard]] std::uint64_t size() const { return size_; }
  // [offset, offset + length), which must lie inside the file: read on first use and
  // kept as long as this object. Throws ThemeError when the file cannot be read.
  [[nodiscard]] std::span<const std::uint8_t> read(std::uint64_t offset, std::uint64_t length) const;
  // How many bytes have been read into pieces so far.
  [[nodiscard]] std::uint64_t bytesKept() const;
  // Reads `out.size()` bytes from `offset` into `out`; throws ThemeError.
  void readInto(std::uint64_t offset, std::span<std::uint8_t> out) const;

 private:
  std::intptr_t handle_;  // a file descriptor, or a Windows file handle
  std::uint64_t size_ = 0;
  mutable std::map<std::uint64_t, std::vector<std::uint8_t>> pieces_;  // by start offset
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
