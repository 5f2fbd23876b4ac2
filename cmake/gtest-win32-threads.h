// Included first in every C++ file of the MinGW builds. GCC 12's win32 thread model
// (the one whose runtime XP can load) has no std::mutex or std::condition_variable,
// which GoogleTest's Notification is built on. Notification only serves threads that
// GoogleTest's own tests start; this one waits without them.
#pragma once
#ifdef __cplusplus
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
#endif
