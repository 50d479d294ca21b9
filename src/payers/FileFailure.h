#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace kvd507::payers {

// What the program was doing with one of its own files when it failed.
enum class FileAction {
  kRead,
  kWrite,
};

// The message a user reads, naming the file without its folder, which is always the program's:
// "Nepavyko perskaityti failo asmenys.txt: tokio failo nėra".
std::string failureMessage(FileAction action, const std::filesystem::path& file,
                           std::string_view reason);

// The system's reason in Lithuanian for the failures that happen to these files in practice;
// anything rarer keeps the system's own words.
std::string reasonText(const std::error_code& code);

}  // namespace kvd507::payers
