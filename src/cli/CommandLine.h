#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace kvd507::cli {

// The subcommands, in the order the help lists them.
const std::vector<Command>& commands();

// "kvd507 1.0": the name and the version the build was made as.
std::string versionText();

// Dispatches `kvd507 SUBCOMMAND ...` (the program name left out) and returns the exit status.
// `kvd507 --help` lists the subcommands, `kvd507 SUBCOMMAND --help` describes one, and
// `kvd507 --version` says which version this is.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kvd507::cli
