#pragma once

#include "runs/ProgramFolder.h"

namespace kvd507::gui {

// Makes `programFolder` ready, opens the main window on it and runs until it is closed; returns
// the exit status. When the folder cannot be made ready, the window says why and opens anyway.
int runWindow(int argc, char** argv, const runs::ProgramFolder& programFolder);

}  // namespace kvd507::gui
