#pragma once
// The two ways the core refuses work: a file that is not a readable theme, and a
// rebuilt file that cannot be produced or put in place. Both carry a one-line message.
#include <stdexcept>
#include <string>

namespace theme {

class ThemeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class WriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace theme
