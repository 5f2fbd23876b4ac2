#pragma once
// The one argument Marvento.exe takes: a theme file to load at start-up.
#include <string>

// The first argument of a command-line tail ("C:\My Themes\a.msstyles" in quotes, or a
// word up to the next blank), or empty. Bytes are taken as they are: in code page 932
// no trail byte is a blank or a quote.
std::string FirstArgument(const char* tail);
