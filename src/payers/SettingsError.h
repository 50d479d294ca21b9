#pragma once

#include <string>

#include "errors/Error.h"
#include "payers/FailureHeadline.h"

namespace kvd507::payers {

// The settings file cannot be read or written.
class SettingsError : public Error {
 public:
  SettingsError(FileAction action, const Error& error) : Error(error), action_(action) {}

  FileAction action() const { return action_; }
  // What the user reads: "Nepavyko įrašyti failo _nustatymai.ini: ...".
  std::string headline() const { return failureHeadline(action_, *this); }

 private:
  FileAction action_;
};

}  // namespace kvd507::payers
