#include "errors/UncaughtError.h"

#include "errors/Error.h"

namespace kvd507 {

void printUncaughtError(std::ostream& err) {
  try {
    const Error error = currentError();
    err << "kvd507: " << oneLine(error.cause()) << '\n';
    if (!error.detail().empty()) err << "kvd507: " << oneLine(error.detail()) << '\n';
  } catch (...) {
    err << "kvd507: kompiuteriui nepakako atminties\n";
  }
}

}  // namespace kvd507
