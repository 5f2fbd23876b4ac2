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
