#pragma once
// Removing the temporary file of a write in progress when the process is told to end.
// The handlers are process-wide, so the program asks for them, as a tool calls LLVM's
// sys::RemoveFileOnSignal: the core never installs them by itself.
#ifndef _WIN32
#include <csignal>
#endif

namespace theme {

// Installs, once for the process, the handlers that remove the file: SIGINT, SIGTERM and
// SIGHUP on POSIX, handed on to what was there before; Ctrl+C, Ctrl+Break and closing
// the console on Windows.
void removeFileOnSignal();

// The temporary file of the write in progress, for those handlers: made before the file,
// it watches it from watch() until release(). Without the handlers it watches in vain.
class TemporaryFileWatch {
 public:
  TemporaryFileWatch();
  ~TemporaryFileWatch();
  TemporaryFileWatch(const TemporaryFileWatch&) = delete;
  TemporaryFileWatch& operator=(const TemporaryFileWatch&) = delete;
  TemporaryFileWatch(TemporaryFileWatch&&) = delete;
  TemporaryFileWatch& operator=(TemporaryFileWatch&&) = delete;

  // Right after the file is made; `path` must outlive the watch.
  void watch(const char* path);
  // Before the file is renamed or removed, which is then the write's to do. On Windows,
  // when a handler is already removing it, the process is ending: this never returns.
  void release();

#ifndef _WIN32
 private:
  // The ending signals are held back while the name is registered and withdrawn, so none
  // falls between making or renaming the file and the handler knowing of it.
  sigset_t ending_{};
  sigset_t savedMask_{};
#endif
};

}  // namespace theme
