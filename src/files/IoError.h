#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <type_traits>

#include "errors/Error.h"

namespace kvd507::files {

// What can stop a whole-file read besides the system's own errors.
enum class FileProblem {
  kNotRegularFile = 1,
  kTooLarge,
  kIsInput,  // the file to be replaced is one the same command reads
};

const std::error_category& fileProblemCategory();
std::error_code make_error_code(FileProblem problem);

// The kind of failure a system error code stands for.
ErrorKind kindOf(std::error_code code);

// A step of a file operation that failed, and why. The kind comes from the system's reason;
// the step and the system's own words are the detail.
class IoError : public Error {
 public:
  IoError(std::string step, std::error_code code, const std::filesystem::path& file);

  // What was being done, as in "cannot <step>": "open", "read", "write the file", ...
  const std::string& step() const { return step_; }
  std::error_code code() const { return code_; }

 private:
  std::string step_;
  std::error_code code_;
};

}  // namespace kvd507::files

template <>
struct std::is_error_code_enum<kvd507::files::FileProblem> : std::true_type {};
