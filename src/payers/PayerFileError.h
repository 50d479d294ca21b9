#pragma once

#include <string>

#include "errors/Error.h"
#include "payers/FailureHeadline.h"

namespace kvd507::payers {

// The payer list cannot be read or written.
class PayerFileError : public Error {
 public:
  PayerFileError(FileAction action, const Error& error) : Error(error), action_(action) {}

  FileAction action() const { return action_; }
  // What the user reads: "Nepavyko perskaityti failo asmenys.txt: ...".
  std::string headline() const { return failureHeadline(action_, *this); }

 private:
  FileAction action_;
};

}  // namespace kvd507::payers
