#pragma once
// Code page 932 (Shift-JIS), the ANSI code page of a Japanese Windows: the one the
// tests, the fuzz checks and the benchmarks convert with.
#include "codepage.h"

namespace marvento_test {

inline const theme::CodePage& cp932() {
  static const theme::CodePage cp(932);
  return cp;
}

}  // namespace marvento_test
