#pragma once

#include "files/FileError.h"

namespace kvd507::declaration {

// A declaration file that cannot be read or written; the message names the file and the cause.
class DeclarationError : public files::FileError {
 public:
  using FileError::FileError;
};

}  // namespace kvd507::declaration
