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
  // A target that cannot be written: what() is "cannot write TARGET: REASON"; target() and
  // reason() give the parts, so that a front end names the path once and can translate
  // the reason (an English phrase of the core, or the system's text for an error number).
  WriteError(const std::string& target, const std::string& reason)
      : std::runtime_error("cannot write " + target + (reason.empty() ? "" : ": " + reason)),
        target_(target),
        reason_(reason) {}
  [[nodiscard]] const std::string& target() const { return target_; }
  [[nodiscard]] const std::string& reason() const { return reason_; }

 private:
  std::string target_;  // empty when the error concerns no file (the rebuild itself)
  std::string reason_;
};

}  // namespace theme
