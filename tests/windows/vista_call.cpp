// A program that calls a Vista-only function: the import check must refuse it.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <windows.h>

int main() { return static_cast<int>(::GetTickCount64() & 1u); }
