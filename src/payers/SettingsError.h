#pragma once

#include "errors/Error.h"

namespace kvd507::payers {

// The settings file cannot be read or written.
class SettingsError : public Error {
 public:
  using Error::Error;
  explicit SettingsError(const Error& error) : Error(error) {}
};

}  // namespace kvd507::payers
