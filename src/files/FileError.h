#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace kvd507::files {

// A file that cannot be read or written; the message names the file and the cause. Each
// library derives its own kind, so that callers can tell whose file it was.
class FileError : public std::runtime_error {
 public:
  FileError(std::string file, std::string cause)
      : std::runtime_error(file + ": " + cause), file_(std::move(file)), cause_(std::move(cause)) {}

  const std::string& file() const { return file_; }
  const std::string& cause() const { return cause_; }

 private:
  std::string file_;
  std::string cause_;
};

}  // namespace kvd507::files
