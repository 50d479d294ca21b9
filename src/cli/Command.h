#pragma once

#include <ostream>

#include "cli/Options.h"

namespace kvd507::cli {

// Exit statuses of the command line.
inline constexpr int kExitWritten = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoRecords = 3;
inline constexpr int kExitFindings = 4;  // check found something; --strict found data lost

// One subcommand: what it accepts, and what runs it once its arguments were parsed. A new
// subcommand is a function returning one of these, listed in CommandLine.cpp.
struct Command {
  CommandSpec spec;
  int (*run)(const ParsedArguments& arguments, std::ostream& out, std::ostream& err);
};

}  // namespace kvd507::cli
