#pragma once
// The two ways the core refuses work: a file that is not a readable theme, and a
// rebuilt file that cannot be produced or put in place. Both carry a one-line message.
#include <stdexcept>
#include <string>

namespace theme {

// Why a file is refused, for a front end that words the reason in its own language; the
// message stays the core's English one.
enum class ThemeReason { Malformed, CannotOpen, CannotRead, Folder, TooLarge, Empty, NotAVisualStyle };

class ThemeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // a malformed file
  ThemeError(ThemeReason reason, const std::string& what) : std::runtime_error(what), reason_(reason) {}
  [[nodiscard]] ThemeReason reason() const { return reason_; }

 private:
  ThemeReason reason_ = ThemeReason::Malformed;
};

class WriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace theme
