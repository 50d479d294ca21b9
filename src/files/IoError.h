#pragma once

#include <string>
#include <system_error>
#include <type_traits>
#include <utility>

namespace kvd507::files {

// What can stop a whole-file read besides the system's own errors.
enum class FileProblem {
  kNotRegularFile = 1,
  kTooLarge,
};

const std::error_category& fileProblemCategory();
std::error_code make_error_code(FileProblem problem);

// A step of a file operation that failed, and why. Callers put it into words of their own
// ("cannot write: ...") and name the file with their own error type.
class IoError : public std::system_error {
 public:
  IoError(std::string step, std::error_code code)
      : std::system_error(code, step), step_(std::move(step)) {}

  // What was being done, as in "cannot <step>": "open", "read", "write the file", ...
  const std::string& step() const { return step_; }

 private:
  std::string step_;
};

}  // namespace kvd507::files

template <>
struct std::is_error_code_enum<kvd507::files::FileProblem> : std::true_type {};
