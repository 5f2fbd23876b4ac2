#pragma once
// Whole-file buffers are filled once from end to end. Where the system allows, they are
// backed by huge pages, so that filling one costs a handful of page faults instead of
// one per 4 KiB page (which dominates a load and a write on virtual machines).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace theme {

// Reserves `capacity` bytes in `buffer` and asks for huge pages for them.
void reserveBulk(std::vector<std::uint8_t>& buffer, std::size_t capacity);

}  // namespace theme
