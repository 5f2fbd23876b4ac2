#include "command_line.h"

std::string FirstArgument(const char* tail) {
  if (tail == nullptr) return {};
  const char* p = tail;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '"') {
    const char* start = ++p;
    while (*p != '\0' && *p != '"') ++p;
    return std::string(start, p);
  }
  const char* start = p;
  while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  return std::string(start, p);
}
