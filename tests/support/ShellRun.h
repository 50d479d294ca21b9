#pragma once

// A built program started from a shell, as a user starts it, with what it printed and how it
// ended.
#include <filesystem>
#include <string>
#include <vector>

namespace kvd507::test {

struct Result {
  int status;  // the exit status; 128 + the signal's number when a signal ended it
  std::string out;
  std::string err;
};

// The argument as one word for sh, whatever it holds (line breaks included).
std::string shellWord(const std::string& word);

// Runs `command` with bash; its exit status as a shell gives it.
int runInBash(const std::string& command);

// Runs `program` with `arguments`, its standard output and error caught in the files "out" and
// "err" of `folder`.
Result runProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& folder);

}  // namespace kvd507::test
