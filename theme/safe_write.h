#pragma once
// Writing a file whole or not at all. writeFileAtomically (declared with the rebuild in
// theme_rebuild.h) fills a temporary file beside the target and renames it into place.

namespace theme {

// Asks that an interrupted write leave no temporary file: installs, once for the process,
// the handlers that remove it when the process is told to end (SIGINT, SIGTERM and SIGHUP
// on POSIX, handed on to what was there before; Ctrl+C, Ctrl+Break and closing the
// console on Windows). Process-wide, so the program decides, as a tool calls LLVM's
// sys::RemoveFileOnSignal: the core never installs them by itself.
void removeFileOnSignal();

}  // namespace theme
