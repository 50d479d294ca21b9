#pragma once

#include <ostream>
#include <string>

#include "cli/Command.h"

namespace kvd507::cli {

// `kvd507 show FORMA [--pdf FAILAS]` and `kvd507 view FORMA`, for the command line.
Command showCommand();
Command viewCommand();

// `kvd507 show FORMA`: the header ("B_MM_ID", "B_MM_Pavad" decoded, "B_ML_Metai", "Puslapių",
// each a name, TAB and the value) and then the rows an append run would start from, as
// `kvd507 rows` prints them. Returns the exit status.
int runShowCommand(const std::string& declarationPath, std::ostream& out, std::ostream& err,
                   bool verbose = false);

// Whether `kvd507 ARGUMENT` alone opens the viewer: an existing .ffdata file (the desktop
// starts the program so with a declaration).
bool isDeclarationToView(const std::string& argument);

}  // namespace kvd507::cli
