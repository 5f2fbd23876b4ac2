// The safe write's copy on Windows (XP and later): GetTempFileName beside the target,
// WriteFile, FlushFileBuffers, MoveFileEx. CMake builds it for Windows only; the guard
// keeps tools that read every source natively (clang-tidy) from reading it.
#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "errors.h"
#include "safe_write.h"
#include "safe_write_system.h"
#include "signal_cleanup.h"

namespace theme::safe_write_detail {

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

}  // namespace

void replaceWithPieces(const std::string& target, std::span<const Piece> pieces, const DataSource* source,
                       const FileStamp& expected) {
  checkTarget(target);
  const std::string folder = folderOf(target);
  TemporaryFileWatch watch;
  char temp[MAX_PATH];
  if (GetTempFileNameA(folder.c_str(), "mvt", 0, temp) == 0) {
    throw WriteError(target, "cannot create a temporary file in " + folder);
  }
  watch.watch(temp);
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
    return ok ? 0 : 1;
  };
  std::vector<std::uint8_t> buffer;
  for (const Piece& piece : pieces) {
    if (!ok) break;
    if (!piece.inSource()) {
      put(piece.memory);
    } else {
      ok = source != nullptr &&
           copyThroughBuffer(*source, piece.sourceOffset, piece.sourceLength, buffer, put) == 0;
    }
  }
  ok = ok && FlushFileBuffers(file) != 0;
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  watch.release();
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

}  // namespace theme::safe_write_detail

#endif  // _WIN32
