#pragma once

#include "errors/Error.h"

namespace kvd507::declaration {

// A declaration file that cannot be read or written.
class DeclarationError : public Error {
 public:
  using Error::Error;
  explicit DeclarationError(const Error& error) : Error(error) {}
};

}  // namespace kvd507::declaration
