#pragma once

#include <string>

#include "errors/Error.h"

namespace kvd507::payers {

// What the program was doing with the payer list or the settings file when it failed.
enum class FileAction {
  kRead,
  kWrite,
};

// The message a user reads, naming the file without its folder, which is always the program's:
// "Nepavyko perskaityti failo asmenys.txt: tokio failo ar aplanko nėra".
std::string failureHeadline(FileAction action, const Error& error);

// Only inside a catch block: what the user reads of the failure being handled. The payer list's
// and the settings file's errors give their headline, any other its message.
std::string currentFailureText();

}  // namespace kvd507::payers
