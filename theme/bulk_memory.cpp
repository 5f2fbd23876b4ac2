#include "bulk_memory.h"

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace theme {

void reserveBulk(std::vector<std::uint8_t>& buffer, std::size_t capacity) {
  buffer.reserve(capacity);
#ifdef __linux__
  constexpr std::size_t kHugePage = 2U << 20;
  if (buffer.capacity() < kHugePage) return;
  const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data() + buffer.size());
  const auto end = reinterpret_cast<std::uintptr_t>(buffer.data() + buffer.capacity());
  const std::uintptr_t first = (begin + pageSize - 1) / pageSize * pageSize;
  const std::uintptr_t last = end / pageSize * pageSize;
  // Only advice: where huge pages are not to be had, nothing changes.
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);  // NOLINT(performance-no-int-to-ptr)
#endif
}

}  // namespace theme
