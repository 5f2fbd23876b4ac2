#pragma once
// The name lists COLORNAMES, SIZENAMES and FILERESNAMES.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace theme {

// A run of NUL-terminated UTF-16 names, ending at an empty name or the end of the data.
std::vector<std::u16string> readNameList(std::span<const std::uint8_t> data);

}  // namespace theme
