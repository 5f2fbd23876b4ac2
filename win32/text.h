#pragma once
// Crossings between the windows' UTF-16 and the other forms a text takes: the theme's
// char16_t (the same units) and the system's ANSI code page, which the core's file
// functions take paths in.
#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

inline std::wstring FromU16(std::u16string_view text) { return {text.begin(), text.end()}; }
inline std::u16string ToU16(std::wstring_view text) { return {text.begin(), text.end()}; }

// A path or text of the ANSI code page as UTF-16, and back (what the code page lacks
// becomes its default character).
std::wstring FromAnsi(std::string_view ansi);
std::string ToAnsi(std::wstring_view wide);

}  // namespace win32
