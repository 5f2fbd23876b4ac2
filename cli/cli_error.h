#pragma once
// The one error of the command line: the line for standard error and the exit status the
// program ends with. main() alone reports it, after "marvento-cli: ".
#include <stdexcept>
#include <string>

namespace cli {

inline constexpr int kFailed = 1;    // a file cannot be read or written as asked, or a value does not fit
inline constexpr int kBadUsage = 2;  // bad usage; for diff also a theme it cannot read

class Error : public std::runtime_error {
 public:
  Error(int status, const std::string& message, bool withUsage = false)
      : std::runtime_error(message), status_(status), withUsage_(withUsage) {}
  [[nodiscard]] int status() const { return status_; }
  // Whether the usage lines follow the message (a command line that cannot be understood).
  [[nodiscard]] bool withUsage() const { return withUsage_; }
  // The same error about `subject`: "subject: message".
  [[nodiscard]] Error about(const std::string& subject) const {
    return {status_, subject + ": " + what(), withUsage_};
  }

 private:
  int status_;
  bool withUsage_;
};

// A command line that cannot be understood: status 2, the usage lines after the message.
inline Error usageError(const std::string& message) { return {kBadUsage, message, true}; }

}  // namespace cli
