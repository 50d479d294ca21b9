#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kvd507::cli {

// `kvd507 payers [add NAME CODE | select POSITION] [--folder DIR]`: the payer list of the
// program folder, changed the way the window's payer buttons and selector change it. Every form
// prints the list afterwards: position, name and code separated by TAB, the stored selection
// marked with "*" before it. `arguments` follow the word "payers". Returns the exit status.
int runPayersCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err);

}  // namespace kvd507::cli
