#pragma once

#include <filesystem>
#include <string>

#include "files/FileError.h"
#include "payers/FileFailure.h"

namespace kvd507::payers {

// The payer list cannot be read or written. what() is the message the user reads, in
// Lithuanian; file() is the full path and cause() the reason alone.
class PayerFileError : public files::FileError {
 public:
  PayerFileError(const std::filesystem::path& file, FileAction action, std::string reason)
      : FileError(file.string(), reason), message_(failureMessage(action, file, reason)) {}

  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace kvd507::payers
