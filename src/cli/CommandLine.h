#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace kvd507::cli {

// Dispatches `kvd507 SUBCOMMAND ...` (the program name left out) and returns the exit status.
// `kvd507 --help` lists the subcommands, `kvd507 SUBCOMMAND --help` describes one.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kvd507::cli
