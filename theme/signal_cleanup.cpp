#include "signal_cleanup.h"

#include <array>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace theme {

#ifdef _WIN32

namespace {

// Ctrl+C, Ctrl+Break and closing the console run the handler on a thread of its own; it
// removes the file (opened with delete sharing, so removal waits for the last handle)
// before the process ends.
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

TemporaryFileWatch::TemporaryFileWatch() = default;

TemporaryFileWatch::~TemporaryFileWatch() { InterlockedExchange(&gWatching, 0); }

void TemporaryFileWatch::watch(const char* path) {
  lstrcpynA(gTemporaryFile, path, MAX_PATH);
  InterlockedExchange(&gWatching, 1);
}

void TemporaryFileWatch::release() {
  if (InterlockedExchange(&gWatching, 0) == 0) Sleep(INFINITE);  // the handler has it: the process is ending
}

#else

namespace {

// A process interrupted from the terminal or told to end removes the file before it
// goes, so no half-written copy stays beside the target.
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

TemporaryFileWatch::TemporaryFileWatch() {
  sigemptyset(&ending_);
  for (const int signal : kEndingSignals) sigaddset(&ending_, signal);
  sigprocmask(SIG_BLOCK, &ending_, &savedMask_);
}

TemporaryFileWatch::~TemporaryFileWatch() {
  sigprocmask(SIG_BLOCK, &ending_, nullptr);
  gTemporaryFile = nullptr;
  sigprocmask(SIG_SETMASK, &savedMask_, nullptr);
}

void TemporaryFileWatch::watch(const char* path) {
  gTemporaryFile = path;
  sigprocmask(SIG_SETMASK, &savedMask_, nullptr);
}

void TemporaryFileWatch::release() { sigprocmask(SIG_BLOCK, &ending_, nullptr); }

#endif

}  // namespace theme
