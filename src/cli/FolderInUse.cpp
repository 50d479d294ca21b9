#include "cli/FolderInUse.h"

#include "errors/Error.h"
#include "errors/Headlines.h"
#include "runs/ProgramFolder.h"

namespace kvd507::cli {

std::string defaultFolderText() {
  return "aplankas, kuriame yra programa; įdiegtos programos – $XDG_DATA_HOME/kvd507 "
         "(~/.local/share/kvd507), sukuriamas pirmą kartą paleidus";
}

std::string folderInUseText() {
  try {
    const runs::ProgramFolder folder =
        runs::programFolder(std::nullopt, runs::Program::kCommandLine);
    return "Programos aplankas: " + folder.path.string();
  } catch (...) {
    return "Programos aplankas nerastas: " + currentError().message();
  }
}

void printFolderError(std::ostream& err) {
  const Error error = currentError();
  err << "kvd507: " << headline::kCannotPrepareProgramFolder << ": " << error.message() << '\n';
}

}  // namespace kvd507::cli
