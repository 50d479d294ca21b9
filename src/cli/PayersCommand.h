#pragma once

#include "cli/Command.h"

namespace kvd507::cli {

// `kvd507 payers [add NAME CODE | edit POSITION NAME CODE | remove POSITION | select POSITION]
// [--folder DIR]`: the payer list of the program folder, changed the way the window's payer
// buttons and selector change it. Every form prints the list afterwards: position, name and code
// separated by TAB, the stored selection marked with "*" before it.
Command payersCommand();

}  // namespace kvd507::cli
