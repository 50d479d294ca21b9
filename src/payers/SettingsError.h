#pragma once

#include "files/FileError.h"

namespace kvd507::payers {

// The settings file cannot be read or written; the message names the file and the cause.
class SettingsError : public files::FileError {
 public:
  using FileError::FileError;
};

}  // namespace kvd507::payers
