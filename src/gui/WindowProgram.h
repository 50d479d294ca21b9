#pragma once

#include "runs/ProgramFolder.h"

class QApplication;

namespace kvd507::gui {

// Qt's own texts (file dialogs, context menus, standard buttons, the print dialog) in
// Lithuanian, from Qt's translation qt_lt.qm; false, and English, without it.
bool installLithuanian(QApplication& application);

// Makes `programFolder` ready, opens the main window on it and runs until it is closed; returns
// the exit status. When the folder cannot be made ready, the window says why and opens anyway.
int runWindow(int argc, char** argv, const runs::ProgramFolder& programFolder);

// Opens the viewer on `declaration` and runs until it is closed; 1 (told in a message box)
// when the declaration cannot be read.
int runViewer(int argc, char** argv, const std::filesystem::path& declaration);

// Writes `declaration` as a PDF to `pdf` without a display; tells failures on stderr, in
// Lithuanian (with the technical detail when `verbose`), and returns 1 then.
int writePdf(int argc, char** argv, const std::filesystem::path& declaration,
             const std::filesystem::path& pdf, bool verbose);

// Whether there is a display to open a window on (X11 or Wayland, or a platform named
// explicitly).
bool displayAvailable();

}  // namespace kvd507::gui
