#pragma once

#include <string>

namespace kvd507::cli {

// The manual page kvd507(1) in Lithuanian, in the man macros: the subcommands, their options
// with their defaults and their exit statuses come from what their --help is made of, so that
// the page cannot fall behind the help.
std::string manPage();

}  // namespace kvd507::cli
