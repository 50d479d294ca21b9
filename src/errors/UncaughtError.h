#pragma once

#include <ostream>

namespace kvd507 {

// For a program's main: prints the exception being handled as "kvd507: ..." lines in Lithuanian,
// so that a failure nothing else caught never ends in an abort with an English message. Call
// only inside a catch block.
void printUncaughtError(std::ostream& err);

}  // namespace kvd507
