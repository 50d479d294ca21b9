#pragma once

#include <ostream>
#include <string>

namespace kvd507::cli {

// What --folder defaults to, as the help says it.
std::string defaultFolderText();

// "Programos aplankas: /home/ona/.local/share/kvd507", the folder the commands and the window
// use without --folder; it is not created for saying so.
std::string folderInUseText();

// The program folder could not be made ready: the failure being handled, in one line.
void printFolderError(std::ostream& err);

}  // namespace kvd507::cli
